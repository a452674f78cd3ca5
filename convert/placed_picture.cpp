// Placing a picture on a canvas: the part of a run that the source covers is read from it, the rest
// is background.
#include "convert/placed_picture.h"

#include <algorithm>

void PlacedPicture::Fill(std::uint8_t* rgb, std::int64_t count) const {
    for (std::int64_t i = 0; i < count; ++i, rgb += 3) {
        rgb[0] = background_.red;
        rgb[1] = background_.green;
        rgb[2] = background_.blue;
    }
}

void PlacedPicture::ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
    const std::int64_t sourceY = std::int64_t{y} - top_;
    if (sourceY < 0 || sourceY >= source_.Height()) {
        Fill(rgb, count);
        return;
    }
    const std::int64_t end = std::int64_t{x} + count;
    const std::int64_t from = std::clamp<std::int64_t>(left_, x, end);
    const std::int64_t to = std::clamp<std::int64_t>(left_ + source_.Width(), from, end);
    Fill(rgb, from - x);
    if (to > from)
        source_.ReadRun(static_cast<std::uint32_t>(from - left_), static_cast<std::uint32_t>(sourceY),
                        static_cast<std::uint32_t>(to - from), rgb + 3 * (from - x));
    Fill(rgb + 3 * (to - x), end - to);
}
