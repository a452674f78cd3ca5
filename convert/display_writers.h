// The two output formats for 6-bit-per-channel displays. Both read the picture one pixel at a time
// and stream through a fixed-size buffer, so no output-sized buffer is ever built.
#pragma once

#include <cstdint>
#include <cstdio>

#include "bitmap/bitmap.h"

// 8-bit channel to the display's 6 bits: the remainder of a division by 4 is dropped.
constexpr std::uint8_t SixBitChannel(std::uint8_t value) { return static_cast<std::uint8_t>(value >> 2); }

// Raw colour stream ("bmc"): optionally the size prefix (height high, height low, width high,
// width low), then red, green, blue of every pixel from the top row down, one byte each.
// Answers false when any byte could not be handed to `out`.
bool WriteRawColourStream(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                          bool withSizePrefix, std::FILE* out);

// Array text ("h"): C source initialising `pic` with the size prefix and the same values, six pixels
// to a line, LF line breaks. Answers false when any byte could not be handed to `out`.
bool WriteArrayText(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                    std::FILE* out);
