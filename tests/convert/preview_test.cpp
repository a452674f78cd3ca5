// The preview: each channel cut to 6 bits and spread back to 8, saved as a 24-bit BMP of the same size.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/preview.h"
#include "picture_files.h"

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
const std::vector<Colour> kColours{{255, 128, 3}, {4, 0, 252}, {251, 7, 8}, {1, 2, 65}, {200, 100, 50}, {9, 250, 129}};
// Worked out by hand: v >> 2, then (six << 2) | (six >> 4).
const std::vector<Rgb> kShown{{255, 130, 0}, {4, 0, 255}, {251, 4, 8}, {0, 0, 65}, {203, 101, 48}, {8, 251, 130}};

}  // namespace

TEST(preview, channels_go_through_six_bits_and_back) {
    EXPECT_EQ(PreviewChannel(255), 255);
    EXPECT_EQ(PreviewChannel(128), 130);
    EXPECT_EQ(PreviewChannel(3), 0);
    EXPECT_EQ(PreviewChannel(4), 4);
    EXPECT_EQ(PreviewChannel(252), 255);
}

TEST(preview, saved_preview_shows_every_pixel_as_the_display_does) {
    ScratchDir dir;
    const BitmapImagePtr picture(LoadPicture(dir.file("in.bmp"), 3, 2, kColours));
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(WritePreview(BitmapPicture(*picture), dir.file("preview.bmp")).status, BitmapOk);

    const BitmapImagePtr preview(ReadBitmapFile(dir.file("preview.bmp").c_str()));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(BitmapDepth(preview.get()), 24);
    EXPECT_EQ(BitmapWidth(preview.get()), 3u);
    EXPECT_EQ(BitmapHeight(preview.get()), 2u);
    for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(PixelAt(preview.get(), i % 3, i / 3), kShown[i]) << "pixel " << i;
}

TEST(preview, a_preview_that_cannot_be_saved_leaves_no_file) {
    ScratchDir dir;
    const BitmapImagePtr picture(LoadPicture(dir.file("in.bmp"), 3, 2, kColours));
    ASSERT_NE(picture, nullptr);
    const PreviewResult missingFolder = WritePreview(BitmapPicture(*picture), dir.file("missing/preview.bmp"));
    EXPECT_TRUE(missingFolder.made);
    EXPECT_EQ(missingFolder.status, BitmapFileNotFound);
    EXPECT_EQ(missingFolder.systemError, ENOENT);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

TEST(preview, every_layout_shows_its_own_levels) {
    ScratchDir dir;
    const BitmapImagePtr picture(LoadPicture(dir.file("in.bmp"), 3, 2, kColours));
    ASSERT_NE(picture, nullptr);
    // Worked out by hand for 5-bit red and blue: v >> 3, then (five << 3) | (five >> 2).
    const std::vector<Rgb> shown565{{255, 130, 0}, {0, 0, 255}, {255, 4, 8}, {0, 0, 66}, {206, 101, 49}, {8, 251, 132}};
    const std::vector<std::pair<PixelLayout, std::vector<Rgb>>> cases{{PixelLayout::Rgb666, kShown},
                                                                      {PixelLayout::Rgb666High, kShown},
                                                                      {PixelLayout::Rgb565, shown565},
                                                                      {PixelLayout::Rgb565Le, shown565}};
    for (const auto& [layout, expected] : cases) {
        const BitmapImagePtr preview = MakePreview(BitmapPicture(*picture), layout);
        ASSERT_NE(preview, nullptr);
        for (std::uint32_t i = 0; i < 6; ++i)
            EXPECT_EQ(PixelAt(preview.get(), i % 3, i / 3), expected[i])
                << "layout " << static_cast<int>(layout) << " pixel " << i;
    }
}
