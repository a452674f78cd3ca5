// The conversion path both front ends share: where outputs go, and the one policy for what a failed
// write leaves behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "convert/conversion.h"
#include "picture_files.h"

namespace fs = std::filesystem;

namespace {

ConversionRequest RequestFor(const std::string& picture, const std::string& output) {
    ConversionRequest request;
    request.picturePath = picture;
    request.placement = OutputPlacement::GivenPath;
    request.outputPath = output;
    return request;
}

}  // namespace

TEST(conversion, output_placement) {
    ConversionRequest request;
    request.picturePath = "pics/logo.bmp";
    EXPECT_EQ(OutputPathFor(request), "logo.bmc");
    request.placement = OutputPlacement::BesidePicture;
    request.output.format = OutputFormat::ArrayText;
    EXPECT_EQ(OutputPathFor(request), "pics/logo.h");
    request.placement = OutputPlacement::StandardOutput;
    EXPECT_EQ(OutputPathFor(request), "");
}

TEST(conversion, failed_write_takes_back_the_file_the_name_leads_to_and_nothing_else) {
    ScratchDir dir;
    // 40 x 40 needs 4804 bytes; the child may write no more than 1000 to any file.
    const std::string picture = dir.file("big.bmp");
    WriteFileBytes(picture, PictureFile(40, 40, std::vector<Colour>(1600, Colour{9, 9, 9})));
    WriteFileBytes(dir.file("target.bmc"), Bytes{1});
    fs::create_symlink(dir.file("target.bmc"), dir.path() / "link.bmc");
    fs::create_symlink("/dev/full", dir.path() / "full.bmc");
    WriteFileBytes(dir.file("hard.bmc"), Bytes{1});
    fs::create_hard_link(dir.file("hard.bmc"), dir.path() / "other-name.bmc");

    const auto convert = [&] {
        bool allFailed = true;
        for (const char* output : {"link.bmc", "full.bmc", "hard.bmc"})
            allFailed &=
                ConvertPicture(RequestFor(picture, dir.file(output))).result == ConversionResult::OutputNotWritten;
        return allFailed;
    };
    EXPECT_EXIT(ExitUnderFileSizeLimit(1000, convert), ::testing::ExitedWithCode(0), "");
    // The partial bytes went into the link's target: it goes, the link stays.
    EXPECT_FALSE(fs::exists(dir.path() / "target.bmc"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.bmc"));
    // A device holds nothing partial and is never removed, nor is the link to it.
    EXPECT_TRUE(fs::is_symlink(dir.path() / "full.bmc"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    // Another hard link to the output keeps no partial bytes either.
    EXPECT_FALSE(fs::exists(dir.path() / "hard.bmc"));
    EXPECT_EQ(fs::file_size(dir.path() / "other-name.bmc"), 0u);
}

TEST(conversion, a_pipe_without_a_reader_is_refused_at_once) {
    ScratchDir dir;
    const std::string picture = dir.file("in.bmp");
    WriteFileBytes(picture, PictureFile(1, 1, {{1, 2, 3}}));
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    struct Case {
        std::string output;
        std::optional<std::string> preview;
        ConversionResult expected;
    };
    const Case cases[] = {
        {dir.file("pipe"), std::nullopt, ConversionResult::OutputNotCreated},
        {dir.file("out.bmc"), dir.file("pipe"), ConversionResult::PreviewNotWritten},
    };
    for (const Case& c : cases) {
        ConversionRequest request = RequestFor(picture, c.output);
        request.previewPath = c.preview;
        const auto convert = [&] {
            const ConversionOutcome outcome = ConvertPicture(request);
            return outcome.result == c.expected && outcome.systemError == ENXIO;
        };
        EXPECT_EXIT(ExitWithinSeconds(10, convert), ::testing::ExitedWithCode(0), "") << c.output;
    }
    EXPECT_FALSE(fs::exists(dir.file("out.bmc")));
}

TEST(conversion, a_failed_preview_takes_the_output_back_too) {
    ScratchDir dir;
    const std::string picture = dir.file("in.bmp");
    WriteFileBytes(picture, PictureFile(1, 1, {{1, 2, 3}}));
    ConversionRequest request = RequestFor(picture, dir.file("out.bmc"));
    request.previewPath = dir.file("missing/seen.bmp");
    const ConversionOutcome outcome = ConvertPicture(request);
    EXPECT_EQ(outcome.result, ConversionResult::PreviewNotWritten);
    EXPECT_EQ(outcome.previewStatus, BitmapFileNotFound);
    EXPECT_FALSE(fs::exists(dir.file("out.bmc")));
}

TEST(conversion, turned_output_and_the_preview_turned_back) {
    ScratchDir dir;
    const std::string picture = dir.file("in.bmp");
    // 3 x 2, top row 0 4 8, bottom row 12 16 20 (grey, each a whole 6-bit level).
    std::vector<Colour> greys;
    for (std::uint8_t grey = 0; grey <= 20; grey += 4) greys.push_back({grey, grey, grey});
    WriteFileBytes(picture, PictureFile(3, 2, greys));
    ConversionRequest request = RequestFor(picture, dir.file("out.bmc"));
    request.geometry.rotation = Rotation::Clockwise90;
    request.geometry.flip = Flip::Vertical;
    request.previewPath = dir.file("seen.bmp");
    ASSERT_EQ(ConvertPicture(request).result, ConversionResult::Converted);
    // Turned: rows (12 0) (16 4) (20 8); then mirrored top to bottom; stored 2 wide, 3 high.
    EXPECT_EQ(ReadFileBytes(dir.file("out.bmc")),
              (Bytes{0, 3, 0, 2, 5, 5, 5, 2, 2, 2, 4, 4, 4, 1, 1, 1, 3, 3, 3, 0, 0, 0}));
    // The preview shows the picture upright again.
    const BitmapImagePtr seen(ReadBitmapFile(dir.file("seen.bmp").c_str()));
    ASSERT_NE(seen, nullptr);
    ASSERT_EQ(seen->width, 3);
    ASSERT_EQ(seen->height, 2);
    for (std::uint32_t i = 0; i < 6; ++i) {
        std::uint8_t red, green, blue;
        GetPixelRgb(seen.get(), i % 3, i / 3, &red, &green, &blue);
        EXPECT_EQ(red, greys[i].red) << i;
    }
}

TEST(conversion, a_fitted_picture_over_the_memory_limit_leaves_nothing_behind) {
    ScratchDir dir;
    const std::string picture = dir.file("in.bmp");
    WriteFileBytes(picture, PictureFile(4, 4, std::vector<Colour>(16, Colour{1, 2, 3})));
    ConversionRequest request = RequestFor(picture, dir.file("out.bmc"));
    request.previewPath = dir.file("seen.bmp");
    request.geometry.width = 100;
    request.geometry.height = 50;
    request.geometry.rotation = Rotation::Clockwise270;
    // 4 x 4 decoded at 4 bytes a pixel, 100 x 50 held at 3: 64 + 15000 bytes.
    request.memoryLimit = 64 + 15000 - 1;
    const ConversionOutcome outcome = ConvertPicture(request);
    EXPECT_EQ(outcome.result, ConversionResult::OverMemoryLimit);
    EXPECT_EQ(outcome.facts.memoryNeeded, 64u + 15000u);
    EXPECT_EQ(outcome.fittedMemory, 15000u);
    EXPECT_FALSE(fs::exists(dir.file("out.bmc")));
    EXPECT_FALSE(fs::exists(dir.file("seen.bmp")));
    request.memoryLimit += 1;
    EXPECT_EQ(ConvertPicture(request).result, ConversionResult::Converted);
    EXPECT_EQ(ReadFileBytes(dir.file("out.bmc")).size(), 4u + 3u * 100 * 50);
}
