// The host checks a module before it trusts it. Each case patches one record
// of the test module in memory (the host's LoadLibrary then finds the same,
// patched image) and expects exactly one defect naming the record and field.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <vector>

#include "panel_host.h"

namespace {

// Changes bytes of the loaded module and puts them back afterwards.
class Patches {
public:
    ~Patches() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) std::memcpy(it->first, it->second.data(), it->second.size());
    }
    template <typename T>
    void set(T& field, const T& value) {
        save(&field, sizeof(T));
        field = value;
    }
    void save(void* address, std::size_t size) {
        auto* bytes = static_cast<unsigned char*>(address);
        saved_.emplace_back(address, std::vector<unsigned char>(bytes, bytes + size));
    }

private:
    std::vector<std::pair<void*, std::vector<unsigned char>>> saved_;
};

struct Fixture {
    HMODULE module = nullptr;
    host::ModuleImage image;
    ModuleLinkage* linkage = nullptr;
    ImportEntry* import_table = nullptr;
    GaugeHeader* header = nullptr;
    StaticImageElement* background = nullptr;
    NeedleElement* needle = nullptr;
    StringElement* text = nullptr;
    IconElement* icon = nullptr;
    std::uint32_t* scratch = nullptr;  // 8192 words, zero
    std::uintptr_t end = 0;            // the first address past the image

    template <typename T>
    T* export_named(const char* name) {
        return reinterpret_cast<T*>(GetProcAddress(module, name));
    }

    // A NULL-terminated list of addresses, built in the scratch area.
    ElementHeader** list_in_scratch(std::size_t offset_words, std::vector<std::uintptr_t> entries, Patches& patches) {
        std::uint32_t* list = scratch + offset_words;
        patches.save(list, 4 * (entries.size() + 1));
        for (std::size_t i = 0; i < entries.size(); ++i) list[i] = static_cast<std::uint32_t>(entries[i]);
        list[entries.size()] = 0;
        return reinterpret_cast<ElementHeader**>(list);
    }

    // `count` background-like elements in the scratch area, and a list of them.
    ElementHeader** elements_in_scratch(std::size_t count, Patches& patches) {
        auto* records = reinterpret_cast<StaticImageElement*>(scratch + 1024);
        patches.save(records, count * sizeof(StaticImageElement));
        std::vector<std::uintptr_t> addresses;
        for (std::size_t i = 0; i < count; ++i) {
            records[i] = StaticImageElement{};
            records[i].header.element_kind = element_static_image;
            records[i].header.resource_id = 0x1000;
            records[i].header.gauge_header = header;
            records[i].header.image_flags = 1;
            addresses.push_back(reinterpret_cast<std::uintptr_t>(&records[i]));
        }
        return list_in_scratch(0, addresses, patches);
    }
};

class ModuleCheck : public ::testing::Test {
protected:
    void SetUp() override {
        f.module = LoadLibraryA(MODULE_FIXTURE_GAUGE);
        ASSERT_NE(f.module, nullptr);
        f.image = host::ModuleImage(f.module);
        f.linkage = f.export_named<ModuleLinkage>("Linkage");
        f.import_table = f.export_named<ImportEntry>("ImportTable");
        f.header = f.export_named<GaugeHeader>("fixture_header");
        f.background = f.export_named<StaticImageElement>("fixture_background");
        f.needle = f.export_named<NeedleElement>("fixture_needle");
        f.text = f.export_named<StringElement>("fixture_string");
        f.icon = f.export_named<IconElement>("fixture_icon");
        f.scratch = f.export_named<std::uint32_t>("fixture_scratch");
        f.end = f.image.base() + f.image.size();
        ASSERT_TRUE(f.linkage && f.header && f.needle && f.text && f.icon && f.scratch);
    }
    void TearDown() override { FreeLibrary(f.module); }

    static host::Defects check(const char* path) {
        host::PanelHost host;
        return host.check(path);
    }

