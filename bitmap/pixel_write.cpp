// The setters: change one pixel of a 24/32-bit image, one pixel index or one palette entry of an
// 8-bit image. Header fields are never touched, and a refused call changes nothing.
#include <cstddef>
#include <cstdint>

#include "bitmap/bitmap.h"
#include "bitmap_status.h"
#include "pixel_layout.h"

void SetPixelRgb(BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t red, std::uint8_t green,
                 std::uint8_t blue) {
    if (image == nullptr || !PixelInside(*image, x, y)) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    if (image->bitsPerPixel != 24 && image->bitsPerPixel != 32) {
        SetBitmapStatus(BitmapTypeMismatch);
        return;
    }
    SetBitmapStatus(BitmapOk);
    // The fourth byte of a 32-bit pixel is left as it is: it belongs to the file, not to the colour.
    std::uint8_t* pixel = image->pixels + PixelOffset(*image, x, y);
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
}

void SetPixelIndex(BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t index) {
    if (image == nullptr || !PixelInside(*image, x, y)) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    if (image->bitsPerPixel != 8) {
        SetBitmapStatus(BitmapTypeMismatch);
        return;
    }
    SetBitmapStatus(BitmapOk);
    image->pixels[PixelOffset(*image, x, y)] = index;
}

void SetPaletteColor(BitmapImage* image, std::uint8_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (image == nullptr) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    if (image->bitsPerPixel != 8) {
        SetBitmapStatus(BitmapTypeMismatch);
        return;
    }
    // Entries are blue, green, red, reserved; the reserved byte keeps whatever the file gave it.
    std::uint8_t* entry = image->palette + std::size_t{index} * 4u;
    entry[0] = blue;
    entry[1] = green;
    entry[2] = red;
    SetBitmapStatus(BitmapOk);
}
