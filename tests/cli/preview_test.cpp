// The preview: each channel cut to 6 bits and spread back to 8, saved as a 24-bit BMP of the same size.
#include <gtest/gtest.h>

#include "cli/preview.h"
#include "convert/picture_files.h"

namespace {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

Rgb PixelAt(const BitmapImage* image, std::uint32_t x, std::uint32_t y) {
    Rgb rgb;
    GetPixelRgb(image, x, y, &rgb.red, &rgb.green, &rgb.blue);
    return rgb;
}

// 3 x 2, so rows have fill bytes and top and bottom rows differ.
const std::vector<Colour> kColours{{255, 128, 3}, {4, 0, 252},    {251, 7, 8},
                                   {1, 2, 65},    {200, 100, 50}, {9, 250, 129}};
// Worked out by hand: v >> 2, then (six << 2) | (six >> 4).
const std::vector<Rgb> kShown{{255, 130, 0}, {4, 0, 255},    {251, 4, 8},
                              {0, 0, 65},    {203, 101, 48}, {8, 251, 130}};

}  // namespace

TEST(cli_preview, channels_go_through_six_bits_and_back) {
    EXPECT_EQ(PreviewChannel(255), 255);
    EXPECT_EQ(PreviewChannel(128), 130);
    EXPECT_EQ(PreviewChannel(3), 0);
    EXPECT_EQ(PreviewChannel(4), 4);
    EXPECT_EQ(PreviewChannel(252), 255);
}

TEST(cli_preview, saved_preview_shows_every_pixel_as_the_display_does) {
    ScratchDir dir;
    BitmapImage* picture = LoadPicture(dir.file("in.bmp"), 3, 2, kColours);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(WritePreview(picture, dir.file("preview.bmp")), std::nullopt);
    FreeBitmap(picture);

    BitmapImage* preview = ReadBitmapFile(dir.file("preview.bmp").c_str());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(BitmapDepth(preview), 24);
    EXPECT_EQ(BitmapWidth(preview), 3u);
    EXPECT_EQ(BitmapHeight(preview), 2u);
    for (std::uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(PixelAt(preview, i % 3, i / 3), kShown[i]) << "pixel " << i;
    FreeBitmap(preview);
}

TEST(cli_preview, failures_name_the_cause_and_leave_no_file) {
    ScratchDir dir;
    BitmapImage* picture = LoadPicture(dir.file("in.bmp"), 3, 2, kColours);
    ASSERT_NE(picture, nullptr);
    const std::string missingFolder = dir.file("missing/preview.bmp");
    EXPECT_EQ(WritePreview(picture, missingFolder),
              "cannot write the preview " + missingFolder + ": File not found (No such file or directory)");
    EXPECT_EQ(WritePreview(nullptr, dir.file("none.bmp")),
              "cannot make the preview: An argument is invalid or out of range");
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
    FreeBitmap(picture);
}
