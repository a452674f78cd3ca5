// The pixel layouts display controllers take, and the colour a display shows for each level a layout
// keeps: shared by the writers, the preview and dithering so that all three agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class PixelLayout {
    Rgb666,      // three bytes, each channel v >> 2: the window's layout
    Rgb666High,  // three bytes, each channel v & 0xFC
    Rgb565,      // two bytes of (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3), high byte first
    Rgb565Le,    // the same 16-bit value, low byte first
};

// The layout a user names ("rgb666", "rgb666-high", "rgb565", "rgb565-le"), or nothing.
std::optional<PixelLayout> PixelLayoutNamed(std::string_view name);
// Every name PixelLayoutNamed takes, worded for a message.
inline constexpr char kPixelLayoutChoices[] = "rgb666, rgb666-high, rgb565 or rgb565-le";

constexpr bool IsSixteenBit(PixelLayout layout) {
    return layout == PixelLayout::Rgb565 || layout == PixelLayout::Rgb565Le;
}

constexpr unsigned BytesPerPixel(PixelLayout layout) { return IsSixteenBit(layout) ? 2 : 3; }

// Bits a layout keeps of red or blue (the outer channels, whichever comes first), and of green.
constexpr unsigned OuterChannelBits(PixelLayout layout) { return IsSixteenBit(layout) ? 5 : 6; }
constexpr unsigned GreenChannelBits(PixelLayout) { return 6; }

// What a display shows for a level of `bits` (5 or 6) bits: the level's top bits repeated in the
// freed low bits, so that the top level shows as 255 and 0 as 0.
constexpr std::uint8_t ShownLevel(unsigned level, unsigned bits) {
    return static_cast<std::uint8_t>(level << (8 - bits) | level >> (2 * bits - 8));
}

// What a display shows for an 8-bit channel cut to `bits` bits without dithering.
constexpr std::uint8_t ShownChannel(std::uint8_t value, unsigned bits) {
    return ShownLevel(value >> (8 - bits), bits);
}
