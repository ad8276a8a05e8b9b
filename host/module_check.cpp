#include "module_check.h"

#include <cstdio>
#include <set>

namespace host {

const char* element_kind_name(std::uint32_t kind) {
    switch (kind) {
        case element_static_image: return "StaticImageElement";
        case element_needle: return "NeedleElement";
        case element_string: return "StringElement";
        case element_icon: return "IconElement";
        default: return "element";
    }
}

std::size_t element_record_size(std::uint32_t kind) {
    switch (kind) {
        case element_static_image: return sizeof(StaticImageElement);
        case element_needle: return sizeof(NeedleElement);
        case element_string: return sizeof(StringElement);
        case element_icon: return sizeof(IconElement);
        default: return 0;
    }
}

namespace {

std::uintptr_t address_of(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// Collects the defects of one module, each naming the record and field.
class Checker {
public:
    Checker(const ModuleImage& image, const std::string& module, Defects& defects)
        : image_(image), module_(module), defects_(defects) {}

    void fail(const std::string& record, const std::string& field, const std::string& problem) {
        defects_.push_back({module_, record, field, problem});
    }

    std::string outside(std::uintptr_t address, std::size_t length) const {
        return "address " + hex(address) + " (" + std::to_string(length) + " bytes) lies outside the module image " +
               hex(image_.base()) + " to " + hex(image_.base() + image_.size() - 1);
    }

    // A record of `length` bytes at `address`; NULL is a defect unless allowed.
    bool record_at(std::uintptr_t address, std::size_t length, const std::string& record, const std::string& field,
                   bool null_allowed = false) {
        if (address == 0) {
            if (!null_allowed) fail(record, field, "is NULL");
            return null_allowed;
        }
        if (!image_.contains(address, length)) {
            fail(record, field, outside(address, length));
            return false;
        }
        return true;
    }

    // A routine address: NULL only where allowed, otherwise inside the image.
    bool routine_at(std::uintptr_t address, const std::string& record, const std::string& field,
                    bool null_allowed) {
        return record_at(address, 1, record, field, null_allowed);
    }

    // A NULL-terminated array of 32-bit addresses; returns the entries, or
    // nothing when the array is outside the image or does not end in time.
    std::optional<std::vector<std::uintptr_t>> address_list(std::uintptr_t address, std::size_t limit,
                                                            const std::string& record, const std::string& field) {
        std::vector<std::uintptr_t> entries;
        for (std::size_t i = 0;; ++i) {
            auto entry = image_.read<std::uint32_t>(address + 4 * i);
            if (!entry) {
                fail(record, field, "list at " + hex(address) + " runs outside the module image at entry " +
                                        std::to_string(i));
                return std::nullopt;
            }
            if (*entry == 0) return entries;
            if (i == limit) {
                fail(record, field, "list at " + hex(address) + " has no NULL terminator within " +
                                        std::to_string(limit) + " entries");
                return std::nullopt;
            }
            entries.push_back(*entry);
        }
    }

    const ModuleImage& image() const { return image_; }

private:
    const ModuleImage& image_;
    const std::string& module_;
    Defects& defects_;
};

void check_failure_list(Checker& check, std::uintptr_t list, const std::string& record) {
    if (list == 0) return;
    for (std::size_t i = 0;; ++i) {
        std::uintptr_t address = list + i * sizeof(FailureRecord);
        if (!check.record_at(address, sizeof(FailureRecord), record, "failure_list[" + std::to_string(i) + "]"))
            return;
        if (reinterpret_cast<const FailureRecord*>(address)->failure_key == 0) return;
        if (i == CheckLimits::failure_records) {
            check.fail(record, "failure_list",
                       "no end record (key 0) within " + std::to_string(CheckLimits::failure_records) + " records");
            return;
        }
    }
}

void check_needle(Checker& check, const NeedleElement& needle, const std::string& record) {
    check.routine_at(address_of(reinterpret_cast<const void*>(needle.value_callback)), record, "value_callback", true);
    if (needle.scale_count == 0 || needle.scale_count > CheckLimits::scale_points) {
        check.fail(record, "scale_count",
                   std::to_string(needle.scale_count) + " is not within 1 to " +
                       std::to_string(CheckLimits::scale_points));
        return;
    }
    if (!check.record_at(address_of(needle.scale), needle.scale_count * sizeof(NonlinearityPoint), record, "scale"))
        return;
    for (std::uint32_t i = 1; i < needle.scale_count; ++i) {
        if (!(needle.scale[i].scale_value > needle.scale[i - 1].scale_value))
            check.fail(record, "scale[" + std::to_string(i) + "].scale_value",
                       "scale values do not rise from entry " + std::to_string(i - 1));
    }
}

void check_string(Checker& check, const StringElement& text, const std::string& record) {
    for (int i = 0; i < 3; ++i)
        check.routine_at(address_of(reinterpret_cast<const void*>(text.source_callbacks[i])), record,
                         "source_callbacks[" + std::to_string(i) + "]", true);
    check.routine_at(address_of(reinterpret_cast<const void*>(text.string_callback)), record, "string_callback", true);
    if (text.max_chars > CheckLimits::string_chars)
        check.fail(record, "max_chars",
                   std::to_string(text.max_chars) + " is above " + std::to_string(CheckLimits::string_chars));
    bool terminated = false;
    for (char c : text.font_name) terminated = terminated || c == '\0';
    if (!terminated) check.fail(record, "font_name", "has no terminating zero within 32 bytes");
    if (text.box_width < 0 || text.box_height < 0)
        check.fail(record, "box_width", "the text box has a negative size");
}

void check_icon(Checker& check, const IconElement& icon, const std::string& record) {
    check.routine_at(address_of(reinterpret_cast<const void*>(icon.value_callback)), record, "value_callback", true);
    if (icon.picture_count == 0 || icon.picture_count > CheckLimits::icon_pictures)
        check.fail(record, "picture_count",
                   std::to_string(icon.picture_count) + " is not within 1 to " +
                       std::to_string(CheckLimits::icon_pictures));
}

bool bitmap_present(HMODULE module, std::uint32_t id) {
    return FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP)) != nullptr;
}

void check_bitmaps(Checker& check, const ElementHeader& element, std::uint32_t pictures, const std::string& record) {
    if (element.element_kind == element_string) return;
    if (element.resource_id > 0xFFFF) {
        check.fail(record, "resource_id", hex(element.resource_id) + " is not a bitmap number");
        return;
    }
    for (std::uint32_t i = 0; i < pictures; ++i) {
        std::uint32_t id = element.resource_id + icon_picture_step * i;
        if (id > 0xFFFF || !bitmap_present(check.image().handle(), id)) {
            check.fail(record, "resource_id", "bitmap " + hex(id) + " is not among the module's resources");
            return;
        }
    }
}

void check_tree(Checker& check, CheckedGauge& gauge, std::uintptr_t list_address) {
    auto roots = check.address_list(list_address, CheckLimits::list_entries, "GaugeHeader", "element_list");
    if (!roots) return;
    if (roots->empty()) {
        check.fail("GaugeHeader", "element_list", "holds no element");
        return;
    }
    // Depth-first, in list order, so that the tree is kept in drawing order.
    std::set<std::uintptr_t> seen;
    struct Pending {
        std::uintptr_t address;
        int parent;
        std::string record;  // the record and field whose list named it
        std::string field;
    };
    std::vector<Pending> stack;
    for (std::size_t i = roots->size(); i-- > 0;)
        stack.push_back({(*roots)[i], -1, "GaugeHeader", "element_list[" + std::to_string(i) + "]"});

    while (!stack.empty()) {
        Pending next = stack.back();
        stack.pop_back();
        std::string label = "element #" + std::to_string(gauge.elements.size());
        if (!check.image().contains(next.address, sizeof(ElementHeader))) {
            check.fail(next.record, next.field, check.outside(next.address, sizeof(ElementHeader)));
            continue;
        }
        if (!seen.insert(next.address).second) {
            check.fail(next.record, next.field, "element at " + hex(next.address) +
                                          " is already in the tree (the element lists form a cycle or share it)");
            continue;
        }
        if (gauge.elements.size() == CheckLimits::elements) {
            check.fail("GaugeHeader", "element_list",
                       "the tree holds more than " + std::to_string(CheckLimits::elements) + " elements");
            return;
        }
        auto* element = reinterpret_cast<ElementHeader*>(next.address);
        std::size_t size = element_record_size(element->element_kind);
        if (size == 0) {
            check.fail(label, "element_kind", std::to_string(element->element_kind) + " is not a known element kind");
            continue;
        }
        label = std::string(element_kind_name(element->element_kind)) + " #" + std::to_string(gauge.elements.size());
        if (!check.record_at(next.address, size, label, "element_kind")) continue;

        if (element->gauge_header != gauge.header)
            check.fail(label, "gauge_header",
                       hex(address_of(element->gauge_header)) + " is not the gauge's header " +
                           hex(address_of(gauge.header)));
        check_failure_list(check, address_of(element->failure_list), label);

        std::uint32_t pictures = 1;
        switch (element->element_kind) {
            case element_needle: check_needle(check, *reinterpret_cast<NeedleElement*>(element), label); break;
            case element_string: check_string(check, *reinterpret_cast<StringElement*>(element), label); break;
            case element_icon: {
                auto& icon = *reinterpret_cast<IconElement*>(element);
                check_icon(check, icon, label);
                pictures = icon.picture_count <= CheckLimits::icon_pictures ? icon.picture_count : 0;
                break;
            }
            default: break;
        }
        check_bitmaps(check, *element, pictures, label);

        int index = static_cast<int>(gauge.elements.size());
        gauge.elements.push_back({element, element->element_kind, next.parent, label});

        if (element->next_elements) {
            auto children =
                check.address_list(address_of(element->next_elements), CheckLimits::list_entries, label, "next_elements");
            if (!children) continue;
            for (std::size_t i = children->size(); i-- > 0;)
                stack.push_back({(*children)[i], index, label, "next_elements[" + std::to_string(i) + "]"});
        }
    }
}

void check_header(Checker& check, CheckedModule& module, std::uintptr_t address) {
    if (!check.record_at(address, sizeof(GaugeHeader), "Linkage", "gauge_table")) return;
    auto* header = reinterpret_cast<GaugeHeader*>(address);
    CheckedGauge gauge;
    gauge.header = header;
    if (header->header_version != gauge_header_version)
        check.fail("GaugeHeader", "header_version",
                   hex(header->header_version) + " is not " + hex(gauge_header_version));
    auto name = check.image().read_string(address_of(header->gauge_name), CheckLimits::name_length);
    if (!name || name->empty())
        check.fail("GaugeHeader", "gauge_name",
                   "no readable name (printable, zero-terminated, at most " +
                       std::to_string(CheckLimits::name_length) + " characters) at " +
                       hex(address_of(header->gauge_name)));
    else
        gauge.name = *name;

    const std::pair<const char*, const void*> routines[] = {
        {"gauge_query", reinterpret_cast<const void*>(header->gauge_query)},
        {"gauge_install", reinterpret_cast<const void*>(header->gauge_install)},
        {"gauge_initialize", reinterpret_cast<const void*>(header->gauge_initialize)},
        {"gauge_update", reinterpret_cast<const void*>(header->gauge_update)},
        {"gauge_generate", reinterpret_cast<const void*>(header->gauge_generate)},
        {"gauge_draw", reinterpret_cast<const void*>(header->gauge_draw)},
        {"gauge_kill", reinterpret_cast<const void*>(header->gauge_kill)},
    };
    for (auto& [field, routine] : routines) check.routine_at(address_of(routine), "GaugeHeader", field, false);

    check_tree(check, gauge, address_of(header->element_list));
    if (!gauge.elements.empty() && gauge.elements[0].kind != element_static_image)
        check.fail(gauge.elements[0].label, "element_kind", "the root element is not a StaticImageElement");
    module.gauges.push_back(std::move(gauge));
}

}  // namespace

