// Reading a picture a run of a row at a time: the one loop over runs that the writers, dithering and the
// preview share, so none of them holds more than a few KiB of pixels whatever the picture's width.
#pragma once

#include <cstdint>
#include <cstring>

#include "convert/picture.h"

// Pixels fetched per request.
inline constexpr std::uint32_t kRunPixels = 1024;
// Bytes readable before a run's first pixel and after its last, which the block encoders may load
// but never let decide an output byte.
inline constexpr std::size_t kRunMargin = 16;

// Calls `fn(x, count)` for the runs that cover a row of `width` pixels, left to right.
template <typename Fn>
void ForEachRunOfRow(std::uint32_t width, Fn fn) {
    for (std::uint32_t x = 0; x < width; x += kRunPixels) fn(x, width - x < kRunPixels ? width - x : kRunPixels);
}

// Reads row y whole into `rgb` (3 x the picture's width bytes).
inline void ReadRow(const Picture& picture, std::uint32_t y, std::uint8_t* rgb) {
    ForEachRunOfRow(picture.Width(), [&](std::uint32_t x, std::uint32_t count) {
        picture.ReadRun(x, y, count, rgb + 3 * std::size_t{x});
    });
}

// Calls `fn(x, y, rgb, count)` for every run of the first `width` columns of the first `height` rows,
// top row first, with red, green, blue triples at `rgb` and kRunMargin readable bytes either side.
template <typename Fn>
void ForEachRun(const Picture& picture, std::uint32_t width, std::uint32_t height, Fn fn) {
    std::uint8_t space[kRunMargin + 3 * kRunPixels + kRunMargin];
    std::memset(space, 0, kRunMargin);
    std::memset(space + kRunMargin + 3 * kRunPixels, 0, kRunMargin);
    std::uint8_t* const rgb = space + kRunMargin;
    for (std::uint32_t y = 0; y < height; ++y) {
        ForEachRunOfRow(width, [&](std::uint32_t x, std::uint32_t count) {
            picture.ReadRun(x, y, count, rgb);
            fn(x, y, static_cast<const std::uint8_t*>(rgb), count);
        });
    }
}

// Every run of the whole picture.
template <typename Fn>
void ForEachRun(const Picture& picture, Fn fn) {
    ForEachRun(picture, picture.Width(), picture.Height(), fn);
}
