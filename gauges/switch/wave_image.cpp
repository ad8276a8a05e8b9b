#include "wave_image.h"

namespace {

uint32_t little_endian_word(const unsigned char* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

bool has_id(const unsigned char* at, const char (&id)[5]) {
    for (int i = 0; i < 4; ++i)
        if (at[i] != static_cast<unsigned char>(id[i])) return false;
    return true;
}

// Smallest `fmt ` body DirectSound can read a format from: a WAVEFORMAT.
constexpr uint32_t smallest_format = 14;
constexpr uint32_t chunk_header = 8;
constexpr uint32_t first_chunk = 12;

}  // namespace

int parse_wave_image(const void* image, uint32_t image_size, const void** format, const void** data,
                     uint32_t* data_size) {
    if (format) *format = 0;
    if (data) *data = 0;
    if (data_size) *data_size = 0;

    const unsigned char* bytes = static_cast<const unsigned char*>(image);
    if (!bytes || image_size < first_chunk) return 0;
    if (!has_id(bytes, "RIFF") || !has_id(bytes + 8, "WAVE")) return 0;

    // Every position below is an offset from the image's start, at most
    // `end`, so no sum of a position and a declared size can wrap.
    uint32_t riff_size = little_endian_word(bytes + 4);
    uint32_t end = riff_size < image_size - 8 ? 8 + riff_size : image_size;

    // A RIFF size of 4 or less leaves no room for a chunk.
    uint32_t position = first_chunk;
    if (position >= end) return 0;
    for (;;) {
        if (end - position < chunk_header) return 0;
        const unsigned char* chunk = bytes + position;
        uint32_t size = little_endian_word(chunk + 4);
        uint32_t body = position + chunk_header;
        uint32_t room = end - body;
        if (size > room) return 0;

        if (has_id(chunk, "fmt ") && format && !*format) {
            // A short format fails the whole walk, whatever follows.
            if (size < smallest_format) return 0;
            *format = bytes + body;
            if ((!data || *data) && (!data_size || *data_size)) return 1;
        } else if (has_id(chunk, "data") && ((data && !*data) || (data_size && !*data_size))) {
            // A later `data` chunk replaces one of size 0, which does not
            // count as found.
            if (data) *data = bytes + body;
            if (data_size) *data_size = size;
            if (!format || *format) return 1;
        }

        // The next chunk follows the body and, after an odd size, its pad
        // byte; it has to start before the end.
        uint32_t pad = size & 1;
        if (room - size <= pad) return 0;
        position = body + size + pad;
    }
}
