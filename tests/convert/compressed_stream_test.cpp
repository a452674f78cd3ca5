// The compressed stream's encoder: its bytes for a small picture, the firmware decoder's round trip in
// every layout, and the promised bounds on flat, smooth and noisy pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "convert/compressed_stream.h"
#include "convert/pixel_bytes.h"
#include "vandrel/decode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class MemoryPicture final : public Picture {
public:
    MemoryPicture(std::uint32_t width, std::uint32_t height)
        : width_(width), height_(height), rgb(3u * width * height) {}
    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* out) const override {
        std::copy_n(rgb.begin() + 3 * (std::size_t{y} * width_ + x), 3 * count, out);
    }
    void Set(std::uint32_t x, std::uint32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &rgb[3 * (std::size_t{y} * width_ + x)];
        p[0] = r, p[1] = g, p[2] = b;
    }

private:
    std::uint32_t width_, height_;

public:
    Bytes rgb;
};

Bytes Encoded(const Picture& picture, PixelLayout layout, bool blueFirst) {
    Bytes stream;
    EXPECT_TRUE(EncodeCompressedStream(picture, layout, blueFirst, [&](const std::uint8_t* bytes, std::size_t n) {
        stream.insert(stream.end(), bytes, bytes + n);
        return true;
    }));
    return stream;
}

// red red red blue / the same again / green white red blue
MemoryPicture FourByThree() {
    MemoryPicture picture(4, 3);
    const std::uint8_t rows[3][4][3] = {{{255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {0, 0, 255}},
                                        {{255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {0, 0, 255}},
                                        {{0, 255, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}}};
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 4; ++x) picture.Set(x, y, rows[y][x][0], rows[y][x][1], rows[y][x][2]);
    return picture;
}

TEST(CompressedStream, WritesTheBytesOfASmallPicture) {
    // Header, a run of three, a literal of one, a copy of the whole row, a literal of two, a copy of two.
    // clang-format off
    const Bytes rgb565{'V', 'R', 'L', 'E', 1, 2, 0, 0, 3, 0, 4,
                       0x81, 0xF8, 0x00,  0x00, 0x00, 0x1F,  0xFF, 0x03,  0x01, 0x07, 0xE0, 0xFF, 0xFF,  0xFF, 0x01};
    const Bytes rgb666BlueFirst{'V', 'R', 'L', 'E', 1, 0, 1, 0, 3, 0, 4,
                                0x81, 0, 0, 63,  0x00, 63, 0, 0,  0xFF, 0x03,  0x01, 0, 63, 0, 63, 63, 63,  0xFF, 0x01};
    // clang-format on
    EXPECT_EQ(Encoded(FourByThree(), PixelLayout::Rgb565, false), rgb565);
    EXPECT_EQ(Encoded(FourByThree(), PixelLayout::Rgb666, true), rgb666BlueFirst);
    // 200 x 2, each row 130 black then 70 white pixels: a long run, a short one, then a long copy.
    MemoryPicture flat(200, 2);
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t x = 130; x < 200; ++x) flat.Set(x, y, 255, 255, 255);
    // clang-format off
    const Bytes longOps{'V', 'R', 'L', 'E', 1, 3, 0, 0, 2, 0, 200,
                        0xFF, 0xC0, 129, 0, 0,  0xC4, 0xFF, 0xFF,  0xFF, 0x80, 199};
    // clang-format on
    EXPECT_EQ(Encoded(flat, PixelLayout::Rgb565Le, false), longOps);
}

// Flat panels, a few runs, rows repeating with a change, and noise, so every operation is used.
MemoryPicture Patterned(std::uint32_t width, std::uint32_t height) {
    MemoryPicture picture(width, height);
    std::mt19937 random(width * 7919 + height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t noise = static_cast<std::uint8_t>(random());
            if (y % 4 == 1 && x % 17 != 0)
                std::copy_n(&picture.rgb[3 * (std::size_t{y - 1} * width + x)], 3,
                            &picture.rgb[3 * (std::size_t{y} * width + x)]);
            else if ((x + y) % 11 < 3)
                picture.Set(x, y, noise, static_cast<std::uint8_t>(noise * 3), 200);
            else
                picture.Set(x, y, static_cast<std::uint8_t>(x / 5 * 40), 100, static_cast<std::uint8_t>(y / 3 * 60));
        }
    return picture;
}

