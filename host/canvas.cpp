#include "canvas.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace host {

Canvas::Canvas(int width, int height, std::uint32_t fill_colour) : width_(width), height_(height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw std::invalid_argument("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels cannot be made");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc_ || !bitmap_ || !bits) {
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
        throw std::runtime_error("GDI could not make a picture of " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels");
    }
    previous_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<std::uint32_t*>(bits);
    fill(fill_colour);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::fill(std::uint32_t colour) {
    GdiFlush();
    std::fill_n(pixels_, static_cast<std::size_t>(width_) * height_, colour);
}

void Canvas::fill_rect(int x, int y, int width, int height, std::uint32_t colour) {
    GdiFlush();
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    for (int row = y0; row < y1; ++row)
        for (int column = x0; column < x1; ++column) set(column, row, colour);
}

void Canvas::frame_rect(int x, int y, int width, int height, std::uint32_t colour) {
    if (width <= 0 || height <= 0) return;
    fill_rect(x, y, width, 1, colour);
    fill_rect(x, y + height - 1, width, 1, colour);
    fill_rect(x, y, 1, height, colour);
    fill_rect(x + width - 1, y, 1, height, colour);
}

void Canvas::draw_canvas(const Canvas& source, int x, int y, int width, int height) {
    GdiFlush();
    if (width <= 0 || height <= 0) return;
    for (int row = std::max(0, -y); row < height && y + row < height_; ++row) {
        int source_row = static_cast<int>(static_cast<long long>(row) * source.height() / height);
        for (int column = std::max(0, -x); column < width && x + column < width_; ++column) {
            int source_column = static_cast<int>(static_cast<long long>(column) * source.width() / width);
            std::uint32_t colour = source.at(source_column, source_row);
            if (colour) set(x + column, y + row, colour);
        }
    }
}

void Canvas::label(int x, int y, const char* text, std::uint32_t colour) {
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Liberation Mono");
    HGDIOBJ old_font = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    int length = static_cast<int>(std::strlen(text));
    SetTextColor(dc_, RGB(1, 1, 1));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx || dy) TextOutA(dc_, x + dx, y + dy, text, length);
    SetTextColor(dc_, to_colorref(colour));
    TextOutA(dc_, x, y, text, length);
    GdiFlush();
    SelectObject(dc_, old_font);
    DeleteObject(font);
}

}  // namespace host
