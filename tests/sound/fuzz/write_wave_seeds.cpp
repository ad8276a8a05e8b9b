// Writes the walk table's images as the fuzzer's seed corpus, one file each.
// usage: write_wave_seeds <klick.wav> <folder>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "wave_images.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <klick.wav> <folder>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    wave::Bytes click((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (click.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    int count = 0;
    for (const auto& c : wave::walk_cases(click)) {
        std::string path = std::string(argv[2]) + "/seed-" + std::to_string(++count);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(c.image.data()), static_cast<std::streamsize>(c.image.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 2;
        }
    }
    std::printf("%d seed images\n", count);
    return 0;
}
