// The pixel layouts display controllers take, each described once in kPixelLayouts: the writers, the preview
// and dithering all follow from that description, so a new layout is a new enumerator and a new row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

enum class PixelLayout {
    Rgb666,      // three bytes, each channel v >> 2: the window's layout
    Rgb666High,  // three bytes, each channel v & 0xFC
    Rgb565,      // two bytes of (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3), high byte first
    Rgb565Le,    // the same 16-bit value, low byte first
};

// Where one channel goes in a pixel's value: its top `bits` bits, shifted left by `shift`.
struct ChannelPlace {
    unsigned bits;
    unsigned shift;
};

// A pixel is one value of `bytes` bytes made of three channels; the first channel is red, or blue when
// the panel is wired blue first. The value is written high byte first unless lowByteFirst.
struct LayoutDescription {
    PixelLayout layout;
    std::string_view name;  // as users type it
    unsigned bytes;
    bool lowByteFirst;
    ChannelPlace first;
    ChannelPlace green;
    ChannelPlace last;
};

// In the order of PixelLayout.
inline constexpr LayoutDescription kPixelLayouts[] = {
    {PixelLayout::Rgb666, "rgb666", 3, false, {6, 16}, {6, 8}, {6, 0}},
    {PixelLayout::Rgb666High, "rgb666-high", 3, false, {6, 18}, {6, 10}, {6, 2}},
    {PixelLayout::Rgb565, "rgb565", 2, false, {5, 11}, {6, 5}, {5, 0}},
    {PixelLayout::Rgb565Le, "rgb565-le", 2, true, {5, 11}, {6, 5}, {5, 0}},
};
inline constexpr std::size_t kPixelLayoutCount = std::size(kPixelLayouts);

constexpr const LayoutDescription& Describe(PixelLayout layout) {
    return kPixelLayouts[static_cast<std::size_t>(layout)];
}

namespace layout_checks {

constexpr bool Fits(const LayoutDescription& d, ChannelPlace place) {
    return place.bits >= 1 && place.bits <= 8 && place.shift + place.bits <= 8 * d.bytes;
}

constexpr bool Overlap(ChannelPlace a, ChannelPlace b) {
    return a.shift < b.shift + b.bits && b.shift < a.shift + a.bits;
}

constexpr bool Sound() {
    for (std::size_t i = 0; i < kPixelLayoutCount; ++i) {
        const LayoutDescription& d = kPixelLayouts[i];
        if (static_cast<std::size_t>(d.layout) != i || d.bytes < 1 || d.bytes > 4) return false;
        if (!Fits(d, d.first) || !Fits(d, d.green) || !Fits(d, d.last)) return false;
        if (Overlap(d.first, d.green) || Overlap(d.first, d.last) || Overlap(d.green, d.last)) return false;
    }
    return true;
}

}  // namespace layout_checks

static_assert(layout_checks::Sound(), "each row sits at its enumerator's index, its channels fit and do not overlap");

// The layout a user names, or nothing.
std::optional<PixelLayout> PixelLayoutNamed(std::string_view name);

namespace layout_names {

// "a, b, c or d" of every layout's name, with its terminating zero.
constexpr std::size_t ChoicesLength() {
    std::size_t length = 1;
    for (std::size_t i = 0; i < kPixelLayoutCount; ++i) length += kPixelLayouts[i].name.size() + (i == 0 ? 0 : 2);
    if (kPixelLayoutCount > 1) length += 2;  // " or " is two longer than ", "
    return length;
}

constexpr std::array<char, ChoicesLength()> Choices() {
    std::array<char, ChoicesLength()> text{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < kPixelLayoutCount; ++i) {
        const std::string_view separator = i == 0 ? "" : i + 1 == kPixelLayoutCount ? " or " : ", ";
        for (const char c : separator) text[at++] = c;
        for (const char c : kPixelLayouts[i].name) text[at++] = c;
    }
    return text;
}

inline constexpr std::array<char, ChoicesLength()> kChoices = Choices();

}  // namespace layout_names

// Every name PixelLayoutNamed takes, worded for a message.
inline constexpr const char* kPixelLayoutChoices = layout_names::kChoices.data();

constexpr unsigned BytesPerPixel(PixelLayout layout) { return Describe(layout).bytes; }
constexpr bool IsSixteenBit(PixelLayout layout) { return BytesPerPixel(layout) == 2; }

// Bits kept of red, green and blue once the wiring has put red or blue first.
struct ChannelBits {
    unsigned red;
    unsigned green;
    unsigned blue;
};

constexpr ChannelBits KeptBits(PixelLayout layout, bool blueFirst) {
    const LayoutDescription& d = Describe(layout);
    return blueFirst ? ChannelBits{d.last.bits, d.green.bits, d.first.bits}
                     : ChannelBits{d.first.bits, d.green.bits, d.last.bits};
}

// What a display shows for a level of `bits` bits: the level's bits repeated down through the freed
// low bits, so that the top level shows as 255 and 0 as 0 (for 6 bits v << 2 | v >> 4, for 5 bits
// v << 3 | v >> 2).
constexpr std::uint8_t ShownLevel(unsigned level, unsigned bits) {
    unsigned shown = 0;
    for (int shift = 8 - static_cast<int>(bits); shift > -static_cast<int>(bits); shift -= static_cast<int>(bits))
        shown |= shift >= 0 ? level << shift : level >> -shift;
    return static_cast<std::uint8_t>(shown);
}

// What a display shows for an 8-bit channel cut to `bits` bits without dithering.
constexpr std::uint8_t ShownChannel(std::uint8_t value, unsigned bits) { return ShownLevel(value >> (8 - bits), bits); }