TEST(CompressedStream, DecodesToTheLayoutBytesInEveryLayout) {
    const std::pair<std::uint32_t, std::uint32_t> sides[] = {{300, 1}, {1, 300}, {7, 5}, {131, 9}};
    for (PixelLayout layout :
         {PixelLayout::Rgb666, PixelLayout::Rgb666High, PixelLayout::Rgb565, PixelLayout::Rgb565Le})
        for (bool blueFirst : {false, true})
            for (const auto& [width, height] : sides) {
                SCOPED_TRACE(testing::Message()
                             << static_cast<int>(layout) << " bgr " << blueFirst << " " << width << "x" << height);
                const MemoryPicture picture = Patterned(width, height);
                const Bytes stream = Encoded(picture, layout, blueFirst);
                vandrel_decoder d;
                ASSERT_EQ(vandrel_decode_open(&d, stream.data(), stream.size()), 0);
                ASSERT_EQ(d.width, width);
                ASSERT_EQ(d.height, height);
                ASSERT_EQ(d.blue_first, blueFirst ? 1 : 0);
                Bytes row(std::size_t{BytesPerPixel(layout)} * width), expected(row.size());
                for (std::uint32_t y = 0; y < height; ++y) {
                    ASSERT_EQ(vandrel_decode_row(&d, row.data()), 0);
                    LayoutPixelBytes(layout, blueFirst, &picture.rgb[3 * std::size_t{y} * width], width,
                                     expected.data());
                    ASSERT_EQ(row, expected) << "row " << y;
                }
            }
}

// The least any plain run-length coding of the pixel sequence takes: runs and literals of 1 to 128
// pixels, each with one byte of count.
std::size_t PlainRunLengthBytes(const Bytes& pixels, unsigned bpp) {
    const std::size_t count = pixels.size() / bpp;
    std::vector<std::size_t> least(count + 1, SIZE_MAX);
    least[0] = 0;
    std::size_t sameRun = 0;  // equal pixels ending at the current end
    for (std::size_t end = 1; end <= count; ++end) {
        const bool same =
            end > 1 && std::equal(&pixels[(end - 2) * bpp], &pixels[(end - 1) * bpp], &pixels[(end - 1) * bpp]);
        sameRun = same ? sameRun + 1 : 1;
        for (std::size_t n = 1; n <= std::min<std::size_t>(128, end); ++n) {
            const std::size_t cost = n <= sameRun ? 1 + bpp : 1 + n * bpp;
            least[end] = std::min(least[end], least[end - n] + cost);
        }
    }
    return least[count];
}

TEST(CompressedStream, NeverLargerThanPlainRunLengthCodingOrTheRawBound) {
    const std::uint32_t width = 150, height = 20;
    MemoryPicture flat(width, height), gradient(width, height), noise(width, height);
    std::mt19937 random(5);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            flat.Set(x, y, 10, 20, 30);
            gradient.Set(x, y, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 12), 90);
            noise.Set(x, y, static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 7);
        }
    for (const MemoryPicture* picture : {&flat, &gradient, &noise})
        for (PixelLayout layout : {PixelLayout::Rgb666, PixelLayout::Rgb565}) {
            const unsigned bpp = BytesPerPixel(layout);
            const std::size_t pixels = std::size_t{width} * height;
            Bytes raw(bpp * pixels);
            LayoutPixelBytes(layout, false, picture->rgb.data(), static_cast<std::uint32_t>(pixels), raw.data());
            const std::size_t size = Encoded(*picture, layout, false).size() - VANDREL_STREAM_HEADER_SIZE;
            EXPECT_LE(size, raw.size() + (pixels + 127) / 128);
            EXPECT_LE(size, PlainRunLengthBytes(raw, bpp));
        }
}

}  // namespace
