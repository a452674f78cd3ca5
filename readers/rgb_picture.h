// Pictures decoded by the project's own readers: three bytes (red, green, blue) a pixel, rows top to
// bottom, transparency already laid over the background; and the refusals these readers share.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "readers/qt_decode.h"

class RgbPicture final : public Picture {
public:
    // Bytes a picture of these sides holds; sides are at most kLargestSide, so this cannot overflow.
    static std::uint64_t HeldBytes(std::uint32_t width, std::uint32_t height);
    // Cleared storage for the sides, or nullptr when memory runs out.
    static std::unique_ptr<RgbPicture> Create(std::uint32_t width, std::uint32_t height);

    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override;

    std::uint8_t* Row(std::uint32_t y) { return pixels_.get() + std::size_t{3} * width_ * y; }

private:
    struct Release {
        void operator()(std::uint8_t* pixels) const { std::free(pixels); }
    };
    using Pixels = std::unique_ptr<std::uint8_t, Release>;

    RgbPicture(std::uint32_t width, std::uint32_t height, Pixels pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    std::uint32_t width_;
    std::uint32_t height_;
    Pixels pixels_;
};

// Writes one pixel of straight alpha over the background.
inline void PutPixel(std::uint8_t* rgb, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha,
                     RgbColour background) {
    rgb[0] = alpha == 255 ? red : Composite(red, alpha, background.red);
    rgb[1] = alpha == 255 ? green : Composite(green, alpha, background.green);
    rgb[2] = alpha == 255 ? blue : Composite(blue, alpha, background.blue);
}

LoadedPicture Refused(LoadFailure failure, BitmapStatus moduleStatus, std::string reason);

// The refusal for sides or memory before a byte of pixels is decoded, or a LoadedPicture whose
// failure is None when the picture may be decoded. `extraBytes` is what the reader holds beside the picture.
LoadedPicture CheckSides(std::uint64_t width, std::uint64_t height, std::uint64_t extraBytes, BitmapStatus moduleStatus,
                         const DecodeSettings& settings);

// A loaded picture from storage filled by a reader.
LoadedPicture Loaded(std::unique_ptr<RgbPicture> picture, BitmapStatus moduleStatus);
