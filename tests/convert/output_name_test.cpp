// The output naming rule, by this build's folder separators.
#include <gtest/gtest.h>

#include "convert/output_name.h"

TEST(output_name, cuts_three_characters_and_appends_the_extension) {
    EXPECT_EQ(FormOutputName("logo.bmp", "bmc"), "logo.bmc");
    EXPECT_EQ(FormOutputName("pic.bmp", "h"), "pic.h");
    EXPECT_EQ(FormOutputName("LOGO.BMP", "bmc"), "LOGO.bmc");
    EXPECT_EQ(FormOutputName("image.jpeg", "bmc"), "image.jbmc");
    EXPECT_EQ(FormOutputName("abc", "bmc"), "bmc");
    EXPECT_EQ(FormOutputName("abc", "h"), "h");
    // Shorter names lose all they have, as a three-character one does.
    EXPECT_EQ(FormOutputName("ab", "bmc"), "bmc");
    EXPECT_EQ(FormOutputName("", "h"), "h");
}

TEST(output_name, long_paths_are_not_cut) {
    const std::string folder(300, 'f');
    const std::string name(120, 'n');
    EXPECT_EQ(FormOutputName("/" + folder + "/" + name + ".bmp", "h"), name + ".h");
}

#ifdef _WIN32
TEST(output_name, windows_paths_lose_folder_and_drive) {
    EXPECT_EQ(FormOutputName("C:\\pics\\logo.bmp", "bmc"), "logo.bmc");
    EXPECT_EQ(FormOutputName("C:\\pics\\LOGO.BMP", "bmc"), "LOGO.bmc");
    EXPECT_EQ(FormOutputName("C:\\pics\\image.jpeg", "bmc"), "image.jbmc");
    EXPECT_EQ(FormOutputName("D:photo.bmp", "bmc"), "photo.bmc");
    EXPECT_EQ(FormOutputName("C:/pics/abc", "h"), "h");
}
#else
TEST(output_name, posix_paths_lose_their_folder_only) {
    EXPECT_EQ(FormOutputName("/home/me/pics/logo.bmp", "bmc"), "logo.bmc");
    EXPECT_EQ(FormOutputName("/pics/image.jpeg", "bmc"), "image.jbmc");
    EXPECT_EQ(FormOutputName("/pics/abc", "h"), "h");
    // Backslashes and colons are ordinary name characters here.
    EXPECT_EQ(FormOutputName("/tmp/C:\\pics\\logo.bmp", "bmc"), "C:\\pics\\logo.bmc");
    EXPECT_EQ(FormOutputName("D:photo.bmp", "bmc"), "D:photo.bmc");
}
#endif