    Fixture f;
};

std::string describe(const host::Defects& defects) {
    std::string text;
    for (const auto& defect : defects) text += "\n  " + defect.text();
    return text.empty() ? " (none)" : text;
}

TEST_F(ModuleCheck, TheUnpatchedModuleHasNoDefect) {
    auto defects = check(MODULE_FIXTURE_GAUGE);
    EXPECT_TRUE(defects.empty()) << describe(defects);
}

struct DefectCase {
    const char* name;
    std::function<void(Fixture&, Patches&)> patch;
    const char* record;  // nullptr: the patch must pass
    const char* field;
    const char* problem;  // part of the message
};

// Converts an address into the 32-bit pointer type of a record field.
template <typename T>
T at(std::uintptr_t address) {
    return reinterpret_cast<T>(address);
}

class ModuleDefects : public ModuleCheck, public ::testing::WithParamInterface<DefectCase> {};

TEST_P(ModuleDefects, FoundAndNamed) {
    const DefectCase& c = GetParam();
    host::Defects defects;
    {
        Patches patches;
        c.patch(f, patches);
        defects = check(MODULE_FIXTURE_GAUGE);
    }
    if (!c.record) {
        EXPECT_TRUE(defects.empty()) << c.name << describe(defects);
        return;
    }
    ASSERT_EQ(defects.size(), 1u) << c.name << describe(defects);
    EXPECT_EQ(defects[0].module, "fixture_gauge.gau");
    EXPECT_EQ(defects[0].record, c.record) << describe(defects);
    EXPECT_EQ(defects[0].field, c.field) << describe(defects);
    EXPECT_NE(defects[0].problem.find(c.problem), std::string::npos)
        << "expected \"" << c.problem << "\" in" << describe(defects);
}

