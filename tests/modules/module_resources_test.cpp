// Every module's resources as Windows reads them: the version block through
// the version API, the bitmaps by number, each in language 0x0409, and
// nothing else.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Bitmap {
    unsigned id;
    int width;
    int height;
};

struct ModuleResources {
    const char* path;
    const char* gauge;
    std::vector<std::pair<std::string, std::string>> strings;  // in their order; empty value: any
    std::vector<Bitmap> bitmaps;
    std::vector<std::string> named;  // "TYPE/NAME" of named resources
};

constexpr const char* any = "";

std::vector<std::pair<std::string, std::string>> radio_and_dial_strings(const char* description) {
    return {{"CompanyName", any},          {"FileDescription", description}, {"FileVersion", "1.0.0"},
            {"LegalCopyright", any},       {"ProductName", any},             {"ProductVersion", "1.0.0"}};
}

std::vector<Bitmap> radio_bitmaps() {
    std::vector<Bitmap> bitmaps = {{0x1000, 350, 90}};
    for (unsigned i = 0; i < 10; ++i) bitmaps.push_back({0x2000 + 3 * i, 30, 30});
    bitmaps.push_back({0x3000, 9, 9});
    return bitmaps;
}

std::vector<ModuleResources> modules() {
    std::vector<ModuleResources> all;
#ifdef MODULE_AIRSPEED_GAUGE
    all.push_back({MODULE_AIRSPEED_GAUGE, "Tovik.Barrik.airspeed", radio_and_dial_strings("Flight Simulator Gauge"),
                   {{0x1000, 303, 306}, {0x2000, 143, 18}}, {}});
#endif
#ifdef MODULE_RADTEMP_GAUGE
    all.push_back({MODULE_RADTEMP_GAUGE, "Tovik_Barrik.radtemp.1", radio_and_dial_strings("Flight Simulator Gauge"),
                   {{0x1000, 303, 306}, {0x2000, 196, 10}}, {}});
#endif
#ifdef MODULE_ADF_GAUGE
    all.push_back({MODULE_ADF_GAUGE, "Tovik.Vessa.adf", radio_and_dial_strings("Flight Simulator 98 Gauge"),
                   radio_bitmaps(), {}});
#endif
#ifdef MODULE_COM_GAUGE
    all.push_back({MODULE_COM_GAUGE, "Tovik.Vessa.com", radio_and_dial_strings("Flight Simulator 98 Gauge"),
                   radio_bitmaps(), {}});
#endif
#ifdef MODULE_SWITCH_GAUGE
    all.push_back({MODULE_SWITCH_GAUGE,
                   "Vantle2",
                   {{"CompanyName", any}, {"FileDescription", "Flight Simulator 98 Gauge"}, {"ProductName", "Vantle2"}},
                   {{0x1000, 20, 26}, {0x2000, 20, 26}, {0x2003, 20, 26}},
                   {"WAV/KLICK"}});
#endif
    return all;
}

// The keys of the string table, in their stored order, with their values.
std::vector<std::pair<std::string, std::string>> stored_strings(const std::vector<char>& block) {
    std::vector<std::pair<std::string, std::string>> strings;
    auto word = [&](std::size_t at) {
        std::uint16_t value;
        std::memcpy(&value, block.data() + at, 2);
        return value;
    };
    auto key_at = [&](std::size_t at, std::size_t& end) {
        std::string key;
        for (end = at; word(end); end += 2) key += static_cast<char>(word(end));
        end += 2;
        return key;
    };
    auto align = [](std::size_t at) { return (at + 3) & ~std::size_t(3); };
    std::size_t end;
    key_at(6, end);  // "VS_VERSION_INFO"
    std::size_t child = align(align(end) + word(2));
    while (child < word(0)) {
        std::size_t child_end = child + word(child);
        if (key_at(child + 6, end) == "StringFileInfo") {
            std::size_t table = align(end);
            key_at(table + 6, end);  // "040904b0"
            for (std::size_t s = align(end); s < table + word(table); s = align(s + word(s))) {
                std::size_t key_end;
                std::string key = key_at(s + 6, key_end);
                std::string value;
                for (std::size_t v = align(key_end); word(v); v += 2) value += static_cast<char>(word(v));
                strings.emplace_back(key, value);
            }
        }
        child = align(child_end);
    }
    return strings;
}

