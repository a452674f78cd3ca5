// A pixel's bytes and what a display shows for them, both following the layout's row in kPixelLayouts.
#include "convert/pixel_bytes.h"

namespace {

// A channel's kept bits in their place of the pixel's value.
std::uint32_t Placed(std::uint8_t channel, ChannelPlace place) {
    return std::uint32_t{channel} >> (8 - place.bits) << place.shift;
}

// A channel's kept level taken from the pixel's value, as the display shows it.
std::uint8_t Shown(std::uint32_t value, ChannelPlace place) {
    return ShownLevel(value >> place.shift & ((1u << place.bits) - 1), place.bits);
}

}  // namespace

void LayoutPixelBytes(PixelLayout layout, bool blueFirst, const std::uint8_t* rgb, std::uint32_t count,
                      std::uint8_t* bytes) {
    const LayoutDescription& d = Describe(layout);
    for (std::uint32_t i = 0; i < count; ++i, rgb += 3, bytes += d.bytes) {
        const std::uint32_t value =
            Placed(rgb[blueFirst ? 2 : 0], d.first) | Placed(rgb[1], d.green) | Placed(rgb[blueFirst ? 0 : 2], d.last);
        for (unsigned b = 0; b < d.bytes; ++b) {
            const unsigned shift = 8 * (d.lowByteFirst ? b : d.bytes - 1 - b);
            bytes[b] = static_cast<std::uint8_t>(value >> shift);
        }
    }
}

void ShownPixels(PixelLayout layout, bool blueFirst, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint8_t* rgb) {
    const LayoutDescription& d = Describe(layout);
    for (std::uint32_t i = 0; i < count; ++i, rgb += 3, bytes += d.bytes) {
        std::uint32_t value = 0;
        for (unsigned b = 0; b < d.bytes; ++b)
            value |= std::uint32_t{bytes[b]} << 8 * (d.lowByteFirst ? b : d.bytes - 1 - b);
        // Bits no channel holds are ignored, as the display ignores them.
        rgb[blueFirst ? 2 : 0] = Shown(value, d.first);
        rgb[1] = Shown(value, d.green);
        rgb[blueFirst ? 0 : 2] = Shown(value, d.last);
    }
}