const DefectCase defect_cases[] = {
    {"linkage_id", [](Fixture& f, Patches& p) { p.set(f.linkage->linkage_id, 0x14u); }, "Linkage", "linkage_id",
     "0x14 is not 0x13"},
    {"import_id", [](Fixture& f, Patches& p) { p.set(f.import_table[0].import_id, 0x10u); }, "ImportTable",
     "entry 0.import_id", "0x10 is not 0xF"},
    {"no_gauge", [](Fixture& f, Patches& p) { p.set(f.linkage->gauge_table[0], at<GaugeHeader*>(0)); }, "Linkage",
     "gauge_table", "names no GaugeHeader"},
    {"header_past_the_image", [](Fixture& f, Patches& p) { p.set(f.linkage->gauge_table[0], at<GaugeHeader*>(f.end)); },
     "Linkage", "gauge_table", "lies outside the module image"},
    {"header_version", [](Fixture& f, Patches& p) { p.set(f.header->header_version, 0x263u); }, "GaugeHeader",
     "header_version", "0x263 is not 0x262"},
    {"name_past_the_image", [](Fixture& f, Patches& p) { p.set(f.header->gauge_name, at<const char*>(f.end)); },
     "GaugeHeader", "gauge_name", "no readable name"},
    {"name_not_printable",
     [](Fixture& f, Patches& p) {
         p.save(f.scratch, 16);
         std::memcpy(f.scratch, "bad\x01name", 9);
         p.set(f.header->gauge_name, at<const char*>(reinterpret_cast<std::uintptr_t>(f.scratch)));
     },
     "GaugeHeader", "gauge_name", "no readable name"},
    {"name_without_end",
     [](Fixture& f, Patches& p) {
         p.save(f.scratch, 300);
         std::memset(f.scratch, 'A', 300);
         p.set(f.header->gauge_name, at<const char*>(reinterpret_cast<std::uintptr_t>(f.scratch)));
     },
     "GaugeHeader", "gauge_name", "at most 255 characters"},
    {"routine_one_byte_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.header->gauge_query, at<GaugeRoutine>(f.end)); }, "GaugeHeader",
     "gauge_query", "lies outside the module image"},
    {"routine_at_the_last_byte_of_the_image",
     [](Fixture& f, Patches& p) { p.set(f.header->gauge_query, at<GaugeRoutine>(f.end - 1)); }, nullptr, "", ""},
    {"routine_null", [](Fixture& f, Patches& p) { p.set(f.header->gauge_kill, at<GaugeRoutine>(0)); }, "GaugeHeader",
     "gauge_kill", "is NULL"},
    {"element_list_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.header->element_list, at<ElementHeader**>(f.end)); }, "GaugeHeader",
     "element_list", "runs outside the module image"},
    {"element_list_empty",
     [](Fixture& f, Patches& p) { p.set(f.header->element_list, f.list_in_scratch(0, {}, p)); }, "GaugeHeader",
     "element_list", "holds no element"},
    {"element_past_the_image",
     [](Fixture& f, Patches& p) {
         p.set(f.background->header.next_elements, f.list_in_scratch(0, {f.end - 8}, p));
     },
     "StaticImageElement #0", "next_elements[0]", "lies outside the module image"},
    {"cycle",
     [](Fixture& f, Patches& p) {
         p.set(f.needle->header.next_elements,
               f.list_in_scratch(0, {reinterpret_cast<std::uintptr_t>(f.background)}, p));
     },
     "NeedleElement #1", "next_elements[0]", "already in the tree"},
    {"children_at_the_limit",
     [](Fixture& f, Patches& p) { p.set(f.background->header.next_elements, f.elements_in_scratch(64, p)); },
     nullptr, "", ""},
    {"children_one_past_the_limit",
     [](Fixture& f, Patches& p) { p.set(f.background->header.next_elements, f.elements_in_scratch(65, p)); },
     "StaticImageElement #0", "next_elements", "no NULL terminator within 64 entries"},
    {"unknown_kind", [](Fixture& f, Patches& p) { p.set(f.needle->header.element_kind, 3u); }, "element #1",
     "element_kind", "3 is not a known element kind"},
    {"root_not_a_static_image", [](Fixture& f, Patches& p) { p.set(f.header->element_list, f.list_in_scratch(0, {reinterpret_cast<std::uintptr_t>(f.icon)}, p)); },
     "IconElement #0", "element_kind", "the root element is not a StaticImageElement"},
    {"foreign_header",
     [](Fixture& f, Patches& p) { p.set(f.needle->header.gauge_header, at<GaugeHeader*>(reinterpret_cast<std::uintptr_t>(f.scratch))); },
     "NeedleElement #1", "gauge_header", "is not the gauge's header"},
    {"failure_list_without_end",
     [](Fixture& f, Patches& p) {
         auto* records = reinterpret_cast<FailureRecord*>(f.scratch);
         p.save(records, 66 * sizeof(FailureRecord));
         for (int i = 0; i < 66; ++i) records[i] = {1, 0, 0};
         p.set(f.needle->header.failure_list, records);
     },
     "NeedleElement #1", "failure_list", "no end record (key 0) within 64 records"},
    {"failure_list_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.needle->header.failure_list, at<FailureRecord*>(f.end - 4)); },
     "NeedleElement #1", "failure_list[0]", "lies outside the module image"},
    {"value_callback_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.needle->value_callback, at<ValueCallback>(f.end)); }, "NeedleElement #1",
     "value_callback", "lies outside the module image"},
    {"scale_count_zero", [](Fixture& f, Patches& p) { p.set(f.needle->scale_count, 0u); }, "NeedleElement #1",
     "scale_count", "0 is not within 1 to 64"},
    {"scale_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.needle->scale, at<NonlinearityPoint*>(f.end - 24)); }, "NeedleElement #1",
     "scale", "lies outside the module image"},
    {"scale_not_rising",
     [](Fixture& f, Patches& p) {
         auto* points = reinterpret_cast<NonlinearityPoint*>(f.scratch);
         p.save(points, 2 * sizeof(NonlinearityPoint));
         points[0] = {0, 0, 5.0, 0.0};
         points[1] = {1, 1, 5.0, 0.0};
         p.set(f.needle->scale, points);
     },
     "NeedleElement #1", "scale[1].scale_value", "do not rise"},
    {"string_max_chars", [](Fixture& f, Patches& p) { p.set(f.text->max_chars, 1000u); }, "StringElement #2",
     "max_chars", "1000 is above 255"},
    {"string_font_without_end",
     [](Fixture& f, Patches& p) {
         p.save(f.text->font_name, 32);
         std::memset(f.text->font_name, 'A', 32);
     },
     "StringElement #2", "font_name", "no terminating zero"},
    {"string_callback_past_the_image",
     [](Fixture& f, Patches& p) { p.set(f.text->string_callback, at<StringCallback>(f.end)); }, "StringElement #2",
     "string_callback", "lies outside the module image"},
    {"icon_without_pictures", [](Fixture& f, Patches& p) { p.set(f.icon->picture_count, 0u); }, "IconElement #3",
     "picture_count", "0 is not within 1 to 256"},
    {"icon_picture_missing", [](Fixture& f, Patches& p) { p.set(f.icon->picture_count, 3u); }, "IconElement #3",
     "resource_id", "bitmap 0x2006 is not among the module's resources"},
    {"bitmap_missing", [](Fixture& f, Patches& p) { p.set(f.needle->header.resource_id, 0x2200u); },
     "NeedleElement #1", "resource_id", "bitmap 0x2200 is not among the module's resources"},
};

