// The built program as a build script meets it: where outputs land, exit codes, and the exact
// message of every failure, with no partial file left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "cli/run_command_line.h"
#include "convert/picture_files.h"
#include "program_run.h"
#include "white_pixel.h"

namespace fs = std::filesystem;

namespace {

const std::vector<Colour> kWhite{{255, 255, 255}};

class CliProgram : public ::testing::Test {
protected:
    std::string Picture(const std::string& name, std::uint32_t width = 1, std::uint32_t height = 1,
                        std::uint16_t depth = 24) {
        const std::string path = dir.file(name);
        WriteFileBytes(path,
                       PictureFile(width, height, std::vector<Colour>(width * height, Colour{255, 255, 255}), depth));
        return path;
    }
    bool Exists(const std::string& name) const { return fs::exists(fs::symlink_status(dir.path() / name)); }
    bool IsRegularFile(const std::string& name) const { return fs::is_regular_file(dir.path() / name); }
    std::string Quoted(const std::string& path) const { return "'" + path + "'"; }

    ScratchDir dir;
};

}  // namespace

TEST_F(CliProgram, output_lands_beside_the_picture_not_in_the_working_directory) {
    fs::create_directory(dir.path() / "pics");
    fs::create_directory(dir.path() / "elsewhere");
    Picture("pics/logo.bmp");
    const ProgramRun run = RunProgram(dir, "pics/logo.bmp", "cd '" + dir.path().string() + "' &&");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFileBytes(dir.file("pics/logo.bmc")), kWhitePixelStream);
    EXPECT_FALSE(Exists("logo.bmc"));
}

TEST_F(CliProgram, dash_output_goes_to_standard_output_only) {
    const ProgramRun run = RunProgram(dir, "-o - " + Quoted(Picture("white.bmp")));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string(kWhitePixelStream.begin(), kWhitePixelStream.end()));
    EXPECT_FALSE(Exists("white.bmc"));
}

TEST_F(CliProgram, batch_goes_on_past_a_failed_picture) {
    const std::string first = Picture("first.bmp");
    const std::string missing = dir.file("missing.bmp");
    const std::string last = Picture("last.bmp");
    const ProgramRun run = RunProgram(dir, Quoted(first) + " " + Quoted(missing) + " " + Quoted(last));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vandrel-convert: " + missing + ": File not found\n");
    EXPECT_EQ(ReadFileBytes(dir.file("first.bmc")), kWhitePixelStream);
    EXPECT_EQ(ReadFileBytes(dir.file("last.bmc")), kWhitePixelStream);
    EXPECT_FALSE(Exists("missing.bmc"));
}

TEST_F(CliProgram, pictures_that_cannot_be_converted_name_their_cause) {
    WriteFileBytes(dir.file("text.bmp"), Bytes(60, 'x'));
    Bytes bitFields = BmpHeader({.bitsPerPixel = 32, .imageSize = 4, .compression = 3});
    bitFields.resize(bitFields.size() + 4);
    WriteFileBytes(dir.file("fields.bmp"), bitFields);
    const std::vector<std::pair<std::string, std::string>> cases{
        {"text.bmp", "File is not a valid BMP image; Qt: Unsupported image format"},
        // Bit fields whose three masks are missing.
        {"fields.bmp", "the file ends early: it stops inside its bit masks"},
        {Picture("wide.bmp", 65536, 1),
         "picture is 65536 x 1 pixels; at most 65535 wide and 65535 high can be converted"},
    };
    for (const auto& [picture, cause] : cases) {
        const std::string path = dir.file(fs::path(picture).filename().string());
        const ProgramRun run = RunProgram(dir, Quoted(path));
        EXPECT_EQ(run.exitCode, 1) << cause;
        EXPECT_EQ(run.err, "vandrel-convert: " + path + ": " + cause + "\n");
        EXPECT_FALSE(Exists(fs::path(path).stem().string() + ".bmc")) << cause;
    }
}

