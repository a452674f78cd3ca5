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
            allFailed &= ConvertPicture(RequestFor(picture, dir.file(output))).result ==
                         ConversionResult::OutputNotWritten;
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