INSTANTIATE_TEST_SUITE_P(Patched, ModuleDefects, ::testing::ValuesIn(defect_cases),
                         [](const ::testing::TestParamInfo<DefectCase>& info) { return info.param.name; });

TEST_F(ModuleCheck, FilesThatAreNotGaugeModules) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string truncated = std::string(folder) + "truncated.gau";
    {
        std::ifstream in(MODULE_FIXTURE_GAUGE, std::ios::binary);
        std::vector<char> bytes(600);
        in.read(bytes.data(), bytes.size());
        std::ofstream(truncated, std::ios::binary).write(bytes.data(), bytes.size());
    }
    struct Case {
        std::string path;
        const char* record;
        const char* field;
        const char* problem;
    };
    const Case cases[] = {
        {MODULE_FIXTURE_WITHOUT_LINKAGE, "exports", "ordinal 2", "Linkage is not exported"},
        {truncated, "file", "path", "Windows could not load it as a library"},
        {std::string(folder) + "no-such-module.gau", "file", "path", "no such file"},
    };
    for (const auto& c : cases) {
        auto defects = check(c.path.c_str());
        ASSERT_EQ(defects.size(), 1u) << c.path << describe(defects);
        EXPECT_EQ(defects[0].record, c.record) << c.path;
        EXPECT_EQ(defects[0].field, c.field) << c.path;
        EXPECT_NE(defects[0].problem.find(c.problem), std::string::npos) << c.path << describe(defects);
    }
    DeleteFileA(truncated.c_str());
}

TEST_F(ModuleCheck, LoadRefusesADefectiveModuleAndLeavesItAlone) {
    Patches patches;
    patches.set(f.linkage->linkage_id, 0x14u);
    host::PanelHost host;
    try {
        host.load(MODULE_FIXTURE_GAUGE);
        FAIL() << "a module with a wrong linkage id was loaded";
    } catch (const host::ModuleRejected& rejected) {
        ASSERT_EQ(rejected.defects().size(), 1u);
        EXPECT_NE(std::string(rejected.what()).find("fixture_gauge.gau: Linkage.linkage_id"), std::string::npos)
            << rejected.what();
    }
    EXPECT_EQ(f.import_table[0].import_pointer, nullptr) << "the host gave its services to a module it refused";
}

}  // namespace
