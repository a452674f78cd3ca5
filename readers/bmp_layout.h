// What a BMP file's headers say about its pixels, checked field by field before anything is allocated:
// for the uncompressed and bit-field BMPs this project reads itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <variant>

struct BitField {
    std::uint32_t mask = 0;
    std::uint32_t shift = 0;
    std::uint32_t bits = 0;  // 0: the channel is absent
};

struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    std::uint32_t depth = 0;
    // Pixels of more than 8 bits: red, green, blue, alpha (alpha absent unless the file stores one).
    BitField fields[4];
    // Pixels of 1 to 8 bits: where the palette starts, how many entries it has, 3 or 4 bytes each.
    std::uint64_t paletteStart = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteEntryBytes = 4;
    std::uint64_t dataOffset = 0;
    std::uint64_t rowBytes = 0;
};

// Not a BMP this reader takes (run-length or other compressions, odd header sizes): Qt's decoders try.
struct NotMine {};
// A BMP of the kinds this reader takes that it refuses, with why in the user's words.
struct BmpRefusal {
    bool endsEarly = false;
    std::string reason;
};

// Reads the headers of `file` (from its start; `length` is the file's size in bytes).
std::variant<BmpLayout, NotMine, BmpRefusal> ReadBmpLayout(std::FILE* file, std::uint64_t length);
