// Dithering: gradients keep their mean, exactly shown colours stay, and the same picture always gives
// the same bytes; the preview shows what the output holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "convert/dither.h"
#include "convert/preview.h"
#include "writer_fixture.h"

namespace {

// What the display shows for a level, as the layouts are documented.
int Shown(int level, int bits) { return bits == 6 ? level << 2 | level >> 4 : level << 3 | level >> 2; }

// Red, green and blue as shown, for every pixel of the raw stream without prefix.
std::vector<std::array<int, 3>> ShownPixels(const Bytes& stream, PixelLayout layout) {
    std::vector<std::array<int, 3>> pixels;
    if (layout == PixelLayout::Rgb666) {
        for (std::size_t i = 0; i + 2 < stream.size(); i += 3)
            pixels.push_back({Shown(stream[i], 6), Shown(stream[i + 1], 6), Shown(stream[i + 2], 6)});
    } else {
        for (std::size_t i = 0; i + 1 < stream.size(); i += 2) {
            const int value = stream[i] << 8 | stream[i + 1];
            pixels.push_back({Shown(value >> 11, 5), Shown(value >> 5 & 63, 6), Shown(value & 31, 5)});
        }
    }
    return pixels;
}

class Dithering : public WriterFixture {
protected:
    Bytes Dithered(PixelLayout layout) {
        OutputOptions options;
        options.sizePrefix = false;
        options.layout = layout;
        options.dither = true;
        return Written(options);
    }
};

}  // namespace

TEST_F(Dithering, grey_ramp_keeps_each_columns_mean_within_half_a_level) {
    constexpr std::uint32_t kWidth = 256, kHeight = 64;
    std::vector<Colour> ramp;
    for (std::uint32_t i = 0; i < kWidth * kHeight; ++i) {
        const auto grey = static_cast<std::uint8_t>(i % kWidth);
        ramp.push_back({grey, grey, grey});
    }
    Load(kWidth, kHeight, ramp);
    for (const PixelLayout layout : {PixelLayout::Rgb666, PixelLayout::Rgb565}) {
        const auto pixels = ShownPixels(Dithered(layout), layout);
        ASSERT_EQ(pixels.size(), kWidth * kHeight);
        for (int channel = 0; channel < 3; ++channel) {
            const double halfLevel = 255.0 / ((channel == 1 || layout == PixelLayout::Rgb666) ? 63 : 31) / 2;
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                double sum = 0;
                for (std::uint32_t y = 0; y < kHeight; ++y) sum += pixels[y * kWidth + x][channel];
                EXPECT_LE(std::fabs(sum / kHeight - x), halfLevel) << "column " << x << " channel " << channel;
            }
        }

        // The preview shows exactly what the output holds.
        OutputOptions options;
        options.layout = layout;
        options.dither = true;
        ASSERT_EQ(WritePreview(BitmapPicture(*image), dir.file("seen.bmp"), options).status, BitmapOk);
        const BitmapImagePtr preview(ReadBitmapFile(dir.file("seen.bmp").c_str()));
        ASSERT_NE(preview, nullptr);
        int mismatches = 0;
        for (std::uint32_t i = 0; i < kWidth * kHeight; ++i) {
            std::uint8_t red, green, blue;
            GetPixelRgb(preview.get(), i % kWidth, i / kWidth, &red, &green, &blue);
            mismatches += red != pixels[i][0] || green != pixels[i][1] || blue != pixels[i][2];
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(Dithering, exactly_shown_colours_stay_as_they_are) {
    // 130 is 6-bit level 32 and 255 the top level; in 16 bits, 82 is 5-bit level 10 and 162 6-bit
    // level 40: 01010 101000 11111 = 0x551F.
    Load(5, 3, std::vector<Colour>(15, Colour{130, 0, 255}));
    Bytes expected;
    for (int i = 0; i < 15; ++i) expected.insert(expected.end(), {32, 0, 63});
    EXPECT_EQ(Dithered(PixelLayout::Rgb666), expected);

    Load(5, 3, std::vector<Colour>(15, Colour{82, 162, 255}));
    expected.clear();
    for (int i = 0; i < 15; ++i) expected.insert(expected.end(), {0x55, 0x1F});
    EXPECT_EQ(Dithered(PixelLayout::Rgb565), expected);
}

TEST_F(Dithering, same_picture_same_pixels_in_any_reading_order) {
    std::vector<Colour> noise;
    for (std::uint32_t i = 0, state = 1; i < 40 * 6; ++i, state = state * 1103515245u + 12345u)
        noise.push_back({std::uint8_t(state >> 8), std::uint8_t(state >> 16), std::uint8_t(state >> 24)});
    Load(40, 6, noise);
    const Bytes first = Dithered(PixelLayout::Rgb565);
    EXPECT_EQ(Dithered(PixelLayout::Rgb565), first);

    // A row above the last one made starts the diffusion over, so it comes out as in order.
    const BitmapPicture source(*image);
    const auto dithered = DitheredPicture::Make(source, KeptBits(PixelLayout::Rgb666, false));
    ASSERT_NE(dithered, nullptr);
    std::vector<std::uint8_t> inOrder(3 * 40 * 6), row(3 * 40);
    for (std::uint32_t y = 0; y < 6; ++y) dithered->ReadRun(0, y, 40, inOrder.data() + 3 * 40 * y);
    for (const std::uint32_t y : {4u, 1u, 5u, 0u}) {
        dithered->ReadRun(0, y, 40, row.data());
        EXPECT_TRUE(std::equal(row.begin(), row.end(), inOrder.begin() + 3 * 40 * y)) << "row " << y;
    }
}
