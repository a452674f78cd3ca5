// Every pixel layout through the built program, golden bytes worked out by hand, and the preview that
// goes with a layout.
#include <gtest/gtest.h>

#include "convert/picture_files.h"
#include "program_run.h"

namespace {

// Two pixels whose every channel has low bits set: 201 = 110010 01, 102 = 011001 10, 51 = 001100 11,
// then 7 = 000001 11, 255 = 111111 11, 131 = 100000 11.
const std::vector<Colour> kTwoPixels{{201, 102, 51}, {7, 255, 131}};

std::string Numbers(const Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += ',';
        text += std::to_string(byte);
    }
    return text;
}

}  // namespace

TEST(cli_layouts, golden_bytes_of_every_layout_and_wiring_in_both_formats) {
    ScratchDir dir;
    const std::string picture = dir.file("two.bmp");
    WriteFileBytes(picture, PictureFile(2, 1, kTwoPixels));
    // 16-bit values: 11001 011001 00110 = 0xCB26 and 00000 111111 10000 = 0x07F0; blue first,
    // 00110 011001 11001 = 0x3339 and 10000 111111 00000 = 0x87E0.
    const std::vector<std::pair<std::string, Bytes>> cases{
        {"", {50, 25, 12, 1, 63, 32}},
        {"--bgr", {12, 25, 50, 32, 63, 1}},
        {"--layout rgb666-high", {200, 100, 48, 4, 252, 128}},
        {"--layout=rgb666-high --bgr", {48, 100, 200, 128, 252, 4}},
        {"--layout rgb565", {0xCB, 0x26, 0x07, 0xF0}},
        {"--layout rgb565 --bgr", {0x33, 0x39, 0x87, 0xE0}},
        {"--layout rgb565-le", {0x26, 0xCB, 0xF0, 0x07}},
        {"--bgr --layout rgb565-le", {0x39, 0x33, 0xE0, 0x87}},
    };
    const Bytes prefix{0, 1, 0, 2};
    for (const auto& [options, pixels] : cases) {
        const std::string run = options + " -o '" + dir.file("out") + "' '" + picture + "'";
        ASSERT_EQ(RunProgram(dir, run).exitCode, 0) << options;
        Bytes withPrefix = prefix;
        withPrefix.insert(withPrefix.end(), pixels.begin(), pixels.end());
        EXPECT_EQ(ReadFileBytes(dir.file("out")), withPrefix) << options;
        ASSERT_EQ(RunProgram(dir, "--no-size " + run).exitCode, 0) << options;
        EXPECT_EQ(ReadFileBytes(dir.file("out")), pixels) << options;
        ASSERT_EQ(RunProgram(dir, "--header " + run).exitCode, 0) << options;
        EXPECT_EQ(ReadText(dir.file("out")), "\nconst unsigned char pic[]={ 0,1,0,2" + Numbers(pixels) + " };\n")
            << options;
    }
}

TEST(cli_layouts, sixteen_bit_text_breaks_after_twelve_numbers_under_its_own_name) {
    ScratchDir dir;
    const std::string picture = dir.file("seven.bmp");
    WriteFileBytes(picture, PictureFile(7, 1, std::vector<Colour>(7, kTwoPixels[0])));
    const ProgramRun run = RunProgram(dir, "--header --layout rgb565-le --name logo -o - '" + picture + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "\nconst unsigned char logo[]={ 0,1,0,7,38,203,38,203,38,203,38,203,38,203,38,203\n"
              ",38,203 };\n");
}

TEST(cli_layouts, preview_shows_the_layouts_levels) {
    ScratchDir dir;
    const std::string picture = dir.file("two.bmp");
    WriteFileBytes(picture, PictureFile(2, 1, kTwoPixels));
    const ProgramRun run = RunProgram(
        dir, "--layout rgb565 --bgr --preview '" + dir.file("seen.bmp") + "' -o /dev/null '" + picture + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Blue, green, red of each pixel: 5-bit red 25 and 0 show as 206 and 0, 6-bit green 25 and 63 as
    // 101 and 255, 5-bit blue 6 and 16 as 49 and 132; the wiring changes nothing that is seen.
    const Bytes preview = ReadFileBytes(dir.file("seen.bmp"));
    ASSERT_EQ(preview.size(), 62u);
    EXPECT_EQ(Bytes(preview.begin() + 54, preview.end()), (Bytes{49, 101, 206, 132, 255, 0, 0, 0}));
}
