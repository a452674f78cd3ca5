// Internal: where a pixel lives inside `pixels`. Rows are stored bottom-up, `imageSize / height`
// bytes apart; the stride is recomputed on every access so nothing is cached between calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bitmap/bitmap.h"

inline bool PixelInside(const BitmapImage& image, std::uint32_t x, std::uint32_t y) {
    return x < image.width && y < image.height;
}

// Byte offset of pixel (x, y) counted from the top row. Only valid when PixelInside holds; the
// loader guarantees stride >= width x bytes per pixel, so the result lies inside `pixels`, below the
// 32-bit imageSize: no step of it can wrap, even where size_t is 32 bits.
inline std::size_t PixelOffset(const BitmapImage& image, std::uint32_t x, std::uint32_t y) {
    const std::size_t stride = image.imageSize / image.height;
    const std::size_t bytesPerPixel = image.bitsPerPixel / 8u;
    return static_cast<std::size_t>(image.height - y - 1u) * stride + std::size_t{x} * bytesPerPixel;
}
