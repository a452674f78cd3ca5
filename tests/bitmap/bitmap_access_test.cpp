// Size queries, pixel and palette reads, status texts and release.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "bitmap/bitmap.h"
#include "test_files.h"

namespace {

// A 3 x 2 picture stored bottom-up with 12-byte rows. Each pixel's blue byte is unique, so a read of
// the wrong pixel shows. Depth 8 gets a palette where entry i is blue i, green 100 + i, red 200 - i.
BitmapImagePtr LoadSmall(std::uint16_t depth) {
    static ScratchDir dir;
    const std::uint32_t stride = 12;
    Bytes file = BmpHeader({.width = 3, .height = 2, .bitsPerPixel = depth, .imageSize = 2 * stride});
    if (depth == 8) {
        for (int i = 0; i < 256; ++i) {
            file.insert(file.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(100 + i),
                                     static_cast<std::uint8_t>(200 - i), 0xEE});
        }
    }
    for (std::uint8_t i = 0; i < 2 * stride; ++i) file.push_back(static_cast<std::uint8_t>(10 + i));
    const std::string path = dir.file("small" + std::to_string(depth) + ".bmp");
    WriteFileBytes(path, file);
    return BitmapImagePtr(ReadBitmapFile(path.c_str()));
}

struct Rgb {
    int red = -1, green = -1, blue = -1;
};

Rgb PixelAt(const BitmapImage* image, std::uint32_t x, std::uint32_t y) {
    std::uint8_t r = 0, g = 0, b = 0;
    GetPixelRgb(image, x, y, &r, &g, &b);
    if (LastBitmapStatus() != BitmapOk) return {};
    return {r, g, b};
}

}  // namespace

