// A picture laid on a canvas of given sides: the background shows where it does not reach, and what
// lies beyond the sides is cut.
#pragma once

#include <cstdint>

#include "picture.h"

class PlacedPicture final : public Picture {
public:
    // `source`'s top left corner lies at (left, top) of the canvas, either of which may be negative.
    // `source` must outlive the picture.
    PlacedPicture(const Picture& source, std::uint32_t width, std::uint32_t height, std::int64_t left, std::int64_t top,
                  RgbColour background)
        : source_(source), width_(width), height_(height), left_(left), top_(top), background_(background) {}

    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override;

private:
    void Fill(std::uint8_t* rgb, std::int64_t count) const;

    const Picture& source_;
    std::uint32_t width_, height_;
    std::int64_t left_, top_;
    RgbColour background_;
};
