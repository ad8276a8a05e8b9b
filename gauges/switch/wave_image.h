// The walk over a RIFF WAVE sound image that finds its format and samples.
//
// Plain C++ with no Windows dependency, so that the fuzzer builds the same
// file natively.
#pragma once

#include <stdint.h>

// Finds the first `fmt ` chunk (its body at least 14 bytes, a WAVEFORMAT)
// and the first `data` chunk of the image, in either order. Any output may
// be NULL: it is then neither written nor waited for. Every given output is
// zeroed first; on success `format` and `data` point at the chunk bodies
// inside the image and `data_size` is the `data` chunk's size.
//
// The chunks end at the RIFF size the image declares or at image_size,
// whichever comes first; a chunk that does not fit before that end fails the
// walk, so the data size never counts bytes that are not there. Returns 1
// when the image yields every output asked for, else 0.
int parse_wave_image(const void* image, uint32_t image_size, const void** format, const void** data,
                     uint32_t* data_size);
