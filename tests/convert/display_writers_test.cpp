// Golden bytes of both display formats, written out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "white_pixel.h"
#include "writer_fixture.h"

namespace {

class DisplayWriters : public WriterFixture {
protected:
    Bytes RawStream(bool withPrefix) {
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        EXPECT_TRUE(WriteRawColourStream(BitmapPicture(*image), withPrefix, out));
        std::fclose(out);
        return ReadFileBytes(outPath);
    }

    std::string ArrayText() {
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        EXPECT_TRUE(WriteArrayText(BitmapPicture(*image), out));
        std::fclose(out);
        const Bytes bytes = ReadFileBytes(outPath);
        return std::string(bytes.begin(), bytes.end());
    }
};

const Colour kWhite{255, 255, 255};
const Colour kOrange{255, 128, 0};

}  // namespace

TEST_F(DisplayWriters, white_pixel_in_every_output) {
    Load(1, 1, {kWhite});
    EXPECT_EQ(RawStream(true), kWhitePixelStream);
    EXPECT_EQ(RawStream(false), kWhitePixelStreamUnsized);
    EXPECT_EQ(ArrayText(), kWhitePixelArrayText);
}

TEST_F(DisplayWriters, channels_keep_their_top_six_bits) {
    Load(4, 2,
         {{0, 1, 2},
          {3, 4, 5},
          {127, 128, 129},
          {251, 252, 253},
          {254, 255, 7},
          {8, 11, 12},
          {63, 64, 65},
          {200, 100, 50}});
    EXPECT_EQ(RawStream(false),
              (Bytes{0, 0, 0, 0, 1, 1, 31, 32, 32, 62, 63, 63, 63, 63, 1, 2, 2, 3, 15, 16, 16, 50, 25, 12}));
}

