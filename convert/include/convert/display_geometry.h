// How a picture is fitted to the display's sides, turned and mirrored for a panel mounted that way:
// the settings only; the steps that carry them out are pictures of their own.
#pragma once

#include <cstdint>

// How the picture meets the display's sides when both are given.
enum class Fit {
    Contain,  // the whole picture, as large as fits, centred on the background
    Cover,    // the display filled, the overflow cut equally from both sides
    Stretch,  // each axis scaled on its own
};

enum class ScaleFilter {
    Smooth,   // area average when shrinking, linear when enlarging, in linear light
    Nearest,  // each output pixel one input pixel: whole-factor enlargements stay crisp
};

// Clockwise turns of the stored pixels, applied after fitting.
enum class Rotation { None, Clockwise90, Clockwise180, Clockwise270 };

// Mirroring of the stored pixels, applied after turning.
enum class Flip { None, Horizontal, Vertical };

struct DisplayGeometry {
    // The picture's sides as seen on the display. 0 leaves a side to follow the other by the
    // picture's aspect ratio; both 0 keep the picture's own size.
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Fit fit = Fit::Contain;
    ScaleFilter filter = ScaleFilter::Smooth;
    Rotation rotation = Rotation::None;
    Flip flip = Flip::None;

    bool ChangesNothing() const {
        return width == 0 && height == 0 && rotation == Rotation::None && flip == Flip::None;
    }
};
