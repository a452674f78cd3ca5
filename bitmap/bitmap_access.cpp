// Read access to an image: size queries, pixel and palette reads, and release.
#include <cstdlib>

#include "bitmap_status.h"
#include "pixel_layout.h"

std::uint32_t BitmapWidth(const BitmapImage* image) {
    if (!image) {
        SetBitmapStatus(BitmapInvalidArgument);
        return 0xFFFFFFFFu;
    }
    SetBitmapStatus(BitmapOk);
    return image->width;
}

std::uint32_t BitmapHeight(const BitmapImage* image) {
    if (!image) {
        SetBitmapStatus(BitmapInvalidArgument);
        return 0xFFFFFFFFu;
    }
    SetBitmapStatus(BitmapOk);
    return image->height;
}

std::uint16_t BitmapDepth(const BitmapImage* image) {
    if (!image) {
        SetBitmapStatus(BitmapInvalidArgument);
        return 0xFFFFu;
    }
    SetBitmapStatus(BitmapOk);
    return image->bitsPerPixel;
}

void GetPixelRgb(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t* red, std::uint8_t* green,
                 std::uint8_t* blue) {
    if (!image || !PixelInside(*image, x, y)) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    SetBitmapStatus(BitmapOk);
    const std::uint8_t* colour = image->pixels + PixelOffset(*image, x, y);
    if (image->bitsPerPixel == 8) colour = image->palette + 4u * *colour;
    if (red) *red = colour[2];
    if (green) *green = colour[1];
    if (blue) *blue = colour[0];
}

void GetPixelRunRgb(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint32_t count,
                    std::uint8_t* rgb) {
    // In 64 bits, so that a run cannot wrap around past the row's end.
    if (!image || !rgb || y >= image->height || std::uint64_t{x} + count > image->width) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    SetBitmapStatus(BitmapOk);
    if (count == 0) return;
    const std::uint8_t* pixel = image->pixels + PixelOffset(*image, x, y);
    switch (image->bitsPerPixel) {
    case 8:
        for (std::uint32_t i = 0; i < count; ++i, rgb += 3) {
            const std::uint8_t* colour = image->palette + 4u * pixel[i];
            rgb[0] = colour[2];
            rgb[1] = colour[1];
            rgb[2] = colour[0];
        }
        break;
    case 32:
        for (std::uint32_t i = 0; i < count; ++i, pixel += 4, rgb += 3) {
            rgb[0] = pixel[2];
            rgb[1] = pixel[1];
            rgb[2] = pixel[0];
        }
        break;
    default:
        for (std::uint32_t i = 0; i < count; ++i, pixel += 3, rgb += 3) {
            rgb[0] = pixel[2];
            rgb[1] = pixel[1];
            rgb[2] = pixel[0];
        }
        break;
    }
}

void GetPixelIndex(const BitmapImage* image, std::uint32_t x, std::uint32_t y, std::uint8_t* index) {
    if (!image || !PixelInside(*image, x, y)) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    if (image->bitsPerPixel != 8) {
        SetBitmapStatus(BitmapTypeMismatch);
        return;
    }
    SetBitmapStatus(BitmapOk);
    if (index) *index = image->pixels[PixelOffset(*image, x, y)];
}

void GetPaletteColor(const BitmapImage* image, std::uint8_t index, std::uint8_t* red, std::uint8_t* green,
                     std::uint8_t* blue) {
    if (!image) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    if (image->bitsPerPixel != 8) {
        SetBitmapStatus(BitmapTypeMismatch);
        return;
    }
    const std::uint8_t* entry = image->palette + 4u * index;
    if (red) *red = entry[2];
    if (green) *green = entry[1];
    if (blue) *blue = entry[0];
    SetBitmapStatus(BitmapOk);
}

void FreeBitmap(BitmapImage* image) {
    if (!image) return;
    std::free(image->palette);
    std::free(image->pixels);
    std::free(image);
    SetBitmapStatus(BitmapOk);
}