CheckedModule check_module(const ModuleImage& image, const std::string& module_name, Defects& defects) {
    Checker check(image, module_name, defects);
    CheckedModule module;

    auto import_table = address_of(reinterpret_cast<const void*>(GetProcAddress(image.handle(), MAKEINTRESOURCEA(1))));
    auto linkage = address_of(reinterpret_cast<const void*>(GetProcAddress(image.handle(), MAKEINTRESOURCEA(2))));
    if (!import_table) check.fail("exports", "ordinal 1", "ImportTable is not exported");
    if (!linkage) check.fail("exports", "ordinal 2", "Linkage is not exported");
    if (!import_table || !linkage) return module;

    // ImportTable: entry 0 takes the service table; the table ends with (0, NULL).
    if (check.record_at(import_table, sizeof(ImportEntry), "ImportTable", "entry 0")) {
        bool ended = false;
        for (std::size_t i = 0; i <= CheckLimits::import_entries && !ended; ++i) {
            auto entry = image.read<ImportEntry>(import_table + i * sizeof(ImportEntry));
            if (!entry) {
                check.fail("ImportTable", "entry " + std::to_string(i), "runs outside the module image");
                break;
            }
            ended = entry->import_id == 0 && entry->import_pointer == nullptr;
        }
        auto first = image.read<ImportEntry>(import_table);
        if (!ended)
            check.fail("ImportTable", "terminator",
                       "no (0, NULL) entry within " + std::to_string(CheckLimits::import_entries) + " entries");
        else if (first->import_id != panel_services_import_id)
            check.fail("ImportTable", "entry 0.import_id",
                       hex(first->import_id) + " is not " + hex(panel_services_import_id));
        else
            module.import_table = reinterpret_cast<ImportEntry*>(import_table);
    }

    if (!check.record_at(linkage, offsetof(ModuleLinkage, gauge_table), "Linkage", "linkage_id")) return module;
    auto* record = reinterpret_cast<ModuleLinkage*>(linkage);
    if (record->linkage_id != linkage_id_value)
        check.fail("Linkage", "linkage_id", hex(record->linkage_id) + " is not " + hex(linkage_id_value));
    check.routine_at(address_of(reinterpret_cast<const void*>(record->module_start)), "Linkage", "module_start", true);
    check.routine_at(address_of(reinterpret_cast<const void*>(record->module_stop)), "Linkage", "module_stop", true);
    auto headers = check.address_list(linkage + offsetof(ModuleLinkage, gauge_table), CheckLimits::gauges, "Linkage",
                                      "gauge_table");
    if (!headers) return module;
    if (headers->empty()) check.fail("Linkage", "gauge_table", "names no GaugeHeader");
    for (auto header : *headers) check_header(check, module, header);
    if (defects.empty()) module.linkage = record;
    return module;
}

