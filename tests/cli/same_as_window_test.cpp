// The program's output is the window's, byte for byte, for the same picture and options.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/fake_window.h"
#include "convert/picture_files.h"
#include "program_run.h"
#include "white_pixel.h"
#include "window_command/conversion_command.h"

namespace fs = std::filesystem;

namespace {

Bytes WindowOutput(const std::string& picture, bool header, bool size) {
    const fs::path before = fs::current_path();
    FakeWindow window;
    window.choice = picture;
    window.createHeader = header;
    window.addSize = size;
    RunConversionCommand(window);
    fs::current_path(before);
    const fs::path output = fs::path(picture).replace_extension(header ? ".h" : ".bmc");
    const Bytes bytes = ReadFileBytes(output.string());
    fs::remove(output);
    return bytes;
}

std::vector<Colour> Varied(std::uint32_t count) {
    std::vector<Colour> colours;
    for (std::uint32_t i = 0; i < count; ++i)
        colours.push_back({static_cast<std::uint8_t>(i * 37 + 3), static_cast<std::uint8_t>(i * 91),
                           static_cast<std::uint8_t>(255 - i * 13)});
    return colours;
}

}  // namespace

TEST(cli_same_as_window, every_format_and_option_for_two_picture_shapes) {
    ScratchDir dir;
    // 7 x 5: rows with fill bytes and a pixel count that is not a multiple of six; 6 x 2: one that is.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes{{7, 5}, {6, 2}};
    for (const auto& [width, height] : sizes) {
        const std::string picture = dir.file("pic.bmp");
        WriteFileBytes(picture, PictureFile(width, height, Varied(width * height)));
        for (const bool header : {false, true}) {
            for (const bool size : {false, true}) {
                std::string options = header ? "--header " : "";
                if (!size) options += "--no-size ";
                const ProgramRun run = RunProgram(dir, options + "-o '" + dir.file("cli.out") + "' '" + picture + "'");
                ASSERT_EQ(run.exitCode, 0) << run.err;
                EXPECT_EQ(ReadFileBytes(dir.file("cli.out")), WindowOutput(picture, header, size))
                    << width << "x" << height << " " << options;
            }
        }
    }
}

TEST(cli_same_as_window, golden_bytes_of_a_white_pixel) {
    ScratchDir dir;
    const std::string picture = dir.file("white.bmp");
    WriteFileBytes(picture, PictureFile(1, 1, {{255, 255, 255}}));

    ASSERT_EQ(RunProgram(dir, "'" + picture + "'").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.file("white.bmc")), kWhitePixelStream);
    ASSERT_EQ(RunProgram(dir, "--no-size '" + picture + "'").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.file("white.bmc")), kWhitePixelStreamUnsized);
    // The prefix is part of the array text whatever --no-size says, as in the window.
    ASSERT_EQ(RunProgram(dir, "--header --no-size '" + picture + "'").exitCode, 0);
    EXPECT_EQ(ReadText(dir.file("white.h")), kWhitePixelArrayText);
}
