// The integer rules of fitting a picture to the display's sides: the scaled sides and where the
// scaled picture lies on the display.
#pragma once

#include <cstdint>

#include "display_geometry.h"

struct FitPlan {
    // The fitted picture's sides: the display's, or the scaled picture's when a side is left out.
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    // The picture's sides after scaling.
    std::uint64_t scaledWidth = 0;
    std::uint64_t scaledHeight = 0;
    // Where the scaled picture's top left corner lies on the fitted picture: positive leaves a border
    // of background (contain), negative cuts the scaled picture (cover).
    std::int64_t left = 0;
    std::int64_t top = 0;

    bool Scales(std::uint64_t pictureWidth, std::uint64_t pictureHeight) const {
        return scaledWidth != pictureWidth || scaledHeight != pictureHeight;
    }
};

// `length` x numerator / denominator rounded to the nearest whole number, halves up, at least 1.
std::uint64_t ScaledLength(std::uint64_t length, std::uint64_t numerator, std::uint64_t denominator);

// The plan for a picture of the given sides (both at least 1). Sides may come out above what the
// writers take; the caller checks them.
FitPlan PlanFit(const DisplayGeometry& geometry, std::uint32_t pictureWidth, std::uint32_t pictureHeight);
