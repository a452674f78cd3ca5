// Files written by this module, decoded by Qt's own BMP reader: same size, same colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdint>

#include "bitmap/bitmap.h"
#include "qimage_compare.h"
#include "test_files.h"

namespace {

// A colour that differs in every channel from pixel to pixel and from row to row.
std::uint8_t Channel(std::uint32_t x, std::uint32_t y, unsigned salt) {
    return static_cast<std::uint8_t>(x * 37 + y * 101 + salt * 53);
}

}  // namespace

TEST(bitmap_write_qimage, written_files_decode_to_the_same_colours) {
    ScratchDir dir;
    for (const std::uint16_t depth : {8, 24, 32}) {
        SCOPED_TRACE(depth);
        const std::uint32_t width = 7, height = 5;  // 7 pixels leave fill bytes at 8 and 24 bits
        BitmapImagePtr image(CreateBitmap(width, height, depth));
        ASSERT_NE(image, nullptr);
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                if (depth == 8) {
                    const auto index = static_cast<std::uint8_t>(y * width + x);
                    SetPaletteColor(image.get(), index, Channel(x, y, 0), Channel(x, y, 1), Channel(x, y, 2));
                    SetPixelIndex(image.get(), x, y, index);
                } else {
                    SetPixelRgb(image.get(), x, y, Channel(x, y, 0), Channel(x, y, 1), Channel(x, y, 2));
                }
                ASSERT_EQ(LastBitmapStatus(), BitmapOk);
            }
        }
        const std::string path = dir.file(std::to_string(depth) + "-bit.bmp");
        WriteBitmapFile(image.get(), path.c_str());
        ASSERT_EQ(LastBitmapStatus(), BitmapOk);

        EXPECT_EQ(PixelsDifferingFromQt(image.get(), QImage(QString::fromStdString(path), "BMP")), 0);

        // Again with the pixels further on: after a gap, or after a table of only the 35 entries used
        // (which QImage wants the colour count to say).
        image->dataOffset = depth == 8 ? 54 + 35 * 4 : 54 + 100;
        if (depth == 8) image->coloursUsed = 35;
        const std::string moved = dir.file(std::to_string(depth) + "-bit-moved.bmp");
        WriteBitmapFile(image.get(), moved.c_str());
        ASSERT_EQ(LastBitmapStatus(), BitmapOk);
        EXPECT_EQ(PixelsDifferingFromQt(image.get(), QImage(QString::fromStdString(moved), "BMP")), 0);
    }
}