using ResourceSet = std::set<std::tuple<std::string, std::string, WORD>>;

std::string resource_name(LPCSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name);
}

struct Enumeration {
    ResourceSet found;
    std::string type;
    std::string name;
};

BOOL CALLBACK on_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    auto& e = *reinterpret_cast<Enumeration*>(param);
    e.found.insert({e.type, e.name, language});
    return TRUE;
}

BOOL CALLBACK on_name(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
    reinterpret_cast<Enumeration*>(param)->name = resource_name(name);
    EnumResourceLanguagesA(module, type, name, on_language, param);
    return TRUE;
}

BOOL CALLBACK on_type(HMODULE module, LPSTR type, LONG_PTR param) {
    reinterpret_cast<Enumeration*>(param)->type = resource_name(type);
    EnumResourceNamesA(module, type, on_name, param);
    return TRUE;
}

ResourceSet enumerate(HMODULE module) {
    Enumeration e;
    EnumResourceTypesA(module, on_type, reinterpret_cast<LONG_PTR>(&e));
    return e.found;
}

constexpr WORD english_us = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class ModuleResourcesTest : public ::testing::TestWithParam<ModuleResources> {};

TEST_P(ModuleResourcesTest, VersionBlockAsDeclared) {
    const ModuleResources& m = GetParam();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(m.path, &ignored);
    ASSERT_GT(size, 0u) << m.path << " has no version block";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(m.path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x00010004u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    auto strings = stored_strings(block);
    ASSERT_EQ(strings.size(), m.strings.size()) << m.gauge;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        EXPECT_EQ(strings[i].first, m.strings[i].first) << m.gauge << " string " << i;
        if (*m.strings[i].second.c_str())
            EXPECT_EQ(strings[i].second, m.strings[i].second) << m.gauge << " " << strings[i].first;
        else
            EXPECT_FALSE(strings[i].second.empty()) << m.gauge << " " << strings[i].first;
        // The version API finds each string under the table's key too.
        char* value = nullptr;
        std::string query = "\\StringFileInfo\\040904b0\\" + strings[i].first;
        EXPECT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << query;
    }
}

TEST_P(ModuleResourcesTest, ResourcesAreTheBitmapsTheVersionAndNothingElseInEnglishUs) {
    const ModuleResources& m = GetParam();
    HMODULE module = LoadLibraryExA(m.path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << m.path;
    ResourceSet expected = {{"16", "1", english_us}};  // RT_VERSION 1
    for (const auto& bitmap : m.bitmaps) expected.insert({"2", std::to_string(bitmap.id), english_us});
    for (const auto& named : m.named)
        expected.insert({named.substr(0, named.find('/')), named.substr(named.find('/') + 1), english_us});
    EXPECT_EQ(enumerate(module), expected) << m.gauge;

    for (const auto& bitmap : m.bitmaps) {
        SCOPED_TRACE(std::string(m.gauge) + " bitmap " + std::to_string(bitmap.id));
        HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(bitmap.id),
                                      english_us);
        ASSERT_NE(found, nullptr);
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        DWORD size = SizeofResource(module, found);
        ASSERT_GE(size, sizeof(BITMAPINFOHEADER) + 1024);
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes, sizeof info);
        EXPECT_EQ(info.biSize, 40u);
        EXPECT_EQ(info.biWidth, bitmap.width);
        EXPECT_EQ(info.biHeight, bitmap.height);
        EXPECT_EQ(info.biPlanes, 1);
        EXPECT_EQ(info.biBitCount, 8);
        EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_TRUE(info.biClrUsed == 0 || info.biClrUsed == 256) << info.biClrUsed;
        const unsigned char* black = bytes + 40;
        EXPECT_EQ(black[0] | black[1] | black[2], 0) << "palette entry 0 is black";
        std::size_t stride = (bitmap.width + 3) / 4 * 4;
        EXPECT_EQ(size, 40 + 1024 + stride * bitmap.height);
    }
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleResourcesTest, ::testing::ValuesIn(modules()),
                         [](const ::testing::TestParamInfo<ModuleResources>& info) {
                             std::string name = info.param.gauge;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