TEST(bitmap_access, size_queries_answer_all_ones_for_no_image) {
    EXPECT_EQ(BitmapWidth(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    EXPECT_EQ(BitmapHeight(nullptr), 0xFFFFFFFFu);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    EXPECT_EQ(BitmapDepth(nullptr), 0xFFFFu);
    EXPECT_EQ(static_cast<std::int16_t>(BitmapDepth(nullptr)), -1);
    EXPECT_STREQ(BitmapStatusText(), "An argument is invalid or out of range");
}

TEST(bitmap_access, size_queries_answer_fields) {
    const BitmapImagePtr image = LoadSmall(24);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(BitmapWidth(image.get()), 3u);
    EXPECT_EQ(BitmapHeight(image.get()), 2u);
    EXPECT_EQ(BitmapDepth(image.get()), 24u);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(BitmapStatusText(), nullptr);
}

// Rows are stored bottom-up with a stride of 12 bytes; an 8-bit pixel names its palette entry, and a
// 32-bit pixel's fourth byte is not part of its colour.
TEST(bitmap_access, rgb_reads_answer_the_stored_colour) {
    const struct {
        std::uint16_t depth;
        std::uint32_t x, y;
        int red, green, blue;
    } rows[] = {
        {24, 1, 0, 27, 26, 25},   // top row, stored second: byte 12 + 3 = 15
        {24, 0, 1, 12, 11, 10},   // bottom row, stored first: byte 0
        {8, 1, 0, 177, 123, 23},  // byte 12 + 1 = 13 holds 23, palette entry 23
        {32, 2, 0, 32, 31, 30},   // byte 12 + 8 = 20
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.depth << "-bit (" << row.x << ", " << row.y << ")");
        const BitmapImagePtr image = LoadSmall(row.depth);
        ASSERT_NE(image, nullptr);
        if (row.depth == 32) image->pixels[12 + 8 + 3] = 0x99;
        const Rgb colour = PixelAt(image.get(), row.x, row.y);
        EXPECT_EQ((std::array{colour.red, colour.green, colour.blue}), (std::array{row.red, row.green, row.blue}));
    }
}

TEST(bitmap_access, rgb_read_outside_writes_nothing) {
    const BitmapImagePtr image = LoadSmall(24);
    ASSERT_NE(image, nullptr);
    std::uint8_t r = 1, g = 2, b = 3;
    GetPixelRgb(image.get(), 3, 0, &r, &g, &b);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRgb(image.get(), 0, 2, &r, &g, &b);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRgb(image.get(), 0xFFFFFFFFu, 0xFFFFFFFFu, &r, &g, &b);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRgb(nullptr, 0, 0, &r, &g, &b);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 2);
    EXPECT_EQ(b, 3);
    // Absent outputs are skipped without error.
    GetPixelRgb(image.get(), 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    GetPixelRgb(image.get(), 0, 0, nullptr, &g, nullptr);
    EXPECT_EQ(g, 23);
}

TEST(bitmap_access, eight_bit_index_and_palette_reads) {
    const BitmapImagePtr image = LoadSmall(8);
    ASSERT_NE(image, nullptr);
    std::uint8_t index = 0;
    GetPixelIndex(image.get(), 1, 0, &index);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(index, 23);

    std::uint8_t r = 0, g = 0, b = 0;
    GetPaletteColor(image.get(), 255, &r, &g, &b);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(g, static_cast<std::uint8_t>(355));
    EXPECT_EQ(r, static_cast<std::uint8_t>(200 - 255));
}

TEST(bitmap_access, index_and_palette_reads_check_image_then_coordinates_then_depth) {
    const BitmapImagePtr image = LoadSmall(24);
    ASSERT_NE(image, nullptr);
    std::uint8_t index = 77, r = 1;
    GetPixelIndex(image.get(), 0, 0, &index);
    EXPECT_EQ(LastBitmapStatus(), BitmapTypeMismatch);
    GetPixelIndex(image.get(), 3, 0, &index);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelIndex(nullptr, 0, 0, &index);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPaletteColor(image.get(), 0, &r, nullptr, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapTypeMismatch);
    EXPECT_STREQ(BitmapStatusText(), "The requested action is not compatible with the BMP's type");
    GetPaletteColor(nullptr, 0, &r, nullptr, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    EXPECT_EQ(index, 77);
    EXPECT_EQ(r, 1);
}

TEST(bitmap_access, free_leaves_status_alone_for_no_image) {
    BitmapWidth(nullptr);
    FreeBitmap(nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    BitmapImagePtr image = LoadSmall(24);
    ASSERT_NE(image, nullptr);
    BitmapWidth(nullptr);
    FreeBitmap(image.release());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
}

TEST(bitmap_access, pixel_runs_answer_what_single_reads_answer) {
    for (std::uint16_t depth : {8, 24, 32}) {
        const BitmapImagePtr image = LoadSmall(depth);
        ASSERT_NE(image, nullptr);
        for (std::uint32_t y = 0; y < 2; ++y) {
            std::uint8_t run[9] = {};
            GetPixelRunRgb(image.get(), 0, y, 3, run);
            EXPECT_EQ(LastBitmapStatus(), BitmapOk);
            for (std::uint32_t x = 0; x < 3; ++x) {
                const Rgb single = PixelAt(image.get(), x, y);
                EXPECT_EQ(run[3 * x], single.red) << depth << " " << x << "," << y;
                EXPECT_EQ(run[3 * x + 1], single.green);
                EXPECT_EQ(run[3 * x + 2], single.blue);
            }
        }
        std::uint8_t tail[6] = {};
        GetPixelRunRgb(image.get(), 1, 0, 2, tail);
        EXPECT_EQ(tail[3], PixelAt(image.get(), 2, 0).red);
    }
}

TEST(bitmap_access, pixel_runs_stay_inside_the_row) {
    const BitmapImagePtr image = LoadSmall(24);
    ASSERT_NE(image, nullptr);
    std::uint8_t run[12];
    std::fill(std::begin(run), std::end(run), 0xAB);
    GetPixelRunRgb(image.get(), 1, 0, 3, run);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRunRgb(image.get(), 0, 2, 1, run);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    // A start and count whose sum wraps around 32 bits must not pass for a short run.
    GetPixelRunRgb(image.get(), 2, 0, 0xFFFFFFFFu, run);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRunRgb(nullptr, 0, 0, 1, run);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    GetPixelRunRgb(image.get(), 0, 0, 1, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    for (std::uint8_t byte : run) EXPECT_EQ(byte, 0xAB);
    GetPixelRunRgb(image.get(), 3, 1, 0, run);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
}
