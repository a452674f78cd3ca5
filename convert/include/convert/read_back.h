// Reading an output of this program back into the picture a display shows from it: a raw colour
// stream with its size prefix, C array text of either style, or a compressed stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "pixel_layout.h"

struct ReadBackResult {
    // A 24-bit image of what the display shows (each kept level spread as ShownLevel does), or nullptr.
    BitmapImagePtr shown;
    // Why the bytes could not be read back, worded for the user, when `shown` is null.
    std::string failure;
};

// Raw streams and array text are read in `layout` and wiring `blueFirst`, as they were written; a
// compressed stream, bare or as an array's bytes, says its own.
ReadBackResult ReadOutputBack(const std::vector<std::uint8_t>& bytes, PixelLayout layout, bool blueFirst);
