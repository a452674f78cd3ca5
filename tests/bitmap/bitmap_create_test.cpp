// Tests of blank image creation and of the pixel and palette setters.
#include <gtest/gtest.h>

#include <cstdint>

#include "bitmap/bitmap.h"
#include "child_load.h"
#include "test_files.h"

namespace {

Bytes PixelBytes(const BitmapImage& image) { return Bytes(image.pixels, image.pixels + image.imageSize); }
Bytes PaletteBytes(const BitmapImage& image) { return Bytes(image.palette, image.palette + 1024); }

struct Expected {
    std::uint32_t width, height;
    std::uint16_t depth;
    std::uint32_t imageSize, fileSize, dataOffset;
};

}  // namespace

TEST(bitmap_create, fills_header_and_zeroes_buffers) {
    for (const Expected& e : {Expected{3, 2, 24, 24, 78, 54}, Expected{1, 1, 8, 4, 1082, 1078},
                              Expected{5, 1, 32, 20, 74, 54}, Expected{7, 3, 8, 24, 1102, 1078}}) {
        SCOPED_TRACE(testing::Message() << e.width << "x" << e.height << "x" << e.depth);
        BitmapImagePtr image(CreateBitmap(e.width, e.height, e.depth));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapOk);
        const BitmapImage& i = *image;
        EXPECT_EQ(i.magic, 0x4D42);
        EXPECT_EQ(i.fileSize, e.fileSize);
        EXPECT_EQ(i.reserved1, 0);
        EXPECT_EQ(i.reserved2, 0);
        EXPECT_EQ(i.dataOffset, e.dataOffset);
        EXPECT_EQ(i.headerSize, 40u);
        EXPECT_EQ(i.width, e.width);
        EXPECT_EQ(i.height, e.height);
        EXPECT_EQ(i.planes, 1);
        EXPECT_EQ(i.bitsPerPixel, e.depth);
        EXPECT_EQ(i.compression, 0u);
        EXPECT_EQ(i.imageSize, e.imageSize);
        EXPECT_EQ(i.xResolution | i.yResolution | i.coloursUsed | i.coloursImportant, 0);
        EXPECT_EQ(PixelBytes(i), Bytes(e.imageSize, 0));
        if (e.depth == 8) {
            ASSERT_NE(i.palette, nullptr);
            EXPECT_EQ(PaletteBytes(i), Bytes(1024, 0));
        } else {
            EXPECT_EQ(i.palette, nullptr);
        }
    }
}

TEST(bitmap_create, refuses_bad_arguments_in_order) {
    struct Case {
        std::uint32_t width, height;
        std::uint16_t depth;
        BitmapStatus status;
    };
    const Case cases[] = {
        {0, 10, 16, BitmapInvalidArgument},  // a zero size wins over a bad depth
        {10, 0, 24, BitmapInvalidArgument},
        {10, 10, 16, BitmapUnsupported},
        {10, 10, 1, BitmapUnsupported},
        {10, 10, 4, BitmapUnsupported},
        {10, 10, 0, BitmapUnsupported},
        // Sizes the 32-bit header fields cannot carry: row size, pixel block, file size.
        {0x40000000, 1, 32, BitmapInvalidArgument},
        {0xFFFFFFFF, 1, 8, BitmapInvalidArgument},
        {65536, 65536, 8, BitmapInvalidArgument},
        {0xFFFFFFFF, 0xFFFFFFFF, 32, BitmapInvalidArgument},
        {0xFFFFFBC9, 1, 8, BitmapInvalidArgument},   // fileSize would be 2^32 + 2
        {0x3FFFFFF3, 1, 32, BitmapInvalidArgument},  // fits as pixels, not with the header
        {0x55555555, 1, 24, BitmapInvalidArgument},  // 0xFFFFFFFF bytes, padded to 2^32
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        BitmapImagePtr ok(CreateBitmap(1, 1, 24));  // the failure below must overwrite its BitmapOk
        EXPECT_EQ(CreateBitmap(c.width, c.height, c.depth), nullptr);
        EXPECT_EQ(LastBitmapStatus(), c.status);
    }
}

