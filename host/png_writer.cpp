#include "png_writer.h"

#include <fstream>
#include <vector>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace host {

bool write_png(const Canvas& canvas, const std::filesystem::path& path, std::string& error) {
    GdiFlush();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(canvas.width()) * canvas.height() * 3);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            std::uint32_t colour = canvas.at(x, y);
            unsigned char* out = &rgb[(static_cast<std::size_t>(y) * canvas.width() + x) * 3];
            out[0] = static_cast<unsigned char>(colour >> 16);
            out[1] = static_cast<unsigned char>(colour >> 8);
            out[2] = static_cast<unsigned char>(colour);
        }
    }
    std::vector<unsigned char> encoded;
    auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<unsigned char*>(data);
        static_cast<std::vector<unsigned char>*>(context)->insert(
            static_cast<std::vector<unsigned char>*>(context)->end(), bytes, bytes + size);
    };
    if (!stbi_write_png_to_func(append, &encoded, canvas.width(), canvas.height(), 3, rgb.data(), canvas.width() * 3)) {
        error = "the picture could not be encoded";
        return false;
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(encoded.data()), static_cast<std::streamsize>(encoded.size()));
    file.close();
    if (!file) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace host
