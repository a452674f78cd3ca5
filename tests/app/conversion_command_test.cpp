// The whole command driven through a stand-in window: every results text, and what lands on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "app/fake_window.h"
#include "convert/picture_files.h"
#include "white_pixel.h"
#include "window_command/conversion_command.h"

namespace fs = std::filesystem;

namespace {

class ConversionCommand : public ::testing::Test {
protected:
    void SetUp() override { original = fs::current_path(); }
    void TearDown() override { fs::current_path(original); }

    std::string Picture(const std::string& name, std::uint32_t width, std::uint32_t height,
                        const std::vector<Colour>& colours, std::uint16_t depth = 24) {
        const std::string path = dir.file(name);
        WriteFileBytes(path, PictureFile(width, height, colours, depth));
        return path;
    }

    bool Exists(const std::string& name) const { return fs::exists(fs::symlink_status(dir.path() / name)); }

    fs::path original;
    ScratchDir dir;
    FakeWindow window;
};

const std::vector<Colour> kWhite{{255, 255, 255}};

}  // namespace

TEST_F(ConversionCommand, cancel_leaves_the_results_empty) {
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, "");
    EXPECT_EQ(window.dialogFileName, "Untitled");
    EXPECT_EQ(window.dialogRuns, 1);
}

TEST_F(ConversionCommand, raw_stream_with_and_without_size_prefix) {
    window.choice = Picture("white.bmp", 1, 1, kWhite);
    for (const bool addSize : {true, false}) {
        SCOPED_TRACE(addSize);
        window.addSize = addSize;
        RunConversionCommand(window);
        EXPECT_EQ(window.memo, "-> Colour Depth 24\r\n->Width 1 Height 1 \r\n-> Output=white.bmc-> DONE");
        EXPECT_EQ(ReadFileBytes(dir.file("white.bmc")), addSize ? kWhitePixelStream : kWhitePixelStreamUnsized);
    }
}

TEST_F(ConversionCommand, array_text_always_carries_the_size) {
    window.choice = Picture("pic.bmp", 2, 1, {{255, 128, 0}, {255, 128, 0}});
    window.createHeader = true;
    window.addSize = false;
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, "-> Colour Depth 24\r\n->Width 2 Height 1 \r\n-> Output=pic.h-> DONE");
    const Bytes text = ReadFileBytes(dir.file("pic.h"));
    EXPECT_EQ(std::string(text.begin(), text.end()), "\nconst unsigned char pic[]={ 0,1,0,2,63,32,0,63,32,0 };\n");
    EXPECT_FALSE(Exists("pic.bmc"));
}

TEST_F(ConversionCommand, extension_starts_from_bmc_at_every_press) {
    window.choice = Picture("pic.bmp", 1, 1, kWhite);
    window.createHeader = true;
    RunConversionCommand(window);
    window.createHeader = false;
    RunConversionCommand(window);
    EXPECT_TRUE(Exists("pic.h"));
    EXPECT_TRUE(Exists("pic.bmc"));
    EXPECT_EQ(window.dialogFileName, "Untitled");
}

TEST_F(ConversionCommand, existing_output_is_replaced_not_appended) {
    window.choice = Picture("white.bmp", 1, 1, kWhite);
    WriteFileBytes(dir.file("white.bmc"), Bytes(100, 0xAA));
    RunConversionCommand(window);
    EXPECT_EQ(ReadFileBytes(dir.file("white.bmc")), kWhitePixelStream);
}

TEST_F(ConversionCommand, pictures_that_cannot_be_used_abort_without_a_file) {
    const std::string aborted = "Colour depth must be 24\r\nAborted";
    window.choice = dir.file("Untitled");
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, aborted);

    for (std::uint16_t depth : {8, 32}) {
        window.memo = "earlier report";
        window.choice = Picture("deep.bmp", 1, 1, kWhite, depth);
        RunConversionCommand(window);
        EXPECT_EQ(window.memo, aborted) << depth;
        EXPECT_FALSE(Exists("deep.bmc"));
    }

    WriteFileBytes(dir.file("junk.bmp"), Bytes(80, 'x'));
    window.choice = dir.file("junk.bmp");
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, aborted);
    EXPECT_FALSE(Exists("junk.bmc"));
}

TEST_F(ConversionCommand, output_that_cannot_be_created) {
    window.choice = Picture("white.bmp", 1, 1, kWhite);
    fs::create_directory(dir.path() / "white.bmc");
    RunConversionCommand(window);
    EXPECT_EQ(window.memo,
              "-> Colour Depth 24\r\n->Width 1 Height 1 \r\n-> Output=white.bmc\r\nError can't create output file");
}

