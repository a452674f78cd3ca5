// Cross-check of the reader against an independent decoder: BMP files written by Qt's QImage must
// load with the very pixels QImage reports.
#include <gtest/gtest.h>

#include <QImage>

#include "bitmap/bitmap.h"
#include "qimage_compare.h"
#include "test_files.h"

namespace {

void ExpectSamePixels(const QImage& reference, const std::string& path, std::uint16_t depth) {
    const BitmapImagePtr image(ReadBitmapFile(path.c_str()));
    ASSERT_NE(image, nullptr) << BitmapStatusText();
    EXPECT_EQ(BitmapDepth(image.get()), depth);
    EXPECT_EQ(PixelsDifferingFromQt(image.get(), reference), 0);
}

// Widths 1..5 exercise every amount of row padding.
QImage Gradient(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 37 + y) & 0xFF, (y * 53 + 7) & 0xFF, (x * y * 11) & 0xFF));
    return picture;
}

}  // namespace

TEST(bitmap_read_qimage, twenty_four_bit_files_match) {
    ScratchDir dir;
    for (int width = 1; width <= 5; ++width) {
        const QImage picture = Gradient(width, 7);
        const std::string path = dir.file("rgb" + std::to_string(width) + ".bmp");
        ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
        ExpectSamePixels(QImage(QString::fromStdString(path)), path, 24);
    }
}

TEST(bitmap_read_qimage, eight_bit_files_with_a_full_colour_table_match) {
    ScratchDir dir;
    QImage picture(13, 6, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table.push_back(qRgb(i, 255 - i, (i * 7) & 0xFF));
    picture.setColorTable(table);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, static_cast<uint>((x * 19 + y * 41) & 0xFF));
    const std::string path = dir.file("indexed.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));
    ExpectSamePixels(picture, path, 8);
}
