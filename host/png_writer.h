// Writes a canvas as a PNG file (through stb_image_write).
#pragma once

#include <filesystem>
#include <string>

#include "canvas.h"

namespace host {

// False, with the reason in `error`, when the file cannot be written.
bool write_png(const Canvas& canvas, const std::filesystem::path& path, std::string& error);

}  // namespace host