// The largest 8-bit single row whose file size still fits 32 bits passes the size check, so its
// palette is allocated; under an address-space cap the 4 GiB pixel block cannot be had, and the
// failure must answer no image with BitmapOutOfMemory.
TEST(bitmap_create_death, failed_allocation_leaves_out_of_memory) {
    if (!kAddressCapWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    EXPECT_EXIT(
        ExitWithStatusOf({.addressSpace = std::uint64_t{1} << 30}, [] { return CreateBitmap(0xFFFFFBC8, 1, 8); }),
        testing::ExitedWithCode(BitmapOutOfMemory), "");
}

TEST(bitmap_setters, pixel_addressing_is_bottom_up) {
    BitmapImagePtr image(CreateBitmap(3, 2, 24));
    ASSERT_NE(image, nullptr);
    SetPixelRgb(image.get(), 1, 0, 0x11, 0x22, 0x33);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    SetPixelRgb(image.get(), 0, 1, 0x44, 0x55, 0x66);
    Bytes expected(24, 0);
    expected[15] = 0x33;  // top row starts at byte 12; x = 1 is 3 bytes in; blue, green, red
    expected[16] = 0x22;
    expected[17] = 0x11;
    expected[0] = 0x66;  // bottom row is stored first
    expected[1] = 0x55;
    expected[2] = 0x44;
    EXPECT_EQ(PixelBytes(*image), expected);

    std::uint8_t r = 0, g = 0, b = 0;
    GetPixelRgb(image.get(), 1, 0, &r, &g, &b);
    EXPECT_EQ((Bytes{r, g, b}), (Bytes{0x11, 0x22, 0x33}));
}

TEST(bitmap_setters, rgb_on_32_bit_keeps_fourth_byte) {
    BitmapImagePtr image(CreateBitmap(5, 1, 32));
    ASSERT_NE(image, nullptr);
    image->pixels[19] = 0x7F;
    SetPixelRgb(image.get(), 4, 0, 1, 2, 3);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(Bytes(image->pixels + 16, image->pixels + 20), (Bytes{3, 2, 1, 0x7F}));
    std::uint8_t r = 0, g = 0, b = 0;
    GetPixelRgb(image.get(), 4, 0, &r, &g, &b);
    EXPECT_EQ((Bytes{r, g, b}), (Bytes{1, 2, 3}));
}

TEST(bitmap_setters, index_and_palette_on_8_bit) {
    BitmapImagePtr image(CreateBitmap(3, 2, 8));
    ASSERT_NE(image, nullptr);
    image->palette[1023] = 0x5A;
    SetPaletteColor(image.get(), 255, 0xA1, 0xB2, 0xC3);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    Bytes palette(1024, 0);
    palette[1020] = 0xC3;
    palette[1021] = 0xB2;
    palette[1022] = 0xA1;
    palette[1023] = 0x5A;
    EXPECT_EQ(PaletteBytes(*image), palette);

    SetPixelIndex(image.get(), 2, 0, 255);  // top row, stored second: 4 + 2
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(PixelBytes(*image), (Bytes{0, 0, 0, 0, 0, 0, 255, 0}));
    std::uint8_t r = 0, g = 0, b = 0;
    GetPixelRgb(image.get(), 2, 0, &r, &g, &b);
    EXPECT_EQ((Bytes{r, g, b}), (Bytes{0xA1, 0xB2, 0xC3}));
}

TEST(bitmap_setters, refused_calls_change_nothing) {
    BitmapImagePtr rgb(CreateBitmap(3, 2, 24));
    BitmapImagePtr indexed(CreateBitmap(3, 2, 8));
    ASSERT_NE(rgb, nullptr);
    ASSERT_NE(indexed, nullptr);
    rgb->pixels[5] = 9;
    indexed->palette[7] = 9;
    const Bytes rgbPixels = PixelBytes(*rgb), indexedPixels = PixelBytes(*indexed);
    const Bytes palette = PaletteBytes(*indexed);

    const auto expectStatus = [](BitmapStatus status, const char* what) {
        EXPECT_EQ(LastBitmapStatus(), status) << what;
    };
    SetPixelRgb(nullptr, 0, 0, 1, 2, 3);
    expectStatus(BitmapInvalidArgument, "rgb, no image");
    SetPixelRgb(rgb.get(), 3, 0, 1, 2, 3);
    expectStatus(BitmapInvalidArgument, "rgb, x = width");
    SetPixelRgb(indexed.get(), 0, 0, 1, 2, 3);
    expectStatus(BitmapTypeMismatch, "rgb on 8-bit");
    SetPixelRgb(indexed.get(), 0, 2, 1, 2, 3);
    expectStatus(BitmapInvalidArgument, "rgb on 8-bit, y = height");
    SetPixelIndex(nullptr, 0, 0, 1);
    expectStatus(BitmapInvalidArgument, "index, no image");
    SetPixelIndex(indexed.get(), 0, 2, 1);
    expectStatus(BitmapInvalidArgument, "index, y = height");
    SetPixelIndex(rgb.get(), 0, 0, 1);
    expectStatus(BitmapTypeMismatch, "index on 24-bit");
    SetPixelIndex(rgb.get(), 3, 0, 1);
    expectStatus(BitmapInvalidArgument, "index on 24-bit, x = width");
    SetPaletteColor(nullptr, 0, 1, 2, 3);
    expectStatus(BitmapInvalidArgument, "palette, no image");
    SetPaletteColor(rgb.get(), 0, 1, 2, 3);
    expectStatus(BitmapTypeMismatch, "palette on 24-bit");

    EXPECT_EQ(PixelBytes(*rgb), rgbPixels);
    EXPECT_EQ(PixelBytes(*indexed), indexedPixels);
    EXPECT_EQ(PaletteBytes(*indexed), palette);
}