TEST_F(CliProgram, output_that_cannot_be_created_gives_the_system_reason) {
    const std::string picture = Picture("white.bmp");
    const std::string inMissingFolder = dir.file("missing/out.bmc");
    ProgramRun run = RunProgram(dir, "-o " + Quoted(inMissingFolder) + " " + Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "vandrel-convert: " + picture + ": cannot create " + inMissingFolder + ": No such file or directory\n");

    fs::create_directory(dir.path() / "white.bmc");
    run = RunProgram(dir, Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "vandrel-convert: " + picture + ": cannot create " + dir.file("white.bmc") + ": Is a directory\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / "white.bmc"));
}

TEST_F(CliProgram, failed_write_leaves_no_partial_file) {
    // 40 x 40 gives 4804 bytes; the file size limit stops the write after 1024 with "File too large".
    const std::string picture = Picture("big.bmp", 40, 40);
    const ProgramRun run = RunProgram(dir, Quoted(picture), "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vandrel-convert: " + picture + ": cannot write " + dir.file("big.bmc") + ": File too large\n");
    EXPECT_FALSE(Exists("big.bmc"));
}

TEST_F(CliProgram, pipe_without_reader_as_output_fails_at_once) {
    // In-process, so that the alarm ends a regression that waits for a reader.
    const std::string picture = Picture("white.bmp");
    ASSERT_EQ(mkfifo(dir.file("white.bmc").c_str(), 0600), 0);
    const auto run = [&] { return RunCommandLine({picture}, stdout, stderr) == 1; };
    EXPECT_EXIT(
        ExitWithinSeconds(10, run), ::testing::ExitedWithCode(0),
        "^vandrel-convert: " + picture + ": cannot create " + dir.file("white.bmc") + ": No such device or address\n$");
}

TEST_F(CliProgram, batch_never_replaces_its_own_earlier_output) {
    // Both pictures are named "pic.bmc" beside themselves; the second one's would replace the first's.
    const std::string first = Picture("pic.bmp");
    const std::string second = Picture("pic.BMP", 2, 1);
    fs::create_directory_symlink(dir.path(), dir.path() / "same");
    for (const std::string& clash : {second, dir.file("same/pic.BMP")}) {
        fs::remove(dir.file("pic.bmc"));
        const ProgramRun run = RunProgram(dir, Quoted(first) + " " + Quoted(clash));
        EXPECT_EQ(run.exitCode, 1) << clash;
        const std::string output = fs::path(clash).replace_extension(".bmc").string();
        EXPECT_EQ(run.err, "vandrel-convert: " + clash + ": the output " + output + " would replace the output of " +
                               first + "\n");
        EXPECT_EQ(ReadFileBytes(dir.file("pic.bmc")), kWhitePixelStream) << clash;
    }
}

TEST_F(CliProgram, full_device_as_output_is_reported_and_left_alone) {
    const std::string picture = Picture("white.bmp");
    fs::create_symlink("/dev/full", dir.path() / "white.bmc");
    const ProgramRun run = RunProgram(dir, Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vandrel-convert: " + picture + ": cannot write " + dir.file("white.bmc") +
                           ": No space left on device\n");
    // Nothing partial was stored anywhere, and a device is never deleted.
    EXPECT_FALSE(IsRegularFile("white.bmc"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    const ProgramRun toStdout = RunProgram(dir, "-o - " + Quoted(picture) + " >/dev/full");
    EXPECT_EQ(toStdout.exitCode, 1);
    EXPECT_EQ(toStdout.err,
              "vandrel-convert: " + picture + ": cannot write to standard output: No space left on device\n");
}

TEST_F(CliProgram, output_named_like_the_picture_does_not_destroy_it) {
    // The naming rule turns "pic.bmc" into "pic.bmc": converting must not empty the picture.
    const std::string picture = Picture("pic.bmc");
    const Bytes original = ReadFileBytes(picture);
    const ProgramRun run = RunProgram(dir, Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "vandrel-convert: " + picture + ": the output " + picture + " would replace the picture itself\n");
    EXPECT_EQ(ReadFileBytes(picture), original);
}

TEST_F(CliProgram, usage_errors_exit_2_and_convert_nothing) {
    const std::string picture = Picture("a.bmp");
    const std::string other = Picture("b.bmp");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"-o x.bmc " + Quoted(picture) + " " + Quoted(other), "-o names one output, but 2 pictures were given"},
        {"--frobnicate " + Quoted(picture), "unknown option '--frobnicate'"},
        {Quoted(picture) + " -o", "option '-o' needs a path"},
        {"--header", "no picture given"},
        {"--header --name 2logo " + Quoted(picture),
         "the array name '2logo' starts with a digit; a C identifier starts with a letter or '_'"},
    };
    for (const auto& [arguments, reason] : cases) {
        const ProgramRun run = RunProgram(dir, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(run.err, "vandrel-convert: " + reason + "\nTry 'vandrel-convert --help' for more information.\n");
    }
    EXPECT_FALSE(Exists("a.bmc"));
    EXPECT_FALSE(Exists("b.bmc"));
    EXPECT_FALSE(Exists("x.bmc"));
}

TEST_F(CliProgram, help_and_version) {
    ProgramRun run = RunProgram(dir, "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.starts_with("Usage: vandrel-convert [OPTION]... PICTURE...\n")) << run.out;
    EXPECT_EQ(run.err, "");
    run = RunProgram(dir, "--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "vandrel-convert " VANDREL_EXPECTED_VERSION "\n");
}

TEST_F(CliProgram, preview_beside_the_output) {
    const std::string picture = Picture("white.bmp", 2, 1);
    const ProgramRun run = RunProgram(dir, "--preview " + Quoted(dir.file("seen.bmp")) + " " + Quoted(picture));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(IsRegularFile("white.bmc"));
    // 54 header bytes, then one row of two white pixels padded to 8 bytes.
    const Bytes preview = ReadFileBytes(dir.file("seen.bmp"));
    ASSERT_EQ(preview.size(), 62u);
    EXPECT_EQ(Bytes(preview.begin() + 54, preview.end()), (Bytes{255, 255, 255, 255, 255, 255, 0, 0}));
}

TEST_F(CliProgram, preview_failures_leave_no_partial_preview) {
    const std::string picture = Picture("big.bmp", 40, 40);
    // Output to /dev/null is not bound by the file size limit; the 4854-byte preview is.
    ProgramRun run = RunProgram(dir, "-o /dev/null --preview " + Quoted(dir.file("seen.bmp")) + " " + Quoted(picture),
                                "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vandrel-convert: " + picture + ": cannot write the preview " + dir.file("seen.bmp") +
                           ": File input/output error (File too large)\n");
    EXPECT_FALSE(Exists("seen.bmp"));

    const std::string inMissingFolder = dir.file("missing/seen.bmp");
    run = RunProgram(dir, "--preview " + Quoted(inMissingFolder) + " " + Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "vandrel-convert: " + picture + ": cannot write the preview " + inMissingFolder +
                           ": File not found (No such file or directory)\n");

    // A preview that would overwrite the conversion's own output is refused before anything is written.
    run = RunProgram(dir, "--preview " + Quoted(dir.file("big.bmc")) + " " + Quoted(picture));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "vandrel-convert: " + picture + ": the preview " + dir.file("big.bmc") + " would replace the output\n");
}
