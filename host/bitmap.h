// Bitmaps of a module, loaded from its resources by number.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

// The host's record of one loaded bitmap. A StaticImageElement's first image
// slot holds the address of one of these while the gauge is installed.
struct ImageRecord {
    static constexpr std::uint32_t signature_value = 0x31474D49;  // "IMG1"

    std::uint32_t signature = signature_value;
    std::uint32_t resource_id = 0;
    int width = 0;
    int height = 0;
    std::uint16_t bits_per_pixel = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> indices;  // palette index per pixel (8-bit bitmaps)
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Black is transparent when the host draws.
    bool opaque(int x, int y) const { return at(x, y) != 0; }
};

// Loads bitmap `id`; on failure, says why in `error`.
std::optional<ImageRecord> load_bitmap(HMODULE module, std::uint32_t id, std::string& error);

// Reads a device-independent bitmap from memory: an info header, a palette
// where the depth needs one, then the rows.
std::optional<ImageRecord> parse_dib(const std::uint8_t* data, std::size_t size, std::string& error);

}  // namespace host
