// Cross-checks against Qt's QImage, the independent BMP decoder at hand: how many pixels of a loaded
// image differ from QImage's decoding of the same picture.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>

#include "bitmap/bitmap.h"

// Pixels whose red, green or blue differ between `image` and `reference`; -1 when QImage decoded
// nothing or another size.
inline long PixelsDifferingFromQt(const BitmapImage* image, const QImage& reference) {
    if (reference.isNull() || static_cast<std::uint32_t>(reference.width()) != BitmapWidth(image) ||
        static_cast<std::uint32_t>(reference.height()) != BitmapHeight(image))
        return -1;
    long differing = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            GetPixelRgb(image, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), &r, &g, &b);
            const QColor expected = reference.pixelColor(x, y);
            if (expected.red() != r || expected.green() != g || expected.blue() != b) ++differing;
        }
    }
    return differing;
}
