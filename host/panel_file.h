// A panel file in the simulator's panel.cfg style:
//
//   [Window00]
//   file=panel_background.bmp      ; or background_color=r,g,b
//   size_mm=640,480                ; the window's size, read as pixels
//   gauge00=Tovik.Barrik.airspeed, 20, 40[, width]
//
// The first [WindowNN] section is the panel; other sections and keys the
// host does not use are passed over.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

struct PanelGaugeLine {
    std::string key;     // "gauge00"
    std::string module;  // module name, without ".gau"
    int x = 0;
    int y = 0;
    std::optional<int> width;  // drawn at this width, height in proportion
    int line = 0;
};

struct PanelFile {
    std::filesystem::path path;
    std::string window;                          // "Window00"
    std::optional<std::filesystem::path> bitmap;  // file=, next to the panel file
    std::uint32_t background_colour = 0;          // 0x00RRGGBB
    std::optional<int> width;                     // size_mm=
    std::optional<int> height;
    std::vector<PanelGaugeLine> gauges;  // in file order
};

// A panel file the host cannot use; the message names the file and line.
class PanelFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

PanelFile parse_panel_file(const std::string& text, const std::filesystem::path& path);
PanelFile read_panel_file(const std::filesystem::path& path);

}  // namespace host
