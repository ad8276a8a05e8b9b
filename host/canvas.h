// A picture the host draws into: 32-bit pixels, 0x00RRGGBB, top row first,
// held in a DIB section so that GDI can draw text into the same pixels.
#pragma once

#include <windows.h>

#include <cstdint>

namespace host {

class Canvas {
public:
    Canvas(int width, int height, std::uint32_t fill = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_; }

    std::uint32_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF; }
    void set(int x, int y, std::uint32_t colour) { pixels_[static_cast<std::size_t>(y) * width_ + x] = colour; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::uint32_t* pixels() { return pixels_; }
    const std::uint32_t* pixels() const { return pixels_; }

    void fill(std::uint32_t colour);
    void fill_rect(int x, int y, int width, int height, std::uint32_t colour);
    void frame_rect(int x, int y, int width, int height, std::uint32_t colour);
    // Copies `source` with its top left at (x, y), scaled to width x height
    // (nearest pixel); black source pixels are transparent.
    void draw_canvas(const Canvas& source, int x, int y, int width, int height);
    // Text in a small fixed font, black-outlined for reading on any picture.
    void label(int x, int y, const char* text, std::uint32_t colour);

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* pixels_ = nullptr;
};

// GDI takes colours as 0x00BBGGRR; the canvas holds 0x00RRGGBB.
inline COLORREF to_colorref(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
inline std::uint32_t from_colorref(std::uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

}  // namespace host
