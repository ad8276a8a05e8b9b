// A copy of some bytes that ends exactly where a page nobody may touch
// begins: a read one byte past the end faults at once, and the host's guard
// reports the fault.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace sound_test {

class GuardedBytes {
public:
    explicit GuardedBytes(const std::vector<std::uint8_t>& bytes) : size_(bytes.size()) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        std::size_t page = info.dwPageSize;
        std::size_t pages = (size_ + page - 1) / page + 1;
        std::size_t usable = (pages - 1) * page;
        base_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, pages * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!base_) return;
        DWORD old = 0;
        VirtualProtect(base_ + usable, page, PAGE_NOACCESS, &old);
        data_ = base_ + usable - size_;
        if (size_) std::memcpy(data_, bytes.data(), size_);
    }
    ~GuardedBytes() {
        if (base_) VirtualFree(base_, 0, MEM_RELEASE);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::size_t size_;
    std::uint8_t* base_ = nullptr;
    std::uint8_t* data_ = nullptr;
};

}  // namespace sound_test
