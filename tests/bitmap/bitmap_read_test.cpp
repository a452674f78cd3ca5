// Loading BMP files: every refusal with its status, the accepted oddities, and bounded allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"
#include "child_load.h"
#include "pipe_feed.h"
#include "test_files.h"

namespace {

class BitmapRead : public ::testing::Test {
protected:
    // Writes `bytes` to a file and loads it, answering the status the load left.
    BitmapStatus Load(const Bytes& bytes) {
        WriteFileBytes(path, bytes);
        const BitmapImagePtr image(ReadBitmapFile(path.c_str()));
        const BitmapStatus status = LastBitmapStatus();
        EXPECT_EQ(image != nullptr, status == BitmapOk);
        return status;
    }

    ScratchDir dir;
    std::string path = dir.file("in.bmp");
};

Bytes WithPixels(Bytes bytes, std::size_t count, std::uint8_t value = 0x5A) {
    bytes.insert(bytes.end(), count, value);
    return bytes;
}

}  // namespace

TEST_F(BitmapRead, refuses_what_cannot_be_opened) {
    EXPECT_EQ(ReadBitmapFile(nullptr), nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);

    EXPECT_EQ(ReadBitmapFile(dir.file("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapFileNotFound);
    EXPECT_STREQ(BitmapStatusText(), "File not found");

    // Opening a folder for reading succeeds on Linux; it must still be refused as not found.
    EXPECT_EQ(ReadBitmapFile(dir.path().string().c_str()), nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapFileNotFound);
}

TEST_F(BitmapRead, short_or_foreign_files_are_invalid) {
    const Bytes header = BmpHeader({});
    for (std::size_t length : {0, 1, 2, 14, 53}) {
        EXPECT_EQ(Load(Bytes(header.begin(), header.begin() + length)), BitmapInvalidFile) << length;
    }
    // The magic is looked at only after the whole header: a bad magic is BitmapInvalidFile
    // even with a bad depth.
    Bytes foreign = BmpHeader({.bitsPerPixel = 16});
    foreign[0] = 'M';
    foreign[1] = 'B';
    EXPECT_EQ(Load(foreign), BitmapInvalidFile);
    EXPECT_STREQ(BitmapStatusText(), "File is not a valid BMP image");
}

TEST_F(BitmapRead, unsupported_variants) {
    for (std::uint32_t headerSize : {12u, 108u, 124u}) {
        EXPECT_EQ(Load(WithPixels(BmpHeader({.headerSize = headerSize}), 4)), BitmapUnsupported);
    }
    for (std::uint16_t depth : {0, 1, 4, 16, 48}) {
        EXPECT_EQ(Load(WithPixels(BmpHeader({.bitsPerPixel = depth}), 4)), BitmapUnsupported);
    }
    EXPECT_EQ(Load(WithPixels(BmpHeader({.bitsPerPixel = 32, .compression = 3}), 4)), BitmapUnsupported);
    EXPECT_STREQ(BitmapStatusText(), "File is not a supported BMP variant (must be uncompressed 8, 24 or 32 BPP)");
    // A negative height marks rows stored top-down.
    EXPECT_EQ(Load(WithPixels(BmpHeader({.height = 0xFFFFFFFFu}), 4)), BitmapUnsupported);
    EXPECT_EQ(Load(WithPixels(BmpHeader({.height = 0x80000000u}), 4)), BitmapUnsupported);
}

TEST_F(BitmapRead, two_by_two_picture_loads_with_every_field_as_stored) {
    Bytes file = BmpHeader({.width = 2, .height = 2, .imageSize = 16});
    // Fields the reader does not test keep the file's values, however wrong.
    file[2] = 0x99;   // fileSize
    file[6] = 0x11;   // reserved1
    file[10] = 0x77;  // dataOffset past the end, where the pixels cannot be
    file[26] = 0x05;  // planes
    file[38] = 0xC4;  // xResolution = 196
    file[46] = 0x03;  // coloursUsed
    for (std::uint8_t i = 0; i < 16; ++i) file.push_back(i);
    file.insert(file.end(), {0xDE, 0xAD});  // trailing bytes are ignored
    WriteFileBytes(path, file);

    const BitmapImagePtr image(ReadBitmapFile(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(image->magic, 0x4D42);
    EXPECT_EQ(image->fileSize, 0x99u);
    EXPECT_EQ(image->reserved1, 0x11);
    EXPECT_EQ(image->dataOffset, 0x77u);
    EXPECT_EQ(image->headerSize, 40u);
    EXPECT_EQ(image->planes, 5);
    EXPECT_EQ(image->xResolution, 196);
    EXPECT_EQ(image->coloursUsed, 3);
    EXPECT_EQ(image->imageSize, 16u);
    EXPECT_EQ(image->palette, nullptr);
    for (std::uint8_t i = 0; i < 16; ++i) EXPECT_EQ(image->pixels[i], i);
}

TEST_F(BitmapRead, missing_palette_or_pixel_bytes_are_invalid) {
    // 8-bit: the palette needs 1024 bytes after the header.
    EXPECT_EQ(Load(WithPixels(BmpHeader({.bitsPerPixel = 8}), 1023)), BitmapInvalidFile);
    // A short palette takes the pixel bytes as colours; then the pixels run out.
    EXPECT_EQ(Load(WithPixels(BmpHeader({.bitsPerPixel = 8}), 1024 + 3)), BitmapInvalidFile);
    EXPECT_EQ(Load(WithPixels(BmpHeader({.bitsPerPixel = 8}), 1024 + 4)), BitmapOk);
    EXPECT_EQ(Load(WithPixels(BmpHeader({.width = 2, .height = 2, .imageSize = 16}), 15)), BitmapInvalidFile);
}

// The declared size is checked against the file before it is allocated: under a cap far below the
// 4 GiB declared, a file that cannot hold its pixels must end as invalid, never as out of memory.
// A size of 2^32 - 1 is also the one that one byte more would wrap to 0 where size_t is 32 bits.
TEST_F(BitmapRead, huge_declared_size_in_a_tiny_file_is_refused_before_allocating) {
    if (!kAddressCapWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    for (const std::uint16_t depth : {24, 8}) {
        WriteFileBytes(path,
                       WithPixels(BmpHeader({.bitsPerPixel = depth, .imageSize = 0xFFFFFFFFu}), depth == 8 ? 1030 : 6));
        EXPECT_EXIT(ExitWithStatusOf({.addressSpace = kSmallAddressCap}, [&] { return ReadBitmapFile(path.c_str()); }),
                    ::testing::ExitedWithCode(BitmapInvalidFile), "")
            << depth;
    }
    // A sparse file one byte short of the 3.75 GiB of pixels, after a 256 MiB gap or without it.
    WriteFileBytes(path, BmpHeader({.dataOffset = 54 + 0x10000000u, .imageSize = 0xF0000000u}));
    std::filesystem::resize_file(path, 54 + 0xF0000000ull - 1);
    EXPECT_EXIT(ExitWithStatusOf({.addressSpace = kSmallAddressCap}, [&] { return ReadBitmapFile(path.c_str()); }),
                ::testing::ExitedWithCode(BitmapInvalidFile), "");
}

// Pictures whose pixels do not follow the header and a full table at once, loaded from a file and
// through a pipe alike: the bytes before dataOffset are skipped by reading, unless the stream ends before
// the pixels there.
TEST_F(BitmapRead, pixels_start_at_the_data_offset) {
    const Bytes pixel = {0x11, 0x22, 0x33, 0x00};
    Bytes gap24 = BmpHeader({.dataOffset = 60});
    gap24.insert(gap24.end(), 6, 0xEE);
    gap24.insert(gap24.end(), pixel.begin(), pixel.end());
    // Room for two entries and a stray byte before the pixel, which names entry 1.
    Bytes shortTable = BmpHeader({.dataOffset = 63, .bitsPerPixel = 8});
    shortTable.insert(shortTable.end(), {10, 20, 30, 0, 40, 50, 60, 0, 0xEE, 1, 0, 0, 0});
    // A full table whose entry i has blue i, then a gap of 5 bytes before the pixel naming entry 7.
    Bytes gap8 = BmpHeader({.dataOffset = 1078 + 5, .bitsPerPixel = 8});
    for (int i = 0; i < 256; ++i) gap8.insert(gap8.end(), {static_cast<std::uint8_t>(i), 0, 0, 0});
    gap8.insert(gap8.end(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 7, 0, 0, 0});
    // Streams that end before the pixels at dataOffset but hold them at the usual place: read there.
    Bytes far24 = BmpHeader({.dataOffset = 99});
    far24.insert(far24.end(), pixel.begin(), pixel.end());
    Bytes far8(gap8);
    far8.erase(far8.begin() + 1078, far8.begin() + 1083);
    far8[10] = 0xFF;  // dataOffset 1279

    PipeFeed pipe;
    for (const bool throughPipe : {false, true}) {
        SCOPED_TRACE(throughPipe ? "pipe" : "file");
        const auto load = [&](const Bytes& bytes) {
            if (throughPipe) return BitmapImagePtr(pipe.Feed(bytes.data(), bytes.size(), ReadBitmapFile));
            WriteFileBytes(path, bytes);
            return BitmapImagePtr(ReadBitmapFile(path.c_str()));
        };
        const BitmapImagePtr rgb = load(gap24);
        ASSERT_NE(rgb, nullptr);
        EXPECT_EQ(rgb->dataOffset, 60u);
        EXPECT_EQ(Bytes(rgb->pixels, rgb->pixels + 4), pixel);

        const BitmapImagePtr indexed = load(shortTable);
        ASSERT_NE(indexed, nullptr);
        Bytes palette(1024, 0);
        std::copy_n(shortTable.begin() + 54, 8, palette.begin());
        EXPECT_EQ(Bytes(indexed->palette, indexed->palette + 1024), palette) << "the rest of the table is black";
        std::uint8_t red = 0;
        GetPixelRgb(indexed.get(), 0, 0, &red, nullptr, nullptr);
        EXPECT_EQ(red, 60);

        const BitmapImagePtr afterTable = load(gap8);
        ASSERT_NE(afterTable, nullptr);
        std::uint8_t blue = 0;
        GetPixelRgb(afterTable.get(), 0, 0, nullptr, nullptr, &blue);
        EXPECT_EQ(blue, 7);

        const BitmapImagePtr wrongOffset = load(far24);
        ASSERT_NE(wrongOffset, nullptr);
        EXPECT_EQ(wrongOffset->dataOffset, 99u);
        EXPECT_EQ(Bytes(wrongOffset->pixels, wrongOffset->pixels + 4), pixel);
        const BitmapImagePtr wrongOffset8 = load(far8);
        ASSERT_NE(wrongOffset8, nullptr);
        GetPixelRgb(wrongOffset8.get(), 0, 0, nullptr, nullptr, &blue);
        EXPECT_EQ(blue, 7);

        // Streams that end inside the gap, inside the short table, or before a far dataOffset.
        EXPECT_EQ(load(Bytes(gap24.begin(), gap24.begin() + 57)), nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapInvalidFile);
        EXPECT_EQ(load(Bytes(shortTable.begin(), shortTable.begin() + 59)), nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapInvalidFile);
        EXPECT_EQ(load(WithPixels(BmpHeader({.dataOffset = 0xFFFFFFF0u}), 3)), nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapInvalidFile);
    }
}

TEST_F(BitmapRead, zero_or_small_image_size_is_raised_to_cover_every_row) {
    // 3 x 2 at 24 bits needs rows of 9 bytes padded to 12: 24 bytes in all.
    for (std::uint32_t declared : {0u, 1u, 17u}) {
        WriteFileBytes(path, WithPixels(BmpHeader({.width = 3, .height = 2, .imageSize = declared}), 24));
        const BitmapImagePtr image(ReadBitmapFile(path.c_str()));
        ASSERT_NE(image, nullptr) << declared;
        EXPECT_EQ(image->imageSize, 24u);
        std::uint8_t red = 0;
        GetPixelRgb(image.get(), 2, 0, &red, nullptr, nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapOk);
        EXPECT_EQ(red, 0x5A);
    }
    // The raised size must still be in the file.
    EXPECT_EQ(Load(WithPixels(BmpHeader({.width = 3, .height = 2, .imageSize = 0}), 23)), BitmapInvalidFile);
    // A declared size larger than the rows need is kept, and rows are that much further apart.
    WriteFileBytes(path, WithPixels(BmpHeader({.width = 1, .height = 2, .imageSize = 40}), 40));
    const BitmapImagePtr wide(ReadBitmapFile(path.c_str()));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->imageSize, 40u);
}

TEST_F(BitmapRead, rows_that_cannot_fit_32_bits_are_invalid) {
    // 0x40000000 pixels of 4 bytes in one row: the block would need more than 4 GiB.
    EXPECT_EQ(Load(WithPixels(BmpHeader({.width = 0x40000000u, .height = 1, .bitsPerPixel = 32, .imageSize = 0}), 16)),
              BitmapInvalidFile);
    EXPECT_EQ(Load(WithPixels(BmpHeader({.width = 0xFFFFFFFFu, .height = 0x7FFFFFFFu, .imageSize = 8}), 8)),
              BitmapInvalidFile);
}

TEST_F(BitmapRead, empty_pictures_load_and_refuse_every_pixel) {
    for (BmpHeaderFields fields : {BmpHeaderFields{.width = 0, .height = 5, .imageSize = 0},
                                   BmpHeaderFields{.width = 5, .height = 0, .imageSize = 0}}) {
        WriteFileBytes(path, BmpHeader(fields));
        const BitmapImagePtr image(ReadBitmapFile(path.c_str()));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapOk);
        GetPixelRgb(image.get(), 0, 0, nullptr, nullptr, nullptr);
        EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument);
    }
}

TEST_F(BitmapRead, fields_are_little_endian_and_short_reads_leave_the_destination) {
    WriteFileBytes(path, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    std::uint32_t value32 = 0;
    std::uint16_t value16 = 0;
    EXPECT_TRUE(ReadLe32(&value32, stream));
    EXPECT_EQ(value32, 0x04030201u);
    EXPECT_TRUE(ReadLe16(&value16, stream));
    EXPECT_EQ(value16, 0x0605);
    EXPECT_FALSE(ReadLe32(&value32, stream));
    EXPECT_EQ(value32, 0x04030201u);
    EXPECT_FALSE(ReadLe16(nullptr, stream));
    EXPECT_FALSE(ReadLe16(&value16, nullptr));
    std::fclose(stream);
}

TEST_F(BitmapRead, header_read_stops_at_the_first_short_field) {
    Bytes header = BmpHeader({.width = 7, .height = 9});
    WriteFileBytes(path, Bytes(header.begin(), header.begin() + 24));  // ends inside `height`
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    BitmapImage image{};
    image.height = 12345;
    BitmapStatus before = LastBitmapStatus();
    EXPECT_EQ(ReadBitmapHeader(&image, stream), BitmapIoError);
    EXPECT_EQ(LastBitmapStatus(), before);
    EXPECT_EQ(image.width, 7u);
    EXPECT_EQ(image.height, 12345u);
    EXPECT_EQ(ReadBitmapHeader(nullptr, stream), BitmapInvalidArgument);
    EXPECT_EQ(ReadBitmapHeader(&image, nullptr), BitmapInvalidArgument);
    std::fclose(stream);
}

// A sparse file of 4 GiB backs its declared size, so only the allocation can fail: it must fail as
// out of memory, also where size_t is 32 bits and the block with a spare byte once wrapped to 0 bytes
// and was overrun by the read.
TEST_F(BitmapRead, out_of_memory_is_reported_and_nothing_is_kept) {
    if (!kAddressCapWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    WriteFileBytes(path, BmpHeader({.width = 1, .height = 1, .imageSize = 0xFFFFFFFFu}));
    std::filesystem::resize_file(path, 54 + 0xFFFFFFFFull);
    EXPECT_EXIT(ExitWithStatusOf({.addressSpace = kSmallAddressCap}, [&] { return ReadBitmapFile(path.c_str()); }),
                ::testing::ExitedWithCode(BitmapOutOfMemory), "");
}