TEST_F(DisplayWriters, rows_are_written_from_the_top_down) {
    Load(2, 2, {{4, 8, 12}, {16, 20, 24}, {28, 32, 36}, {40, 44, 48}});
    EXPECT_EQ(RawStream(true), (Bytes{0, 2, 0, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(DisplayWriters, prefix_puts_height_before_width_high_byte_first) {
    Load(256, 1, std::vector<Colour>(256, Colour{0, 0, 0}));
    const Bytes stream = RawStream(true);
    ASSERT_EQ(stream.size(), 4u + 3u * 256u);
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 4), (Bytes{0, 1, 1, 0}));
    const std::string start = "\nconst unsigned char pic[]={ 0,1,1,0,";
    EXPECT_EQ(ArrayText().substr(0, start.size()), start);
}

// Six pixels to a line, counted across rows; the closing brace on a line of its own after a full line.
TEST_F(DisplayWriters, array_text_lines) {
    std::vector<Colour> gradient;  // 4 x 3: breaks after the sixth and twelfth pixel, mid-row and at the end
    for (std::uint8_t i = 0; i < 12; ++i) gradient.push_back({static_cast<std::uint8_t>(4 * i), 0, 255});
    const struct {
        std::uint32_t width, height;
        std::vector<Colour> colours;
        std::string text;
    } rows[] = {
        {2, 1, std::vector<Colour>(2, kOrange), "\nconst unsigned char pic[]={ 0,1,0,2,63,32,0,63,32,0 };\n"},
        {6, 1, std::vector<Colour>(6, kOrange),
         "\nconst unsigned char pic[]={ 0,1,0,6,63,32,0,63,32,0,63,32,0,63,32,0,63,32,0,63,32,0\n"
         " };\n"},
        {7, 1, std::vector<Colour>(7, kOrange),
         "\nconst unsigned char pic[]={ 0,1,0,7,63,32,0,63,32,0,63,32,0,63,32,0,63,32,0,63,32,0\n"
         ",63,32,0 };\n"},
        {4, 3, gradient,
         "\nconst unsigned char pic[]={ 0,3,0,4,0,0,63,1,0,63,2,0,63,3,0,63,4,0,63,5,0,63\n"
         ",6,0,63,7,0,63,8,0,63,9,0,63,10,0,63,11,0,63\n"
         " };\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.width << " x " << row.height);
        Load(row.width, row.height, row.colours);
        EXPECT_EQ(ArrayText(), row.text);
    }
}

TEST_F(DisplayWriters, every_decimal_value_is_plain) {
    // Values 0..63 all appear: one digit and two digits, no padding.
    std::vector<Colour> colours;
    for (int i = 0; i < 64; ++i) colours.push_back({static_cast<std::uint8_t>(4 * i + 3), 0, 0});
    Load(64, 1, colours);
    const std::string text = ArrayText();
    std::string expected = "\nconst unsigned char pic[]={ 0,1,0,64";
    for (int i = 0; i < 64; ++i) {
        expected += ',';
        expected += std::to_string(i);
        expected += ",0,0";
        if (i % 6 == 5) expected += "\n";
    }
    expected += " };\n";
    EXPECT_EQ(text, expected);
}

TEST_F(DisplayWriters, full_device_reports_failure) {
    Load(1, 1, {kWhite});
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    EXPECT_FALSE(WriteRawColourStream(BitmapPicture(*image), true, full));
    std::fclose(full);
    full = std::fopen("/dev/full", "wb");
    EXPECT_FALSE(WriteArrayText(BitmapPicture(*image), full));
    std::fclose(full);
}

TEST_F(DisplayWriters, wide_rows_convert_across_internal_runs) {
    // 2500 pixels per row is more than one request of pixels; 3 rows put line breaks mid-row.
    const std::uint32_t width = 2500, height = 3;
    std::vector<Colour> colours;
    Bytes expectedRaw;
    std::string expectedText = "\nconst unsigned char pic[]={ 0,3,9,196";
    for (std::uint32_t i = 0; i < width * height; ++i) {
        const Colour c{static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i / 3),
                       static_cast<std::uint8_t>(255 - i)};
        colours.push_back(c);
        for (std::uint8_t channel : {c.red, c.green, c.blue}) {
            expectedRaw.push_back(static_cast<std::uint8_t>(channel / 4));
            expectedText += ',';
            expectedText += std::to_string(channel / 4);
        }
        if (i % 6 == 5) expectedText += '\n';
    }
    expectedText += " };\n";
    Load(width, height, colours);
    EXPECT_EQ(RawStream(false), expectedRaw);
    EXPECT_EQ(ArrayText(), expectedText);
}

TEST_F(DisplayWriters, every_layout_and_wiring_across_runs) {
    // 1030 pixels a row: a full run and a short one, each with whole blocks of pixels and a remainder.
    const std::uint32_t width = 1030, height = 2;
    std::vector<Colour> colours;
    for (std::uint32_t i = 0; i < width * height; ++i)
        colours.push_back({static_cast<std::uint8_t>(i * 7 + 1), static_cast<std::uint8_t>(i * 13 + 2),
                           static_cast<std::uint8_t>(i * 29 + 3)});
    Load(width, height, colours);
    for (const PixelLayout layout :
         {PixelLayout::Rgb666, PixelLayout::Rgb666High, PixelLayout::Rgb565, PixelLayout::Rgb565Le}) {
        for (const bool blueFirst : {false, true}) {
            // The bytes as the layouts are documented.
            Bytes expected;
            std::string text = "\nconst unsigned char pic[]={ 0,2,4,6";
            for (std::uint32_t i = 0; i < colours.size(); ++i) {
                const Colour& c = colours[i];
                const unsigned first = blueFirst ? c.blue : c.red, last = blueFirst ? c.red : c.blue;
                const unsigned value = (first >> 3) << 11 | (c.green >> 2) << 5 | last >> 3;
                const auto byte = [](unsigned value) { return static_cast<std::uint8_t>(value); };
                Bytes pixel{byte(value >> 8), byte(value)};
                if (layout == PixelLayout::Rgb565Le) pixel = {byte(value), byte(value >> 8)};
                if (layout == PixelLayout::Rgb666) pixel = {byte(first >> 2), byte(c.green >> 2), byte(last >> 2)};
                if (layout == PixelLayout::Rgb666High)
                    pixel = {byte(first & 0xFC), byte(c.green & 0xFC), byte(last & 0xFC)};
                expected.insert(expected.end(), pixel.begin(), pixel.end());
                for (const auto byte : pixel) {
                    text += ',';
                    text += std::to_string(byte);
                }
                if (i % 6 == 5) text += '\n';
            }
            text += " };\n";
            OutputOptions options;
            options.layout = layout;
            options.blueFirst = blueFirst;
            options.sizePrefix = false;
            EXPECT_EQ(Written(options), expected) << static_cast<int>(layout) << " " << blueFirst;
            options.format = OutputFormat::ArrayText;
            const Bytes written = Written(options);
            EXPECT_EQ(std::string(written.begin(), written.end()), text)
                << static_cast<int>(layout) << " " << blueFirst;
        }
    }
}

TEST_F(DisplayWriters, array_name_longer_than_the_output_buffer) {
    Load(1, 1, {kWhite});
    OutputOptions options;
    options.format = OutputFormat::ArrayText;
    options.arrayName = std::string(100000, 'a');
    const Bytes written = Written(options);
    std::string expected = kWhitePixelArrayText;
    expected.replace(expected.find("pic"), 3, options.arrayName);
    EXPECT_EQ(std::string(written.begin(), written.end()), expected);
}

namespace {

// 3 x 2: orange, blue, white, black, a dim colour and one with every channel's low bits set.
const std::vector<Colour> kSixColours{{255, 128, 0}, {0, 0, 255}, {255, 255, 255},
                                      {0, 0, 0},     {8, 4, 16},  {200, 100, 50}};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string StdintHead(const char* type, const char* declarationEnd) {
    return std::string(
               "#ifndef LOGO_H\n#define LOGO_H\n\n#include <stdint.h>\n\n#define LOGO_WIDTH 3\n"
               "#define LOGO_HEIGHT 2\n\nstatic const ") +
           type + " logo[] " + declarationEnd + "\n";
}

const std::string kStdintTail = "};\n\n#endif\n";

}  // namespace

TEST_F(DisplayWriters, stdint_header_in_each_kind_of_layout) {
    Load(3, 2, kSixColours);
    struct Case {
        PixelLayout layout;
        bool blueFirst;
        const char* attribute;
        std::string expected;
    };
    const std::string words565 =
        StdintHead("uint16_t", "PROGMEM = {") + "    0xFC00, 0x001F, 0xFFFF, 0x0000, 0x0822, 0xCB26,\n" + kStdintTail;
    const Case cases[] = {
        {PixelLayout::Rgb565, false, "PROGMEM", words565},
        // The word is the 16-bit value, whatever order the layout's bytes take.
        {PixelLayout::Rgb565Le, false, "PROGMEM", words565},
        {PixelLayout::Rgb565, true, "__attribute__((aligned(4)))",
         StdintHead("uint16_t", "__attribute__((aligned(4))) = {") +
             "    0x041F, 0xF800, 0xFFFF, 0x0000, 0x1021, 0x3339,\n" + kStdintTail},
        {PixelLayout::Rgb666, false, "",
         StdintHead("uint8_t", "= {") +
             "    0x3F, 0x20, 0x00, 0x00, 0x00, 0x3F, 0x3F, 0x3F, 0x3F, 0x00, 0x00, 0x00,\n"
             "    0x02, 0x01, 0x04, 0x32, 0x19, 0x0C,\n" +
             kStdintTail},
        {PixelLayout::Rgb666High, true, "",
         StdintHead("uint8_t", "= {") +
             "    0x00, 0x80, 0xFC, 0xFC, 0x00, 0x00, 0xFC, 0xFC, 0xFC, 0x00, 0x00, 0x00,\n"
             "    0x10, 0x04, 0x08, 0x30, 0x64, 0xC8,\n" +
             kStdintTail},
    };
    for (const Case& c : cases) {
        OutputOptions options;
        options.format = OutputFormat::ArrayText;
        options.cStyle = CStyle::Stdint;
        options.arrayName = "logo";
        options.layout = c.layout;
        options.blueFirst = c.blueFirst;
        options.cAttribute = c.attribute;
        EXPECT_EQ(Text(Written(options)), c.expected) << static_cast<int>(c.layout) << " " << c.blueFirst;
    }
}

TEST_F(DisplayWriters, stdint_lines_hold_eight_words_and_end_with_the_last_full_one) {
    Load(8, 1, std::vector<Colour>(8, Colour{255, 128, 0}));
    OutputOptions options;
    options.format = OutputFormat::ArrayText;
    options.cStyle = CStyle::Stdint;
    options.arrayName = "w8";
    options.layout = PixelLayout::Rgb565;
    EXPECT_EQ(Text(Written(options)),
              "#ifndef W8_H\n#define W8_H\n\n#include <stdint.h>\n\n#define W8_WIDTH 8\n#define W8_HEIGHT 1\n\n"
              "static const uint16_t w8[] = {\n"
              "    0xFC00, 0xFC00, 0xFC00, 0xFC00, 0xFC00, 0xFC00, 0xFC00, 0xFC00,\n};\n\n#endif\n");
}

TEST_F(DisplayWriters, stdint_array_of_an_empty_picture_holds_one_zero) {
    // C has no empty arrays; the size macros tell that no pixel is there.
    Load(0, 1, {});
    OutputOptions options;
    options.format = OutputFormat::ArrayText;
    options.cStyle = CStyle::Stdint;
    options.arrayName = "e";
    options.layout = PixelLayout::Rgb565;
    EXPECT_EQ(Text(Written(options)),
              "#ifndef E_H\n#define E_H\n\n#include <stdint.h>\n\n#define E_WIDTH 0\n"
              "#define E_HEIGHT 1\n\nstatic const uint16_t e[] = {\n    0 /* no pixels */\n"
              "};\n\n#endif\n");
}

namespace {

class SpanSource final : public ByteSource {
public:
    explicit SpanSource(const Bytes& bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        // Five at a time, so that pieces end in the middle of a line.
        const std::size_t count = std::min({capacity, std::size_t{5}, bytes_.size() - at_});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), count, buffer);
        at_ += count;
        return count;
    }

private:
    const Bytes& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

TEST_F(DisplayWriters, bytes_made_elsewhere_as_either_style_of_array) {
    Bytes bytes;
    for (int i = 0; i < 20; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 13));
    struct Case {
        CStyle style;
        std::string expected;
    };
    const Case cases[] = {
        {CStyle::Window,
         "\nconst unsigned char pic[]={ 0,13,26,39,52,65,78,91,104,117,130,143,156,169,182,195,208,221\n,234,247 };\n"},
        {CStyle::Stdint,
         "#ifndef PIC_H\n#define PIC_H\n\n#include <stdint.h>\n\n#define PIC_WIDTH 300\n"
         "#define PIC_HEIGHT 2\n\nstatic const uint8_t pic[] __attribute__((section(\".x\"))) = {\n"
         "    0x00, 0x0D, 0x1A, 0x27, 0x34, 0x41, 0x4E, 0x5B, 0x68, 0x75, 0x82, 0x8F,\n"
         "    0x9C, 0xA9, 0xB6, 0xC3, 0xD0, 0xDD, 0xEA, 0xF7,\n};\n\n#endif\n"},
    };
    for (const Case& c : cases) {
        OutputOptions options;
        options.cStyle = c.style;
        options.cAttribute = "__attribute__((section(\".x\")))";
        SpanSource source(bytes);
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        EXPECT_EQ(WriteByteArrayText(source, 300, 2, options, out), 0);
        std::fclose(out);
        EXPECT_EQ(Text(ReadFileBytes(outPath)), c.expected) << static_cast<int>(c.style);
    }
}
