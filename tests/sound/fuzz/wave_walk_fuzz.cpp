// libFuzzer target for the walk over sound images, built natively from the
// module's own source. Every input is walked with each choice of omitted
// outputs; a result that points outside the image, or a data size that
// counts bytes that are not there, stops the run as a finding, as do the
// sanitizers.
#include <cstddef>
#include <cstdint>

#include "wave_image.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// Bytes between an address inside the image and the image's end.
std::size_t left_after(const std::uint8_t* image, std::size_t size, const void* at) {
    auto p = static_cast<const std::uint8_t*>(at);
    require(p >= image && p <= image + size);
    return static_cast<std::size_t>(image + size - p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* image, std::size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    auto image_size = static_cast<std::uint32_t>(size);

    const void* format = nullptr;
    const void* data = nullptr;
    std::uint32_t data_size = 0;
    int found = parse_wave_image(image, image_size, &format, &data, &data_size);
    require(found == 0 || found == 1);
    if (found) {
        require(format && data);
        require(left_after(image, size, format) >= 14);
        require(left_after(image, size, data) >= data_size);
    }

    // Omitted outputs: never written, and what is found does not depend on
    // them beyond the rules of the walk.
    for (int mask = 0; mask < 8; ++mask) {
        const void* f = nullptr;
        const void* d = nullptr;
        std::uint32_t s = 0;
        int partial = parse_wave_image(image, image_size, mask & 1 ? &f : nullptr, mask & 2 ? &d : nullptr,
                                       mask & 4 ? &s : nullptr);
        require(partial == 0 || partial == 1);
        if (!(mask & 1)) require(f == nullptr);
        if (!(mask & 2)) require(d == nullptr);
        if (partial && f) require(left_after(image, size, f) >= 14);
        if (partial && d && (mask & 4)) require(left_after(image, size, d) >= s);
        if (mask == 7) require(partial == found && f == format && d == data && s == data_size);
    }
    return 0;
}
