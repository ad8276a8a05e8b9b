#include "bitmap.h"

#include <cstring>

#include "defect.h"

namespace host {

std::optional<ImageRecord> parse_dib(const std::uint8_t* data, std::size_t size, std::string& error) {
    BITMAPINFOHEADER info;
    if (size < sizeof info) {
        error = "is shorter than a bitmap information header";
        return std::nullopt;
    }
    std::memcpy(&info, data, sizeof info);
    if (info.biSize < sizeof info || info.biSize > size) {
        error = "has an information header of " + std::to_string(info.biSize) + " bytes";
        return std::nullopt;
    }
    if (info.biCompression != BI_RGB || info.biPlanes != 1 ||
        (info.biBitCount != 8 && info.biBitCount != 24 && info.biBitCount != 32)) {
        error = "is not an uncompressed 8, 24 or 32-bit bitmap";
        return std::nullopt;
    }
    long long height = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
    if (info.biWidth <= 0 || height == 0 || info.biWidth > 4096 || height > 4096) {
        error = "has a size of " + std::to_string(info.biWidth) + " x " + std::to_string(info.biHeight);
        return std::nullopt;
    }
    std::size_t colours = 0;
    if (info.biBitCount == 8) colours = info.biClrUsed ? info.biClrUsed : 256;
    if (colours > 256) {
        error = "has " + std::to_string(colours) + " palette entries";
        return std::nullopt;
    }
    std::size_t palette_offset = info.biSize;
    std::size_t bits_offset = palette_offset + 4 * colours;
    std::size_t stride = ((static_cast<std::size_t>(info.biWidth) * info.biBitCount + 31) / 32) * 4;
    if (bits_offset > size || stride * height > size - bits_offset) {
        error = "is shorter than its rows (" + std::to_string(size) + " bytes)";
        return std::nullopt;
    }

    ImageRecord image;
    image.width = info.biWidth;
    image.height = static_cast<int>(height);
    image.bits_per_pixel = info.biBitCount;
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint8_t* q = data + palette_offset + 4 * i;
        image.palette.push_back(q[2] << 16 | q[1] << 8 | q[0]);
    }
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (info.biBitCount == 8) image.indices.resize(image.pixels.size());
    for (int y = 0; y < image.height; ++y) {
        int row = info.biHeight < 0 ? y : image.height - 1 - y;  // bottom-up unless negative
        const std::uint8_t* p = data + bits_offset + stride * row;
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t rgb;
            std::size_t at = static_cast<std::size_t>(y) * image.width + x;
            if (info.biBitCount == 8) {
                image.indices[at] = p[x];
                rgb = p[x] < colours ? image.palette[p[x]] : 0;
            } else {
                const std::uint8_t* q = p + x * (info.biBitCount / 8);
                rgb = q[2] << 16 | q[1] << 8 | q[0];
            }
            image.pixels[at] = rgb;
        }
    }
    return image;
}

std::optional<ImageRecord> load_bitmap(HMODULE module, std::uint32_t id, std::string& error) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!found) {
        error = "bitmap " + hex(id) + " is not among the module's resources";
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!bytes) {
        error = "bitmap " + hex(id) + " could not be loaded";
        return std::nullopt;
    }
    std::string why;
    auto image = parse_dib(static_cast<const std::uint8_t*>(bytes), size, why);
    if (!image) {
        error = "bitmap " + hex(id) + " " + why;
        return std::nullopt;
    }
    image->resource_id = id;
    return image;
}

}  // namespace host
