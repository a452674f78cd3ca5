// The preview: the picture as a 6-bit-per-channel display shows it, saved as a 24-bit BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bitmap/bitmap.h"
#include "convert/display_writers.h"

// A channel after the trip to the display: cut to its 6 bits, then spread over 0..255 again by
// repeating the top bits in the two freed low bits, so 63 shows as 255 and 0 as 0.
constexpr std::uint8_t PreviewChannel(std::uint8_t value) {
    const unsigned six = SixBitChannel(value);
    return static_cast<std::uint8_t>((six << 2) | (six >> 4));
}

// A new 24-bit image of the same size as `picture` whose every channel went through PreviewChannel.
// Owned by the caller (FreeBitmap); nullptr with the reason in the bitmap module's last status.
BitmapImage* MakePreview(const BitmapImage* picture);

// Makes the preview and saves it at `path`. Answers the cause of a failure, or nothing on success.
// A file that was started but not finished is removed again.
std::optional<std::string> WritePreview(const BitmapImage* picture, const std::string& path);
