// Runs of pixels turned into a layout's bytes many pixels at a time, for the layouts whose bytes do not
// follow the picture's byte for byte. Used by the raw colour stream writer only.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

// Bytes that the encoders below may read before a run's first pixel and after its last; they never
// decide any output byte.
inline constexpr std::size_t kRunMargin = 16;

// Each encoder handles a whole number of its blocks from the start of the run and answers how many
// pixels that was; the caller encodes the rest a pixel at a time. Where the compiler has no vector
// types the answer is 0. Vectors of 16 bytes are what every 64-bit target has (SSE2, NEON): the
// compiler maps the operations to them, and byte shuffles, which SSE2 lacks, are avoided.
#if defined(__GNUC__)

namespace run_bytes {

typedef std::uint8_t Bytes16 __attribute__((vector_size(16)));
typedef std::uint32_t Words4 __attribute__((vector_size(16)));
typedef std::uint16_t Halves8 __attribute__((vector_size(16)));

inline Bytes16 Load16(const std::uint8_t* at) {
    Bytes16 bytes;
    std::memcpy(&bytes, at, sizeof bytes);
    return bytes;
}

inline std::uint32_t Load4(const std::uint8_t* at) {
    std::uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// 0xFF at the bytes of a 16-byte block that hold channel `channel` (0 red, 1 green, 2 blue) when the
// block starts at channel `phase` of a pixel.
template <int kPhase, int kChannel, std::size_t... kIndex>
constexpr Bytes16 ChannelMask(std::index_sequence<kIndex...>) {
    return Bytes16{static_cast<std::uint8_t>((kPhase + kIndex) % 3 == kChannel ? 0xFF : 0)...};
}

// One 16-byte block of blue-first three-byte pixels: each byte takes the one two places later (red's
// place from blue), the one two places earlier (blue's place from red) or its own (green).
template <int kPhase, bool kHigh>
inline void SwapOuterBlock(const std::uint8_t* rgb, std::uint8_t* target) {
    constexpr auto kIndices = std::make_index_sequence<16>();
    const Bytes16 swapped = (Load16(rgb) & ChannelMask<kPhase, 1>(kIndices)) |
                            (Load16(rgb + 2) & ChannelMask<kPhase, 0>(kIndices)) |
                            (Load16(rgb - 2) & ChannelMask<kPhase, 2>(kIndices));
    Bytes16 kept;
    if constexpr (kHigh)
        kept = swapped & 0xFC;
    else
        kept = swapped >> 2;
    std::memcpy(target, &kept, sizeof kept);
}

// Three-byte layouts with blue first: 16 pixels (three blocks) at a time. kHigh keeps each channel's
// top six bits in place (rgb666-high), otherwise they move to the bottom (rgb666).
template <bool kHigh>
inline std::uint32_t SwapOuterChannels(const std::uint8_t* rgb, std::uint32_t count, std::uint8_t* target) {
    std::uint32_t done = 0;
    for (; count - done >= 16; done += 16, rgb += 48, target += 48) {
        SwapOuterBlock<0, kHigh>(rgb, target);
        SwapOuterBlock<1, kHigh>(rgb + 16, target + 16);
        SwapOuterBlock<2, kHigh>(rgb + 32, target + 32);
    }
    return done;
}

// Four pixels, one to a 32-bit word (first channel in the low byte as loaded), as their two bytes in
// the low half of each word: the high byte of the 16-bit value first unless kLowByteFirst.
template <bool kBlueFirst, bool kLowByteFirst>
inline Words4 Pack565(Words4 pixels) {
    // The outer channel that goes to the top five bits, green, and the one for the bottom five bits.
    const Words4 top = kBlueFirst ? pixels >> 16 : pixels;
    const Words4 bottom = kBlueFirst ? pixels : pixels >> 16;
    const Words4 high = (top & 0xF8) | ((pixels >> 13) & 0x07);
    const Words4 low = ((pixels >> 5) & 0xE0) | ((bottom >> 3) & 0x1F);
    return kLowByteFirst ? low | high << 8 : high | low << 8;
}

inline std::uint16_t Half(std::uint32_t word) { return static_cast<std::uint16_t>(word); }

// Two-byte layouts: 8 pixels at a time.
template <bool kBlueFirst, bool kLowByteFirst>
inline std::uint32_t Encode565(const std::uint8_t* rgb, std::uint32_t count, std::uint8_t* target) {
    // Words are loaded as the machine stores them; the bit positions above assume the low byte first.
    if constexpr (std::endian::native != std::endian::little) return 0;
    std::uint32_t done = 0;
    for (; count - done >= 8; done += 8, rgb += 24, target += 16) {
        const Words4 first = Pack565<kBlueFirst, kLowByteFirst>(
            Words4{Load4(rgb), Load4(rgb + 3), Load4(rgb + 6), Load4(rgb + 9)});
        const Words4 second = Pack565<kBlueFirst, kLowByteFirst>(
            Words4{Load4(rgb + 12), Load4(rgb + 15), Load4(rgb + 18), Load4(rgb + 21)});
        const Halves8 bytes{Half(first[0]), Half(first[1]), Half(first[2]), Half(first[3]),
                            Half(second[0]), Half(second[1]), Half(second[2]), Half(second[3])};
        std::memcpy(target, &bytes, sizeof bytes);
    }
    return done;
}

}  // namespace run_bytes

#endif