TEST_F(ConversionCommand, failed_write_is_reported_not_done) {
    window.choice = Picture("white.bmp", 1, 1, kWhite);
    fs::create_symlink("/dev/full", dir.path() / "white.bmc");
    RunConversionCommand(window);
    EXPECT_EQ(window.memo,
              "-> Colour Depth 24\r\n->Width 1 Height 1 \r\n-> Output=white.bmc\r\nError writing output file");
    // What stood under the name was no file of ours: the link stays, and so does the device.
    EXPECT_TRUE(fs::is_symlink(dir.path() / "white.bmc"));
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST_F(ConversionCommand, partial_output_is_removed) {
    // The child may write no more than 1000 bytes to any file; a 100 x 100 stream needs 30004.
    window.choice = Picture("big.bmp", 100, 100, std::vector<Colour>(100 * 100, Colour{9, 9, 9}));
    const auto convert = [&] {
        RunConversionCommand(window);
        const bool reported = window.memo.ends_with("-> Output=big.bmc\r\nError writing output file");
        return reported && !fs::exists(dir.path() / "big.bmc");
    };
    EXPECT_EXIT(ExitUnderFileSizeLimit(1000, convert), ::testing::ExitedWithCode(0), "");
}

TEST_F(ConversionCommand, picture_named_like_its_output_is_left_alone) {
    // "white.bmc" holds a BMP picture; writing its conversion under the same name would destroy it.
    const std::string path = Picture("white.bmc", 1, 1, kWhite);
    const Bytes original = ReadFileBytes(path);
    window.choice = path;
    RunConversionCommand(window);
    EXPECT_EQ(window.memo,
              "-> Colour Depth 24\r\n->Width 1 Height 1 \r\n-> Output=white.bmc\r\nError can't create output file");
    EXPECT_EQ(ReadFileBytes(path), original);
}

TEST_F(ConversionCommand, pipe_without_reader_as_output_cannot_be_created) {
    // Opening a pipe that nobody reads waits for a reader; the press must answer at once instead.
    window.choice = Picture("white.bmp", 1, 1, kWhite);
    ASSERT_EQ(mkfifo(dir.file("white.bmc").c_str(), 0600), 0);
    const auto press = [&] {
        RunConversionCommand(window);
        return window.memo ==
               "-> Colour Depth 24\r\n->Width 1 Height 1 \r\n-> Output=white.bmc\r\nError can't create output file";
    };
    EXPECT_EXIT(ExitWithinSeconds(10, press), ::testing::ExitedWithCode(0), "");
}

TEST_F(ConversionCommand, sides_over_65535_are_refused_rather_than_cut) {
    // 65537 x 1 would read as 1 x 1 in 16 bits and silently drop all but one pixel.
    window.choice = Picture("wide.bmp", 65537, 1, std::vector<Colour>(65537, Colour{1, 2, 3}));
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, "Width and height must be at most 65535\r\nAborted");
    EXPECT_FALSE(Exists("wide.bmc"));

    window.choice = Picture("tall.bmp", 1, 65536, std::vector<Colour>(65536, Colour{1, 2, 3}));
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, "Width and height must be at most 65535\r\nAborted");
    EXPECT_FALSE(Exists("tall.bmc"));
}

TEST_F(ConversionCommand, largest_side_still_converts) {
    window.choice = Picture("edge.bmp", 65535, 1, std::vector<Colour>(65535, Colour{8, 8, 8}));
    RunConversionCommand(window);
    EXPECT_EQ(window.memo, "-> Colour Depth 24\r\n->Width 65535 Height 1 \r\n-> Output=edge.bmc-> DONE");
    const Bytes stream = ReadFileBytes(dir.file("edge.bmc"));
    ASSERT_EQ(stream.size(), 4u + 3u * 65535u);
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 7), (Bytes{0, 1, 0xFF, 0xFF, 2, 2, 2}));
}

namespace {
class MockWindow : public WindowOperations {
public:
    MOCK_METHOD(void, SetOpenDialogFileName, (const std::string&), (override));
    MOCK_METHOD(bool, ExecuteOpenDialog, (std::string&), (override));
    MOCK_METHOD(bool, IsCheckBox1Checked, (), (override));
    MOCK_METHOD(bool, IsCheckBox2Checked, (), (override));
    MOCK_METHOD(std::string, Memo1Text, (), (override));
    MOCK_METHOD(void, SetMemo1Text, (const std::string&), (override));
};
}  // namespace

TEST(conversion_command_window, a_cancelled_press_touches_nothing_else) {
    ::testing::StrictMock<MockWindow> window;
    ::testing::InSequence order;
    EXPECT_CALL(window, SetOpenDialogFileName("Untitled"));
    EXPECT_CALL(window, SetMemo1Text(""));
    EXPECT_CALL(window, ExecuteOpenDialog(::testing::_)).WillOnce(::testing::Return(false));
    RunConversionCommand(window);
}

TEST(conversion_command_window, each_report_is_joined_to_what_the_box_shows) {
    // The box is the record: whatever it holds when a piece is added stays in front of that piece.
    ScratchDir dir;
    const fs::path original = fs::current_path();
    const std::string path = dir.file("a.bmp");
    WriteFileBytes(path, PictureFile(1, 1, kWhite));
    ::testing::NiceMock<MockWindow> window;
    std::string memo;
    ON_CALL(window, ExecuteOpenDialog(::testing::_)).WillByDefault([&](std::string& chosen) {
        chosen = path;
        fs::current_path(dir.path());
        return true;
    });
    ON_CALL(window, Memo1Text()).WillByDefault([&] { return memo + "|"; });
    ON_CALL(window, SetMemo1Text(::testing::_)).WillByDefault([&](const std::string& text) { memo = text; });
    RunConversionCommand(window);
    fs::current_path(original);
    EXPECT_EQ(memo, "-> Colour Depth 24\r\n|->Width 1 Height 1 \r\n|-> Output=a.bmc|-> DONE");
}
