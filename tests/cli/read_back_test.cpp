// --decode through the built program: what it reads back is the conversion's preview, whatever the
// layout, wiring, dithering, format and compression; what it cannot read is one line and exit 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "convert/picture_files.h"
#include "program_run.h"

namespace {

// 13 x 7: flat stretches, a repeated row and colours whose low bits differ, so that runs, copies,
// literals and dithering all show.
Bytes SamplePicture() {
    std::vector<Colour> colours;
    for (std::uint32_t y = 0; y < 7; ++y)
        for (std::uint32_t x = 0; x < 13; ++x) {
            const std::uint32_t row = y == 3 ? 2 : y;
            colours.push_back(
                x < 4 ? Colour{200, 30, 7}
                      : Colour{std::uint8_t(x * 19 + row * 3), std::uint8_t(255 - x * row), std::uint8_t(row * 37)});
        }
    return PictureFile(13, 7, colours);
}

TEST(cli_read_back, shows_what_the_preview_shows) {
    ScratchDir dir;
    const std::string picture = dir.file("sample.bmp");
    WriteFileBytes(picture, SamplePicture());
    for (const char* layout : {"rgb666", "rgb666-high", "rgb565", "rgb565-le"})
        for (const char* wiring : {"", " --bgr", " --rotate 90 --flip vertical"})
            for (const char* dither : {"", " --dither"})
                for (const char* format : {"", " --compress rle", " --header", " --header --compress rle",
                                           " --header --c-style stdint", " --header --c-style stdint --compress rle"}) {
                    const std::string options = std::string("--layout ") + layout + wiring;
                    SCOPED_TRACE(options + dither + format);
                    const ProgramRun convert =
                        RunProgram(dir, options + dither + format + " --preview preview.bmp -o out '" + picture + "'",
                                   "cd '" + dir.path().string() + "' &&");
                    ASSERT_EQ(convert.exitCode, 0) << convert.err;
                    const ProgramRun back =
                        RunProgram(dir, options + " --decode out -o back.bmp", "cd '" + dir.path().string() + "' &&");
                    ASSERT_EQ(back.exitCode, 0) << back.err;
                    EXPECT_EQ(ReadFileBytes(dir.file("back.bmp")), ReadFileBytes(dir.file("preview.bmp")));
                }
}

TEST(cli_read_back, what_it_cannot_read_is_one_line_and_exit_1) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"raw stream of other sides", std::string("\0\2\0\2", 4) + std::string(11, '\1')},
        {"compressed stream cut", std::string("VRLE\1\2\0\0\2\0\2\x81\xF8", 13)},
        {"compressed stream of a later version", std::string("VRLE\2\2\0\0\1\0\1\0\0\0", 14)},
        {"text without an array", "#define X 1\n"},
        {"array of words in a three-byte layout",
         "#define A_WIDTH 1\n#define A_HEIGHT 1\nstatic const uint16_t A[] = {0x1234};\n"},
        {"array value out of range", "const unsigned char pic[]={ 0,1,0,1,63,300,2 };\n"},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir.file("in"), Bytes(c.bytes.begin(), c.bytes.end()));
        const ProgramRun run = RunProgram(dir, "--decode '" + dir.file("in") + "' -o '" + dir.file("back.bmp") + "'");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err.rfind("vandrel-convert: " + dir.file("in") + ": ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("back.bmp")));
    }
}

}  // namespace
