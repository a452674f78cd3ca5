// The top left corner of a picture, so that the writers' work in a fuzz run stays bounded however
// large the picture says it is.
#pragma once

#include <cstdint>

#include "convert/picture.h"

class PictureCorner final : public Picture {
public:
    PictureCorner(const Picture& whole, std::uint32_t width, std::uint32_t height)
        : whole_(whole), width_(width), height_(height) {}
    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        whole_.ReadRun(x, y, count, rgb);
    }

private:
    const Picture& whole_;
    std::uint32_t width_;
    std::uint32_t height_;
};
