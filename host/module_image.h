// A loaded module's image: where it lies in memory and reads that stay
// inside it. Nothing a module declares is dereferenced before its range has
// been checked here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace host {

class ModuleImage {
public:
    ModuleImage() = default;
    explicit ModuleImage(HMODULE module);

    std::uintptr_t base() const { return base_; }
    std::uint32_t size() const { return size_; }
    HMODULE handle() const { return module_; }

    // True when [address, address + length) lies inside the image.
    bool contains(std::uintptr_t address, std::size_t length = 1) const {
        if (address < base_) return false;
        std::uintptr_t offset = address - base_;
        return offset <= size_ && length <= size_ - offset;
    }
    bool contains(const void* address, std::size_t length = 1) const {
        return contains(reinterpret_cast<std::uintptr_t>(address), length);
    }

    template <typename T>
    std::optional<T> read(std::uintptr_t address) const {
        if (!contains(address, sizeof(T))) return std::nullopt;
        T value;
        std::memcpy(&value, reinterpret_cast<const void*>(address), sizeof(T));
        return value;
    }

    // A zero-terminated string of at most max_length characters, all of them
    // printable, lying inside the image.
    std::optional<std::string> read_string(std::uintptr_t address, std::size_t max_length) const;

private:
    HMODULE module_ = nullptr;
    std::uintptr_t base_ = 0;
    std::uint32_t size_ = 0;
};

}  // namespace host
