#include "module_image.h"

namespace host {

ModuleImage::ModuleImage(HMODULE module) : module_(module), base_(reinterpret_cast<std::uintptr_t>(module)) {
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base_ + dos->e_lfanew);
    size_ = nt->OptionalHeader.SizeOfImage;
}

std::optional<std::string> ModuleImage::read_string(std::uintptr_t address, std::size_t max_length) const {
    std::string text;
    for (std::size_t i = 0; i <= max_length; ++i) {
        auto c = read<char>(address + i);
        if (!c) return std::nullopt;
        if (*c == '\0') return text;
        if (static_cast<unsigned char>(*c) < 0x20 || static_cast<unsigned char>(*c) > 0x7E) return std::nullopt;
        text += *c;
    }
    return std::nullopt;
}

}  // namespace host
