// The conversion path both front ends share: where outputs go, and the one policy for what a failed
// write leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

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

    const auto convert = [&] {
        const bool viaLink = ConvertPicture(RequestFor(picture, dir.file("link.bmc"))).result ==
                             ConversionResult::OutputNotWritten;
        const bool toDevice = ConvertPicture(RequestFor(picture, dir.file("full.bmc"))).result ==
                              ConversionResult::OutputNotWritten;
        return viaLink && toDevice;
    };
    EXPECT_EXIT(ExitUnderFileSizeLimit(1000, convert), ::testing::ExitedWithCode(0), "");
    // The partial bytes went into the link's target: it goes, the link stays.
    EXPECT_FALSE(fs::exists(dir.path() / "target.bmc"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.bmc"));
    // A device holds nothing partial and is never removed, nor is the link to it.
    EXPECT_TRUE(fs::is_symlink(dir.path() / "full.bmc"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
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
