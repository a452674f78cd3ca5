// Decoding a picture with Qt's image readers, for the files the bitmap module refuses: bounded in
// sides and memory, a file that ends early refused, transparency laid over a background colour.
#pragma once

#include <cstdint>
#include <string>

#include "convert/picture.h"

inline constexpr std::uint64_t kDefaultMemoryLimitMiB = 1024;
// Qt takes its allocation limit in MiB as an int.
inline constexpr std::uint64_t kLargestMemoryLimitMiB = 1024 * 1024;

struct DecodeSettings {
    // What shows through transparent pixels; black is an unlit display.
    RgbColour background;
    // The most a decoded picture may hold, in MiB (1 MiB = 1048576 bytes).
    std::uint64_t memoryLimitMiB = kDefaultMemoryLimitMiB;
    // Turns the picture upright by its orientation tag (EXIF), as viewers show it.
    bool applyOrientation = true;
    // Silences what the decoders' libraries print on standard error while a picture is decoded, so a
    // failure stays one line. Off where a crash report must not be lost (fuzzing).
    bool quietDecoders = true;
};

// Straight (not premultiplied) alpha over the background, rounded to the nearest value.
constexpr std::uint8_t Composite(std::uint8_t colour, std::uint8_t alpha, std::uint8_t background) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255u - alpha) + 127u) / 255u);
}

// Decodes the file at `path`, which the bitmap module refused with `moduleStatus` (kept in the answer
// for the message). Never throws.
LoadedPicture DecodeWithQt(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings);
