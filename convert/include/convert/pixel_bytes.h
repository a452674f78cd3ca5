// A pixel's bytes in each layout and wiring, both ways: what a display is given for red, green and
// blue, and what it shows for the bytes it was given. Used by the compressed stream and reading back.
#pragma once

#include <cstdint>

#include "pixel_layout.h"

// The layout's bytes (BytesPerPixel each) for `count` red, green, blue triples.
void LayoutPixelBytes(PixelLayout layout, bool blueFirst, const std::uint8_t* rgb, std::uint32_t count,
                      std::uint8_t* bytes);

// Red, green, blue as the display shows the layout's bytes of `count` pixels (ShownLevel of each kept
// level).
void ShownPixels(PixelLayout layout, bool blueFirst, const std::uint8_t* bytes, std::uint32_t count, std::uint8_t* rgb);
