// Sound images for the walk, built in memory, and the table of cases the
// walk is held to. Plain C++ with no Windows dependency: the fuzzer's seed
// writer builds the same table natively.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wave {

using Bytes = std::vector<std::uint8_t>;

inline void put_word(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void put_id(Bytes& bytes, const char* id) { bytes.insert(bytes.end(), id, id + 4); }

// One chunk: id, declared size, body; after an odd body its pad byte unless
// the chunk is the last one and goes without.
struct Chunk {
    std::string id;
    std::uint32_t declared;
    Bytes body;
    bool pad = true;
};

inline Chunk chunk(const char* id, Bytes body, bool pad = true) {
    auto size = static_cast<std::uint32_t>(body.size());
    return {id, size, std::move(body), pad};
}

// A chunk whose declared size is not the size of what follows it.
inline Chunk chunk_declaring(const char* id, std::uint32_t declared, Bytes body) {
    return {id, declared, std::move(body), false};
}

inline Bytes filled(std::size_t count, std::uint8_t first = 1) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// A PCM format body of `size` bytes: the 16 bytes of PCMWAVEFORMAT for 8-bit
// mono at 22,050 per second, cut short or extended with an extension size.
inline Bytes format_body(std::size_t size = 18) {
    Bytes full;
    full.push_back(1), full.push_back(0);  // PCM
    full.push_back(1), full.push_back(0);  // one channel
    put_word(full, 22050);
    put_word(full, 22050);
    full.push_back(1), full.push_back(0);  // block alignment
    full.push_back(8), full.push_back(0);  // bits per sample
    full.push_back(0), full.push_back(0);  // extension size
    while (full.size() < size) full.push_back(0);
    full.resize(size);
    return full;
}

inline Chunk fmt(std::size_t size = 18) { return chunk("fmt ", format_body(size)); }
inline Chunk data(Bytes samples, bool pad = true) { return chunk("data", std::move(samples), pad); }

// The image: "RIFF", the RIFF size (by default the bytes that follow it),
// "WAVE" and the chunks.
struct Image {
    Bytes bytes;
    // Offsets of each chunk's body, in order.
    std::vector<std::uint32_t> bodies;
};

inline Image riff(const std::vector<Chunk>& chunks, long long riff_size = -1, const char* form = "WAVE",
                  const char* magic = "RIFF") {
    Image image;
    put_id(image.bytes, magic);
    put_word(image.bytes, 0);
    put_id(image.bytes, form);
    for (const Chunk& c : chunks) {
        put_id(image.bytes, c.id.c_str());
        put_word(image.bytes, c.declared);
        image.bodies.push_back(static_cast<std::uint32_t>(image.bytes.size()));
        image.bytes.insert(image.bytes.end(), c.body.begin(), c.body.end());
        if (c.pad && (c.body.size() & 1)) image.bytes.push_back(0);
    }
    auto size = riff_size >= 0 ? static_cast<std::uint32_t>(riff_size)
                               : static_cast<std::uint32_t>(image.bytes.size() - 8);
    for (int i = 0; i < 4; ++i) image.bytes[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return image;
}

// What the walk gives for an image: nothing, or where the format's and the
// samples' bodies start and how many samples there are.
struct Expected {
    bool found;
    std::uint32_t format_offset;
    std::uint32_t data_offset;
    std::uint32_t data_size;
};

constexpr Expected fails = {false, 0, 0, 0};
inline Expected finds(std::uint32_t format_offset, std::uint32_t data_offset, std::uint32_t data_size) {
    return {true, format_offset, data_offset, data_size};
}

struct WalkCase {
    std::string name;
    Bytes image;
    Expected expected;
};

// The table. `click` is the module's own click resource.
inline std::vector<WalkCase> walk_cases(const Bytes& click) {
    std::vector<WalkCase> cases;
    auto add = [&](std::string name, const Image& image, Expected expected) {
        cases.push_back({std::move(name), image.bytes, expected});
    };

    cases.push_back({"the module's own click", click, finds(20, 58, 17)});

    {
        Image i = riff({fmt(), data(filled(17))});
        add("fmt then data", i, finds(i.bodies[0], i.bodies[1], 17));
    }
    {
        Image i = riff({data(filled(17)), fmt()});
        add("data before fmt: found at fmt", i, finds(i.bodies[1], i.bodies[0], 17));
    }
    {
        Image i = riff({chunk("fact", {17, 0, 0, 0}), chunk("LIST", filled(6)), fmt(), data(filled(4))});
        add("other chunks passed over", i, finds(i.bodies[2], i.bodies[3], 4));
    }

    // The first fmt decides.
    add("fmt of size 0 before a good one", riff({chunk("fmt ", {}), fmt(), data(filled(8))}), fails);
    add("fmt of size 13 before a good one", riff({fmt(13), fmt(), data(filled(8))}), fails);
    add("fmt of size 13 after data", riff({data(filled(8)), fmt(13), fmt()}), fails);
    {
        Image i = riff({fmt(14), fmt(), data(filled(8))});
        add("fmt of size 14 before a good one is the one taken", i, finds(i.bodies[0], i.bodies[2], 8));
    }
    {
        Image i = riff({fmt(16), data(filled(9)), fmt(18)});
        add("fmt of size 16 (PCMWAVEFORMAT)", i, finds(i.bodies[0], i.bodies[1], 9));
    }

    // Second chunks of a kind have no effect.
    {
        Image i = riff({data(filled(5, 0x10)), data(filled(7, 0x40)), fmt()});
        add("second data before fmt passed over", i, finds(i.bodies[2], i.bodies[0], 5));
    }
    {
        Image i = riff({fmt(18), fmt(14), data(filled(3))});
        add("second fmt passed over", i, finds(i.bodies[0], i.bodies[2], 3));
    }
    {
        Image i = riff({fmt(), data(filled(6)), data(filled(9))});
        add("second data after the walk ended", i, finds(i.bodies[0], i.bodies[1], 6));
    }

    // A data chunk of size 0 before fmt does not count.
    {
        Image i = riff({data({}), fmt(), data(filled(5))});
        add("zero-size data before fmt, replaced by a later one", i, finds(i.bodies[1], i.bodies[2], 5));
    }
    add("zero-size data before fmt and no other", riff({data({}), fmt()}), fails);
    {
        Image i = riff({fmt(), data({})});
        add("zero-size data after fmt is found (the load then fails the fill)", i, finds(i.bodies[0], i.bodies[1], 0));
    }
    add("no data at all", riff({fmt(), chunk("fact", {1, 0, 0, 0})}), fails);
    add("no fmt at all", riff({data(filled(8)), chunk("fact", {8, 0, 0, 0})}), fails);
    add("no chunks", riff({}), fails);

    // The RIFF size.
    add("RIFF size 0", riff({fmt(), data(filled(4))}, 0), fails);
    add("RIFF size 4", riff({fmt(), data(filled(4))}, 4), fails);
    add("RIFF size 5: a chunk header does not fit", riff({fmt(), data(filled(4))}, 5), fails);
    {
        Image whole = riff({fmt(), data(filled(4))});
        std::uint32_t to_data_end = whole.bodies[1] + 4 - 8;
        Image exact = riff({fmt(), data(filled(4)), chunk("junk", filled(10))}, to_data_end);
        add("RIFF size smaller than the image, ending just after data", exact, finds(exact.bodies[0], exact.bodies[1], 4));
        Image short_by_one = riff({fmt(), data(filled(4)), chunk("junk", filled(10))}, to_data_end - 1);
        add("RIFF size smaller than the image, one byte short of data's end", short_by_one, fails);
    }
    {
        Image i = riff({fmt(), data(filled(6))}, 1000);
        add("RIFF size larger than the image, data ending at the image's end", i, finds(i.bodies[0], i.bodies[1], 6));
    }
    add("RIFF size larger than the image, data past it",
        riff({fmt(), chunk_declaring("data", 40, filled(6))}, 1000), fails);
    add("RIFF size 0xFFFFFFFF", riff({fmt(), chunk_declaring("data", 0xFFFFFFF0u, filled(6))}, 0xFFFFFFFFu), fails);
    add("not RIFF", riff({fmt(), data(filled(4))}, -1, "WAVE", "RIFX"), fails);
    add("not WAVE", riff({fmt(), data(filled(4))}, -1, "AVI "), fails);

    // Pad bytes.
    {
        Image i = riff({chunk("fact", {1, 2, 3}), fmt(17), data(filled(17))});
        add("odd sizes with their pad bytes", i, finds(i.bodies[1], i.bodies[2], 17));
    }
    {
        Image i = riff({fmt(), data(filled(17), false)});
        add("a last odd data chunk without its pad byte", i, finds(i.bodies[0], i.bodies[1], 17));
    }
    add("a last odd chunk without its pad byte, nothing found", riff({fmt(), chunk("junk", filled(3), false)}), fails);

    // Declared sizes that do not fit.
    add("chunk size 0xFFFFFFFF passed over", riff({chunk_declaring("junk", 0xFFFFFFFFu, {}), fmt(), data(filled(4))}),
        fails);
    add("data size 0xFFFFFFFF", riff({fmt(), chunk_declaring("data", 0xFFFFFFFFu, filled(4))}), fails);
    add("fmt size 0xFFFFFFFF", riff({chunk_declaring("fmt ", 0xFFFFFFFFu, format_body(18))}), fails);
    {
        Image base = riff({fmt(), chunk_declaring("data", 0, filled(10))});
        std::uint32_t left = static_cast<std::uint32_t>(base.bytes.size()) - base.bodies[1];
        Image exact = riff({fmt(), chunk_declaring("data", left, filled(10))});
        add("data size of exactly the bytes left", exact, finds(exact.bodies[0], exact.bodies[1], left));
        add("data size of the bytes left plus 1", riff({fmt(), chunk_declaring("data", left + 1, filled(10))}), fails);
    }
    add("fmt body cut off by the image's end", riff({data(filled(4)), chunk_declaring("fmt ", 18, format_body(16))}),
        fails);
    {
        Image i = riff({fmt(), data(filled(4))});
        i.bytes.resize(i.bodies[1] - 4);  // ends inside the data chunk's header
        i.bytes[4] = static_cast<std::uint8_t>(i.bytes.size() - 8);
        add("image ending inside a chunk header", i, fails);
    }
    add("image of 11 bytes", Image{Bytes{'R', 'I', 'F', 'F', 3, 0, 0, 0, 'W', 'A', 'V'}, {}}, fails);
    add("image of 12 bytes, no chunk", Image{Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, {}}, fails);

    // Many tiny chunks: the walk moves on by at least 8 bytes each time.
    {
        std::vector<Chunk> chunks(5000, chunk("junk", {}));
        chunks.push_back(fmt());
        chunks.push_back(data(filled(3)));
        Image i = riff(chunks);
        add("5000 empty chunks, then fmt and data", i, finds(i.bodies[5000], i.bodies[5001], 3));
        std::vector<Chunk> only_junk(5000, chunk("junk", {7}));
        add("5000 one-byte chunks and nothing else", riff(only_junk), fails);
    }
    return cases;
}

}  // namespace wave