std::size_t check_mouse_list(const ModuleImage& image, const std::string& module_name, std::uintptr_t list,
                             Defects& defects) {
    Checker check(image, module_name, defects);
    int depth = 0;
    for (std::size_t i = 0;; ++i) {
        std::string record = "MouseRect #" + std::to_string(i);
        std::uintptr_t address = list + i * sizeof(MouseRect);
        if (!check.record_at(address, sizeof(MouseRect), record, "rect_kind")) return 0;
        const auto& rect = *reinterpret_cast<const MouseRect*>(address);
        switch (rect.rect_kind) {
            case mouse_list_end:
                if (depth != 0) {
                    check.fail(record, "rect_kind", "the list ends inside an open group");
                    return 0;
                }
                return i + 1;
            case mouse_group_start: ++depth; break;
            case mouse_group_end:
                if (--depth < 0) {
                    check.fail(record, "rect_kind", "group end without a group start");
                    return 0;
                }
                break;
            case mouse_area:
                if (rect.area_width < 0 || rect.area_height < 0) {
                    check.fail(record, "area_width", "the area has a negative size");
                    return 0;
                }
                if (!check.routine_at(address_of(reinterpret_cast<const void*>(rect.handler)), record, "handler", true))
                    return 0;
                break;
            default:
                check.fail(record, "rect_kind", std::to_string(rect.rect_kind) + " is not a known record kind");
                return 0;
        }
        if (i + 1 == CheckLimits::mouse_records) {
            check.fail("MouseRect list", "rect_kind",
                       "no end-of-list record within " + std::to_string(CheckLimits::mouse_records) + " records");
            return 0;
        }
    }
}

}  // namespace host
