// BMP headers of every size in use (the oldest of 12 bytes, the 16 to 64 byte ones, 40, 52, 56, 108,
// 124), their bit masks and palettes, validated so that the pixel reader can trust every number.
#include "bmp_layout.h"

#include <bit>

namespace {

constexpr std::uint32_t kUncompressed = 0, kBitFields = 3, kAlphaBitFields = 6;
// Room for the file header, the largest info header and four masks after it.
constexpr std::size_t kHeadBytes = 14 + 124 + 16;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool KnownHeaderSize(std::uint32_t size) {
    return size == 12 || size == 16 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 ||
           size == 124;
}

// A mask must be one run of bits; its width and position give the field.
std::optional<BitField> Field(std::uint32_t mask) {
    BitField field;
    field.mask = mask;
    if (mask == 0) return field;
    field.shift = static_cast<std::uint32_t>(std::countr_zero(mask));
    field.bits = static_cast<std::uint32_t>(std::popcount(mask));
    if ((mask >> field.shift) != (field.bits == 32 ? 0xFFFFFFFFu : (1u << field.bits) - 1u)) return std::nullopt;
    return field;
}

// Masks: in the header from 52 bytes on, after a 40-byte header otherwise; fixed for uncompressed pixels.
std::optional<BmpRefusal> ReadFields(const std::uint8_t* head, std::uint32_t headerSize, std::uint32_t compression,
                                     BmpLayout& layout, std::uint64_t& masksEnd) {
    std::uint32_t masks[4] = {};
    if (compression == kUncompressed) {
        masks[0] = layout.depth == 16 ? 0x7C00u : 0xFF0000u;
        masks[1] = layout.depth == 16 ? 0x03E0u : 0x00FF00u;
        masks[2] = layout.depth == 16 ? 0x001Fu : 0x0000FFu;
    } else {
        // The 52-byte header has room for three masks only.
        const std::uint32_t count = headerSize != 52 && (compression == kAlphaBitFields || headerSize >= 56) ? 4 : 3;
        const std::uint8_t* at = head + 14 + 40;
        if (headerSize == 40) masksEnd += 4u * count;
        for (std::uint32_t i = 0; i < count; ++i) masks[i] = Le32(at + 4u * i);
    }
    static const char* const kNames[4] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; ++i) {
        const std::optional<BitField> field = Field(masks[i]);
        if (!field) return BmpRefusal{false, std::string("BMP: its ") + kNames[i] + " bit mask is not one run of bits"};
        if (layout.depth == 16 && (masks[i] >> 16) != 0)
            return BmpRefusal{false, std::string("BMP: its ") + kNames[i] + " bit mask reaches past 16 bits"};
        layout.fields[i] = *field;
    }
    return std::nullopt;
}

// Palette entries: as many as the header declares (all 2^depth when it says 0), at most what fits
// before the pixel data; an index past them is black.
void PlacePalette(std::uint32_t declared, std::uint64_t masksEnd, BmpLayout& layout) {
    layout.paletteStart = masksEnd;
    const std::uint32_t full = 1u << layout.depth;
    std::uint64_t entries = declared == 0 || declared > full ? full : declared;
    const std::uint64_t room = (layout.dataOffset - masksEnd) / layout.paletteEntryBytes;
    if (entries > room) entries = room;
    layout.paletteEntries = static_cast<std::uint32_t>(entries);
}

struct InfoFields {
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, depth = 0, compression = kUncompressed, declaredColours = 0;
};

// The oldest header has unsigned 16-bit sides; the others signed 32-bit ones (a negative height is
// top-down), and as many of the later fields as their size holds.
InfoFields ReadInfoFields(const std::uint8_t* head, std::uint32_t headerSize) {
    InfoFields info;
    if (headerSize == 12) {
        info.width = Le16(head + 18);
        info.height = Le16(head + 20);
        info.planes = Le16(head + 22);
        info.depth = Le16(head + 24);
        return info;
    }
    info.width = static_cast<std::int32_t>(Le32(head + 18));
    info.height = static_cast<std::int32_t>(Le32(head + 22));
    info.planes = Le16(head + 26);
    info.depth = Le16(head + 28);
    if (headerSize >= 20) info.compression = Le32(head + 30);
    if (headerSize >= 36) info.declaredColours = Le32(head + 46);
    return info;
}

}  // namespace

std::variant<BmpLayout, NotMine, BmpRefusal> ReadBmpLayout(std::FILE* file, std::uint64_t length) {
    std::uint8_t head[kHeadBytes] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    if (got < 18 || head[0] != 'B' || head[1] != 'M') return NotMine{};
    const std::uint32_t headerSize = Le32(head + 14);
    if (!KnownHeaderSize(headerSize)) return NotMine{};
    std::uint64_t masksEnd = 14u + headerSize;
    if (got < masksEnd) return BmpRefusal{true, "it stops inside its header"};

    BmpLayout layout;
    const InfoFields info = ReadInfoFields(head, headerSize);
    const std::int64_t width = info.width, height = info.height;
    const std::uint32_t compression = info.compression, planes = info.planes;
    layout.depth = info.depth;
    layout.paletteEntryBytes = headerSize == 12 ? 3 : 4;
    // The 64-byte header of the other system numbers its compressions differently (3 is Huffman).
    if (headerSize == 64 && compression != kUncompressed) return NotMine{};
    const bool fields = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kUncompressed && !fields) return NotMine{};
    const std::uint32_t d = layout.depth;
    const bool paletted = d == 1 || d == 2 || d == 4 || d == 8;
    if (fields ? d != 16 && d != 32 : !paletted && d != 16 && d != 24 && d != 32) return NotMine{};
    if (planes != 1) return BmpRefusal{false, "BMP: its planes field is " + std::to_string(planes) + ", not 1"};
    if (width <= 0) return BmpRefusal{false, "BMP: its width is " + std::to_string(width)};
    if (height == 0) return BmpRefusal{false, "BMP: its height is 0"};
    layout.topDown = height < 0;
    // Sides beyond 32 bits are kept saturated; the sides check refuses them before any allocation.
    layout.width = static_cast<std::uint32_t>(width);
    layout.height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    layout.rowBytes = (std::uint64_t{layout.width} * d + 31u) / 32u * 4u;

    if (!paletted)
        if (auto refusal = ReadFields(head, headerSize, compression, layout, masksEnd)) return *refusal;
    if (got < masksEnd) return BmpRefusal{true, "it stops inside its bit masks"};
    layout.dataOffset = Le32(head + 10);
    if (layout.dataOffset < masksEnd)
        return BmpRefusal{false, "BMP: its pixel data would start at byte " + std::to_string(layout.dataOffset) +
                                     ", inside its headers"};
    if (paletted) PlacePalette(info.declaredColours, masksEnd, layout);
    // Sides are below 2^31, so a row's size fits 64 bits easily; the rows' total may not.
    if (layout.height > (UINT64_MAX - layout.dataOffset) / layout.rowBytes)
        return BmpRefusal{
            true, "its pixel data needs more bytes than any file holds, the file has " + std::to_string(length)};
    if (layout.dataOffset + layout.rowBytes * layout.height > length)
        return BmpRefusal{true, "its pixel data needs " +
                                    std::to_string(layout.dataOffset + layout.rowBytes * layout.height) +
                                    " bytes, the file has " + std::to_string(length)};
    return layout;
}
