// Reading outputs back in-process: C text of both styles and a compressed stream as an array's bytes,
// each to the colours a display shows, worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/read_back.h"

namespace {

struct TextCase {
    const char* name;
    std::string text;
    PixelLayout layout;
    bool blueFirst;
    std::vector<std::uint8_t> shown;  // red, green, blue of each pixel, top row first
};

std::vector<std::uint8_t> ShownRgb(const BitmapImage* image) {
    std::vector<std::uint8_t> rgb;
    for (std::uint32_t y = 0; y < BitmapHeight(image); ++y)
        for (std::uint32_t x = 0; x < BitmapWidth(image); ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            GetPixelRgb(image, x, y, &r, &g, &b);
            rgb.insert(rgb.end(), {r, g, b});
        }
    return rgb;
}

TEST(ReadBack, ArrayTextOfEitherStyle) {
    const TextCase cases[] = {
        // 6-bit 63, 32, 0 show as 255, 130, 0; 1, 2, 3 as 4, 8, 12.
        {"window style",
         "\nconst unsigned char pic[]={ 0,1,0,2,63,32,0,1,2,3 };\n",
         PixelLayout::Rgb666,
         false,
         {255, 130, 0, 4, 8, 12}},
        // Words are values whichever byte order the layout gives them; blue first swaps the outer channels.
        {"stdint words, low byte first, blue first",
         "#ifndef LOGO_H\n#define LOGO_H\n#include <stdint.h>\n#define LOGO_WIDTH 1\n#define LOGO_HEIGHT 2\n"
         "static const uint16_t logo[] = {\n    0xF800, /* red place */ 0x07FF,\n};\n#endif\n",
         PixelLayout::Rgb565Le,
         true,
         {0, 0, 255, 255, 255, 0}},
        {"stdint bytes",
         "#define A_WIDTH 1 // one\n#define A_HEIGHT 1\nstatic const uint8_t PROGMEM A[] = {0xFC, 0x80, 0x04};\n",
         PixelLayout::Rgb666High,
         false,
         {255, 130, 4}},
        // A run of two rgb565 pixels 0x001F, as a window-style array's bytes.
        {"compressed bytes",
         "const unsigned char pic[] = {86, 82, 76, 69, 1, 2, 0, 0, 1, 0, 2, 0x80, 0x00, 0x1F};",
         PixelLayout::Rgb666,
         false,
         {0, 0, 255, 0, 0, 255}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadBackResult result =
            ReadOutputBack(std::vector<std::uint8_t>(c.text.begin(), c.text.end()), c.layout, c.blueFirst);
        ASSERT_NE(result.shown, nullptr) << result.failure;
        EXPECT_EQ(ShownRgb(result.shown.get()), c.shown);
    }
}

}  // namespace
