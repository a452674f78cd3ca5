// The layouts' byte rules for single pixels, for the compressed stream and for reading outputs back.
#include "convert/pixel_bytes.h"

#include <utility>

namespace {

std::uint16_t Value565(std::uint8_t first, std::uint8_t green, std::uint8_t last) {
    return static_cast<std::uint16_t>((first >> 3) << 11 | (green >> 2) << 5 | last >> 3);
}

}  // namespace

void LayoutPixelBytes(PixelLayout layout, bool blueFirst, const std::uint8_t* rgb, std::uint32_t count,
                      std::uint8_t* bytes) {
    for (std::uint32_t i = 0; i < count; ++i, rgb += 3) {
        const std::uint8_t first = rgb[blueFirst ? 2 : 0];
        const std::uint8_t last = rgb[blueFirst ? 0 : 2];
        switch (layout) {
        case PixelLayout::Rgb666:
        case PixelLayout::Rgb666High: {
            const unsigned shift = layout == PixelLayout::Rgb666 ? 2 : 0;
            *bytes++ = static_cast<std::uint8_t>((first & 0xFC) >> shift);
            *bytes++ = static_cast<std::uint8_t>((rgb[1] & 0xFC) >> shift);
            *bytes++ = static_cast<std::uint8_t>((last & 0xFC) >> shift);
            break;
        }
        case PixelLayout::Rgb565:
        case PixelLayout::Rgb565Le: {
            const std::uint16_t value = Value565(first, rgb[1], last);
            const bool lowFirst = layout == PixelLayout::Rgb565Le;
            *bytes++ = static_cast<std::uint8_t>(lowFirst ? value : value >> 8);
            *bytes++ = static_cast<std::uint8_t>(lowFirst ? value >> 8 : value);
            break;
        }
        }
    }
}

void ShownPixels(PixelLayout layout, bool blueFirst, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint8_t* rgb) {
    for (std::uint32_t i = 0; i < count; ++i, rgb += 3) {
        unsigned first = 0, green = 0, last = 0;
        const unsigned outerBits = OuterChannelBits(layout);
        switch (layout) {
        case PixelLayout::Rgb666:
        case PixelLayout::Rgb666High: {
            // Bits a display of this layout does not read are ignored, as the display ignores them.
            const unsigned shift = layout == PixelLayout::Rgb666 ? 0 : 2;
            first = (bytes[0] >> shift) & 63;
            green = (bytes[1] >> shift) & 63;
            last = (bytes[2] >> shift) & 63;
            bytes += 3;
            break;
        }
        case PixelLayout::Rgb565:
        case PixelLayout::Rgb565Le: {
            const bool lowFirst = layout == PixelLayout::Rgb565Le;
            const unsigned value = lowFirst ? bytes[0] | bytes[1] << 8 : bytes[0] << 8 | bytes[1];
            first = value >> 11;
            green = (value >> 5) & 63;
            last = value & 31;
            bytes += 2;
            break;
        }
        }
        if (blueFirst) std::swap(first, last);
        rgb[0] = ShownLevel(first, outerBits);
        rgb[1] = ShownLevel(green, GreenChannelBits(layout));
        rgb[2] = ShownLevel(last, outerBits);
    }
}
