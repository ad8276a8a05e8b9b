// Checks what a module declares before the host calls any of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "defect.h"
#include "module_image.h"
#include "records.h"

namespace host {

// Bounds the host holds every list to. A list that has not ended within its
// bound is a defect, not a longer list.
struct CheckLimits {
    static constexpr std::size_t gauges = 16;
    static constexpr std::size_t import_entries = 16;
    static constexpr std::size_t name_length = 255;
    static constexpr std::size_t list_entries = 64;  // element_list, next_elements
    static constexpr std::size_t elements = 512;     // in one tree
    static constexpr std::size_t failure_records = 64;
    static constexpr std::size_t scale_points = 64;
    static constexpr std::size_t icon_pictures = 256;
    static constexpr std::size_t string_chars = 255;
    static constexpr std::size_t mouse_records = 256;
};

struct CheckedElement {
    ElementHeader* record = nullptr;
    std::uint32_t kind = 0;
    int parent = -1;  // index into the tree, -1 for a root
    std::string label;  // e.g. "NeedleElement #1"
};

struct CheckedGauge {
    GaugeHeader* header = nullptr;
    std::string name;
    std::vector<CheckedElement> elements;  // tree order: parent, then its children
};

struct CheckedModule {
    ImportEntry* import_table = nullptr;
    ModuleLinkage* linkage = nullptr;
    std::vector<CheckedGauge> gauges;
};

const char* element_kind_name(std::uint32_t kind);
std::size_t element_record_size(std::uint32_t kind);  // 0 for kinds the host does not know

// Checks the exports, Linkage, every GaugeHeader and every element tree.
CheckedModule check_module(const ModuleImage& image, const std::string& module_name, Defects& defects);

// Checks a mouse list that a gauge hands to install_mouse_rects.
// Returns the number of records up to and including the end record, or 0.
std::size_t check_mouse_list(const ModuleImage& image, const std::string& module_name,
                             std::uintptr_t list, Defects& defects);

}  // namespace host
