// A layout's bytes for a run of pixels, worked out from its description: which channel goes where, and
// the fastest of a few plain loop shapes that the description allows. The loops are written so that the
// compiler turns them into 16-byte vector work on its own (SSE2, NEON); none is written by hand.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/pixel_layout.h"
#include "pixel_runs.h"

namespace run_bytes {

// A layout as a panel wired one way sees it: the places of red, green and blue.
struct Wired {
    unsigned bytes;
    bool lowByteFirst;
    ChannelPlace channel[3];  // red, green, blue
};

constexpr Wired WiredLayout(PixelLayout layout, bool blueFirst) {
    const LayoutDescription& d = Describe(layout);
    return blueFirst ? Wired{d.bytes, d.lowByteFirst, {d.last, d.green, d.first}}
                     : Wired{d.bytes, d.lowByteFirst, {d.first, d.green, d.last}};
}

// The bits of byte k of a pixel (0 is written first) within the pixel's value.
constexpr unsigned ByteShift(const Wired& w, unsigned k) { return 8 * (w.lowByteFirst ? k : w.bytes - 1 - k); }

// The pixel's value from its red, green and blue.
template <PixelLayout kLayout, bool kBlueFirst>
inline std::uint32_t PixelValue(const std::uint8_t* rgb) {
    constexpr Wired w = WiredLayout(kLayout, kBlueFirst);
    std::uint32_t value = 0;
    for (unsigned c = 0; c < 3; ++c) value |= std::uint32_t{rgb[c]} >> (8 - w.channel[c].bits) << w.channel[c].shift;
    return value;
}

template <PixelLayout kLayout, bool kBlueFirst>
inline void PutPixel(const std::uint8_t* rgb, std::uint8_t* target) {
    constexpr Wired w = WiredLayout(kLayout, kBlueFirst);
    const std::uint32_t value = PixelValue<kLayout, kBlueFirst>(rgb);
    for (unsigned k = 0; k < w.bytes; ++k) target[k] = static_cast<std::uint8_t>(value >> ByteShift(w, k));
}

// A byte that one channel fills alone: (that channel >> down) << up.
struct ChannelByte {
    bool alone = false;
    unsigned channel = 0;
    unsigned down = 0;
    unsigned up = 0;
};

constexpr ChannelByte ChannelOfByte(const Wired& w, unsigned k) {
    const unsigned low = ByteShift(w, k);
    ChannelByte found;
    unsigned touching = 0;
    for (unsigned c = 0; c < 3; ++c) {
        const ChannelPlace& place = w.channel[c];
        if (place.shift >= low + 8 || place.shift + place.bits <= low) continue;
        ++touching;
        if (place.shift >= low && place.shift + place.bits <= low + 8)
            found = {true, c, 8 - place.bits, place.shift - low};
    }
    return touching == 1 ? found : ChannelByte{};
}

// Three bytes, each filled by one channel cut and placed the same way (both six-bit layouts): the
// bytes come from the picture's own bytes at most two places away, with one shift for all.
template <PixelLayout kLayout, bool kBlueFirst>
constexpr bool kChannelBytes = [] {
    constexpr Wired w = WiredLayout(kLayout, kBlueFirst);
    if (w.bytes != 3) return false;
    const ChannelByte first = ChannelOfByte(w, 0);
    for (unsigned k = 0; k < 3; ++k) {
        const ChannelByte byte = ChannelOfByte(w, k);
        if (!byte.alone || byte.down != first.down || byte.up != first.up) return false;
    }
    return true;
}();

// Where byte k of a channel-byte pixel comes from, relative to its own place.
template <PixelLayout kLayout, bool kBlueFirst>
constexpr int SourceOffset(unsigned k) {
    return static_cast<int>(ChannelOfByte(WiredLayout(kLayout, kBlueFirst), k).channel) - static_cast<int>(k);
}

template <PixelLayout kLayout, bool kBlueFirst>
inline std::uint8_t CutByte(std::uint8_t value) {
    constexpr ChannelByte byte = ChannelOfByte(WiredLayout(kLayout, kBlueFirst), 0);
    // Bits kept in place are one mask, which the compiler does not find on its own in vector code.
    if constexpr (byte.down == byte.up)
        return static_cast<std::uint8_t>(value & (0xFFu << byte.down));
    else
        return static_cast<std::uint8_t>(value >> byte.down << byte.up);
}

// 0xFF at the bytes of a 48-byte block (16 pixels) that take their channel from `offset` places away.
struct OffsetMasks {
    std::uint8_t mask[5][48];
};

template <PixelLayout kLayout, bool kBlueFirst>
constexpr OffsetMasks kOffsetMasks = [] {
    OffsetMasks masks{};
    for (unsigned j = 0; j < 48; ++j) masks.mask[SourceOffset<kLayout, kBlueFirst>(j % 3) + 2][j] = 0xFF;
    return masks;
}();

template <PixelLayout kLayout, bool kBlueFirst>
constexpr bool UsesOffset(int offset) {
    for (unsigned k = 0; k < 3; ++k)
        if (SourceOffset<kLayout, kBlueFirst>(k) == offset) return true;
    return false;
}

// Channel-byte layouts: byte for byte where the wiring keeps the picture's order, else 16 pixels at a
// time, each byte picked from its channel's place by masks.
template <PixelLayout kLayout, bool kBlueFirst>
inline std::uint32_t EncodeChannelBytes(const std::uint8_t* rgb, std::uint32_t count, std::uint8_t* target) {
    if constexpr (!UsesOffset<kLayout, kBlueFirst>(-2) && !UsesOffset<kLayout, kBlueFirst>(2)) {
        for (std::size_t i = 0; i < 3 * std::size_t{count}; ++i) target[i] = CutByte<kLayout, kBlueFirst>(rgb[i]);
        return count;
    } else {
        const OffsetMasks& m = kOffsetMasks<kLayout, kBlueFirst>;
        std::uint32_t done = 0;
        for (; count - done >= 16; done += 16, rgb += 48, target += 48) {
            std::uint8_t block[48];
            for (int j = 0; j < 48; ++j) {
                const auto picked = static_cast<std::uint8_t>((rgb[j - 2] & m.mask[0][j]) | (rgb[j] & m.mask[2][j]) |
                                                              (rgb[j + 2] & m.mask[4][j]));
                block[j] = CutByte<kLayout, kBlueFirst>(picked);
            }
            std::memcpy(target, block, sizeof block);
        }
        return done;
    }
}

// The bits of channel c (byte c of a pixel's 32-bit word) that the layout puts into bits
// low..low+width-1 of the pixel's value, moved to start at bit `at`: one shift and one mask.
constexpr std::uint32_t BitsFromWord(std::uint32_t word, const Wired& w, unsigned c, unsigned low, unsigned width,
                                     unsigned at) {
    const ChannelPlace& place = w.channel[c];
    const unsigned start = place.shift > low ? place.shift : low;
    const unsigned end = place.shift + place.bits < low + width ? place.shift + place.bits : low + width;
    if (start >= end) return 0;
    // Bit j of the level is bit top + j of the word and goes to bit to + j, which may lie lower.
    const int top = static_cast<int>(8 * c + 8 - place.bits);
    const int to = static_cast<int>(place.shift + at) - static_cast<int>(low);
    const std::uint32_t mask = ((1u << (end - start)) - 1) << (start - low + at);
    return (to >= top ? word << (to - top) : word >> (top - to)) & mask;
}

// Two-byte layouts: 8 pixels at a time, each loaded as a 32-bit word (red in the low byte as the
// machine loads it on little-endian machines; others go a pixel at a time).
template <PixelLayout kLayout, bool kBlueFirst>
inline std::uint32_t EncodeWords(const std::uint8_t* rgb, std::uint32_t count, std::uint8_t* target) {
    constexpr Wired w = WiredLayout(kLayout, kBlueFirst);
    if constexpr (w.bytes != 2 || std::endian::native != std::endian::little) {
        return 0;
    } else {
        std::uint32_t done = 0;
        for (; count - done >= 8; done += 8, rgb += 24, target += 16) {
            std::uint32_t words[8];
            for (unsigned i = 0; i < 8; ++i) std::memcpy(&words[i], rgb + 3 * i, 4);
            std::uint16_t values[8];
            for (unsigned i = 0; i < 8; ++i) {
                // The bytes in the order a little-endian store writes them: the value itself when it
                // goes low byte first, else each written byte's bits put straight into its place,
                // which costs less than swapping the bytes afterwards.
                std::uint32_t stored = 0;
                if constexpr (w.lowByteFirst) {
                    for (unsigned c = 0; c < 3; ++c) stored |= BitsFromWord(words[i], w, c, 0, 32, 0);
                } else {
                    for (unsigned k = 0; k < 2; ++k)
                        for (unsigned c = 0; c < 3; ++c)
                            stored |= BitsFromWord(words[i], w, c, ByteShift(w, k), 8, 8 * k);
                }
                values[i] = static_cast<std::uint16_t>(stored);
            }
            std::memcpy(target, values, sizeof values);
        }
        return done;
    }
}

// The bytes of `count` pixels of red, green, blue triples (with kRunMargin readable bytes either
// side) into `target`.
template <PixelLayout kLayout, bool kBlueFirst>
inline void EncodeRun(const std::uint8_t* rgb, std::uint32_t count, std::uint8_t* target) {
    constexpr unsigned kBytes = Describe(kLayout).bytes;
    std::uint32_t done = 0;
    if constexpr (kChannelBytes<kLayout, kBlueFirst>)
        done = EncodeChannelBytes<kLayout, kBlueFirst>(rgb, count, target);
    else
        done = EncodeWords<kLayout, kBlueFirst>(rgb, count, target);
    for (std::uint32_t i = done; i < count; ++i) PutPixel<kLayout, kBlueFirst>(rgb + 3 * i, target + kBytes * i);
}

}  // namespace run_bytes
