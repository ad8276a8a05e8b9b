// Each bitmap a radio module carries is the committed artwork it stands for:
// the background of its own radio at 0x1000, knob picture i at 0x2000 + 3i,
// the lamp at 0x3000. (The shared module tests check sizes, formats and
// languages; a swapped picture passes those.)
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

struct RadioModule {
    const char* name;
    const char* path;
    const char* background;  // artwork file of bitmap 0x1000
};

const RadioModule radios[] = {
    {"Tovik.Vessa.adf", MODULE_ADF_GAUGE, "adf_background.bmp"},
    {"Tovik.Vessa.com", MODULE_COM_GAUGE, "com_background.bmp"},
};

std::vector<BYTE> resource_bytes(HMODULE module, unsigned id) {
    HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) return {};
    auto data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

std::vector<BYTE> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

TEST(RadioBitmaps, EachBitmapIsTheArtworkItNames) {
    for (const auto& radio : radios) {
        SCOPED_TRACE(radio.name);
        HMODULE module = LoadLibraryExA(radio.path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << radio.path;
        std::map<unsigned, std::string> artwork{{0x1000, radio.background}, {0x3000, "lamp.bmp"}};
        for (unsigned i = 0; i < 10; ++i) artwork[0x2000 + 3 * i] = "knob_" + std::to_string(i) + ".bmp";
        for (const auto& [id, file] : artwork) {
            std::vector<BYTE> art = file_bytes(std::string(RADIO_ART_DIR) + "/" + file);
            ASSERT_GT(art.size(), 14u) << "cannot read " << file;
            // A bitmap resource is its file without the 14-byte file header.
            std::vector<BYTE> held = resource_bytes(module, id);
            EXPECT_TRUE(held == std::vector<BYTE>(art.begin() + 14, art.end()))
                << "bitmap 0x" << std::hex << id << " is not " << file << " (" << std::dec << held.size()
                << " bytes held)";
        }
        FreeLibrary(module);
    }
}

}  // namespace
