// Loading from a stream whose length cannot be measured (a named pipe): the pixel block may only grow
// as far as the bytes that actually arrive, and must still hold every byte in order.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>

#include "bitmap/bitmap.h"
#include "child_load.h"
#include "pipe_feed.h"
#include "test_files.h"

namespace {

// A 24-bit picture whose pixel bytes count up, with `pixelBytes` of them after the header.
Bytes Picture(std::uint32_t width, std::uint32_t height, std::size_t pixelBytes) {
    const std::uint32_t rowSize = (width * 3u + 3u) / 4u * 4u;
    Bytes bytes = BmpHeader({.width = width, .height = height, .imageSize = rowSize * height});
    for (std::size_t i = 0; i < pixelBytes; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
    return bytes;
}

BitmapImage* LoadThroughPipe(const Bytes& bytes) {
    PipeFeed pipe;
    return pipe.Feed(bytes.data(), bytes.size(), [](const char* path) { return ReadBitmapFile(path); });
}

}  // namespace

TEST(bitmap_read_pipe, every_pixel_arrives_across_growing_blocks) {
    // 300 x 300 at 24 bits: 270000 pixel bytes, several times the first block.
    const Bytes bytes = Picture(300, 300, 270000);
    const BitmapImagePtr image(LoadThroughPipe(bytes));
    ASSERT_NE(image, nullptr) << BitmapStatusText();
    ASSERT_EQ(image->imageSize, 270000u);
    EXPECT_EQ(Bytes(image->pixels, image->pixels + image->imageSize), Bytes(bytes.begin() + 54, bytes.end()));
}

TEST(bitmap_read_pipe, stream_ending_before_the_pixels_is_invalid) {
    EXPECT_EQ(BitmapImagePtr(LoadThroughPipe(Picture(300, 300, 150000))), nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidFile);
}

// A 64-byte stream declaring 4 GiB of pixels once made the reader reserve all of it before reading a
// byte. Under an address-space cap far below that, the load must still end as an invalid file.
TEST(bitmap_read_pipe, huge_declared_size_is_never_reserved) {
    if (!kAddressCapWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    Bytes bytes = BmpHeader({.width = 1, .height = 1, .imageSize = 0xFFFFFFFFu});
    bytes.insert(bytes.end(), 10, 0x5A);
    EXPECT_EXIT(ExitWithStatusOf({.addressSpace = kSmallAddressCap}, [&] { return LoadThroughPipe(bytes); }),
                ::testing::ExitedWithCode(BitmapInvalidFile), "");
}

// Picking a named pipe that nobody writes once froze the window for ever in the open. The load runs in
// a child under a timer, so that a load that waits fails the test instead of hanging it.
TEST(bitmap_read_pipe, pipe_without_a_writer_ends_at_once) {
    ScratchDir dir;
    const std::string path = dir.file("silent");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EXIT(ExitWithStatusOf({.seconds = 10}, [&] { return ReadBitmapFile(path.c_str()); }),
                ::testing::ExitedWithCode(BitmapInvalidFile), "");
}
