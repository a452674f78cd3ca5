// Scaling a picture to new sides, as pictures of their own that read their source a row at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "picture.h"

// The source scaled to scaledWidth x scaledHeight, of which only the part from column `left` and row
// `top`, `width` x `height` pixels, is ever read: that part is the answer, so a cut costs nothing.
struct ScaleTarget {
    std::uint32_t scaledWidth = 0;
    std::uint32_t scaledHeight = 0;
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// In linear light: the exact area average along a shrinking axis, linear between pixel centres along
// a growing one. nullptr when its rows cannot be allocated. `source` must outlive the answer.
std::unique_ptr<Picture> MakeSmoothScaled(const Picture& source, const ScaleTarget& target);

// Output pixel i takes source pixel (2i + 1) x in / (2 x out), so whole-factor enlargements repeat every
// pixel exactly. nullptr when its row cannot be allocated. `source` must outlive the answer.
std::unique_ptr<Picture> MakeNearestScaled(const Picture& source, const ScaleTarget& target);
