// Builds small 24-bit test pictures from explicit colours, as BMP files loaded by the module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "test_files.h"

struct Colour {
    std::uint8_t red, green, blue;
};

// The bytes of a BMP file, `colours` given row by row from the top row down.
inline Bytes PictureFile(std::uint32_t width, std::uint32_t height, const std::vector<Colour>& colours,
                         std::uint16_t depth = 24) {
    const std::uint32_t bytesPerPixel = depth / 8u;
    const std::uint32_t stride = (width * bytesPerPixel + 3u) / 4u * 4u;
    Bytes file = BmpHeader({.width = width, .height = height, .bitsPerPixel = depth, .imageSize = stride * height});
    if (depth == 8) file.insert(file.end(), 1024, 0);
    for (std::uint32_t row = height; row-- > 0;) {
        Bytes line(stride, 0);
        for (std::uint32_t x = 0; x < width && depth != 8; ++x) {
            const Colour& c = colours.at(row * width + x);
            line[x * bytesPerPixel] = c.blue;
            line[x * bytesPerPixel + 1] = c.green;
            line[x * bytesPerPixel + 2] = c.red;
        }
        file.insert(file.end(), line.begin(), line.end());
    }
    return file;
}

// Writes the picture to `path` and loads it; the caller frees the image.
inline BitmapImage* LoadPicture(const std::string& path, std::uint32_t width, std::uint32_t height,
                                const std::vector<Colour>& colours) {
    WriteFileBytes(path, PictureFile(width, height, colours));
    return ReadBitmapFile(path.c_str());
}
