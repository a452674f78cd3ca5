// Files written by this module, decoded by Qt's own BMP reader: same size, same colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdint>

#include "bitmap/bitmap.h"
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

        const QImage decoded(QString::fromStdString(path), "BMP");
        ASSERT_FALSE(decoded.isNull());
        ASSERT_EQ(decoded.width(), static_cast<int>(width));
        ASSERT_EQ(decoded.height(), static_cast<int>(height));
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                const QRgb rgb = decoded.pixel(static_cast<int>(x), static_cast<int>(y));
                EXPECT_EQ(qRed(rgb), Channel(x, y, 0)) << x << "," << y;
                EXPECT_EQ(qGreen(rgb), Channel(x, y, 1)) << x << "," << y;
                EXPECT_EQ(qBlue(rgb), Channel(x, y, 2)) << x << "," << y;
            }
        }
    }
}
