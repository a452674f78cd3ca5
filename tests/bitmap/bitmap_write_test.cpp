// Tests of BMP writing: exact file bytes, the field writers, every refusal with what it leaves on
// disk, and round trips through the module's own reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An unbuffered stream on a device that refuses every byte, so each write fails at once.
struct FullDevice {
    FullDevice() : stream(std::fopen("/dev/full", "wb")) {
        if (stream != nullptr) std::setvbuf(stream, nullptr, _IONBF, 0);
    }
    ~FullDevice() {
        if (stream != nullptr) std::fclose(stream);
    }
    std::FILE* stream;
};

}  // namespace

TEST(bitmap_write, golden_3x2_24_bit) {
    BitmapImagePtr image(CreateBitmap(3, 2, 24));
    ASSERT_NE(image, nullptr);
    SetPixelRgb(image.get(), 1, 0, 0x11, 0x22, 0x33);
    SetPixelRgb(image.get(), 0, 1, 0x44, 0x55, 0x66);
    ScratchDir dir;
    WriteBitmapFile(image.get(), dir.file("a.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    // clang-format off
    const Bytes expected = {
        0x42, 0x4D,              // "BM"
        0x4E, 0x00, 0x00, 0x00,  // fileSize 78
        0x00, 0x00, 0x00, 0x00,  // reserved
        0x36, 0x00, 0x00, 0x00,  // dataOffset 54
        0x28, 0x00, 0x00, 0x00,  // headerSize 40
        0x03, 0x00, 0x00, 0x00,  // width 3
        0x02, 0x00, 0x00, 0x00,  // height 2
        0x01, 0x00,              // planes 1
        0x18, 0x00,              // 24 bits per pixel
        0x00, 0x00, 0x00, 0x00,  // no compression
        0x18, 0x00, 0x00, 0x00,  // imageSize 24
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // resolutions
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // colour counts
        // bottom row (y = 1): x = 0 as blue, green, red, then 3 fill bytes
        0x66, 0x55, 0x44, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        // top row (y = 0): x = 1 at bytes 15..17 of the pixel block
        0x00, 0x00, 0x00, 0x33, 0x22, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    // clang-format on
    EXPECT_EQ(ReadFileBytes(dir.file("a.bmp")), expected);
}

TEST(bitmap_write, golden_1x1_8_bit) {
    BitmapImagePtr image(CreateBitmap(1, 1, 8));
    ASSERT_NE(image, nullptr);
    SetPaletteColor(image.get(), 1, 0x10, 0x20, 0x30);
    SetPaletteColor(image.get(), 255, 0xA0, 0xB0, 0xC0);
    SetPixelIndex(image.get(), 0, 0, 1);
    ScratchDir dir;
    WriteBitmapFile(image.get(), dir.file("p.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    // clang-format off
    const Bytes header = {
        0x42, 0x4D, 0x3A, 0x04, 0x00, 0x00,  // "BM", fileSize 1082
        0x00, 0x00, 0x00, 0x00,              // reserved
        0x36, 0x04, 0x00, 0x00,              // dataOffset 1078
        0x28, 0x00, 0x00, 0x00,              // headerSize 40
        0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // 1 x 1
        0x01, 0x00, 0x08, 0x00,              // planes 1, 8 bits per pixel
        0x00, 0x00, 0x00, 0x00,              // no compression
        0x04, 0x00, 0x00, 0x00,              // imageSize 4
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    // clang-format on
    Bytes palette(1024, 0);
    palette[4] = 0x30;  // entry 1: blue, green, red, reserved
    palette[5] = 0x20;
    palette[6] = 0x10;
    palette[1020] = 0xC0;
    palette[1021] = 0xB0;
    palette[1022] = 0xA0;
    const Bytes pixels = {0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadFileBytes(dir.file("p.bmp")), Cat(Cat(header, palette), pixels));
}

TEST(bitmap_write, golden_5x1_32_bit) {
    BitmapImagePtr image(CreateBitmap(5, 1, 32));
    ASSERT_NE(image, nullptr);
    image->pixels[19] = 0xEE;  // the fourth byte travels with the block
    SetPixelRgb(image.get(), 4, 0, 0x01, 0x02, 0x03);
    ScratchDir dir;
    WriteBitmapFile(image.get(), dir.file("w.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    // clang-format off
    const Bytes expected = {
        0x42, 0x4D, 0x4A, 0x00, 0x00, 0x00,  // "BM", fileSize 74
        0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00,
        0x05, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // 5 x 1
        0x01, 0x00, 0x20, 0x00,                          // planes 1, 32 bits per pixel
        0x00, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00,  // no compression, imageSize 20
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01, 0xEE,
    };
    // clang-format on
    EXPECT_EQ(ReadFileBytes(dir.file("w.bmp")), expected);
}

TEST(bitmap_fields_write, little_endian_items_and_failures) {
    ScratchDir dir;
    std::FILE* stream = std::fopen(dir.file("f").c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(WriteLe32(0x12345678u, stream));
    EXPECT_TRUE(WriteLe16(0xABCD, stream));
    EXPECT_TRUE(WriteLe32(0xFFFFFFFEu, stream));
    std::fclose(stream);
    EXPECT_EQ(ReadFileBytes(dir.file("f")), (Bytes{0x78, 0x56, 0x34, 0x12, 0xCD, 0xAB, 0xFE, 0xFF, 0xFF, 0xFF}));

    EXPECT_FALSE(WriteLe32(1, nullptr));
    EXPECT_FALSE(WriteLe16(1, nullptr));
    FullDevice full;
    ASSERT_NE(full.stream, nullptr);
    EXPECT_FALSE(WriteLe32(1, full.stream));
    EXPECT_FALSE(WriteLe16(1, full.stream));

    BitmapImagePtr image(CreateBitmap(1, 1, 24));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(WriteBitmapHeader(nullptr, full.stream), BitmapInvalidArgument);
    EXPECT_EQ(WriteBitmapHeader(image.get(), nullptr), BitmapInvalidArgument);
    EXPECT_EQ(WriteBitmapHeader(image.get(), full.stream), BitmapIoError);
    EXPECT_EQ(LastBitmapStatus(), BitmapOk) << "the field writers leave the last status alone";
}

TEST(bitmap_write, header_written_as_held_not_recomputed) {
    BitmapImagePtr image(CreateBitmap(1, 1, 24));
    ASSERT_NE(image, nullptr);
    image->fileSize = 0xDEADBEEF;
    image->reserved1 = 0x0102;
    image->planes = 3;
    image->xResolution = -1;
    image->coloursImportant = 0x11223344;
    ScratchDir dir;
    WriteBitmapFile(image.get(), dir.file("h.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    const Bytes file = ReadFileBytes(dir.file("h.bmp"));
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(Bytes(file.begin() + 2, file.begin() + 14),
              (Bytes{0xEF, 0xBE, 0xAD, 0xDE, 0x02, 0x01, 0x00, 0x00, 0x36, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(file.begin() + 26, file.begin() + 28), (Bytes{0x03, 0x00}));
    EXPECT_EQ(Bytes(file.begin() + 38, file.begin() + 42), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(file.begin() + 50, file.begin() + 54), (Bytes{0x44, 0x33, 0x22, 0x11}));
}

TEST(bitmap_write, refusals_and_what_they_leave_on_disk) {
    ScratchDir dir;
    BitmapImagePtr image(CreateBitmap(3, 2, 24));
    ASSERT_NE(image, nullptr);

    WriteBitmapFile(image.get(), nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument) << "absent path";
    WriteBitmapFile(nullptr, nullptr);
    EXPECT_EQ(LastBitmapStatus(), BitmapInvalidArgument) << "absent path is tested before the image";

    // No image: nothing is opened, so no file appears and an existing one keeps its bytes.
    WriteBitmapFile(nullptr, dir.file("new.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapIoError);
    EXPECT_FALSE(fs::exists(dir.file("new.bmp")));
    WriteFileBytes(dir.file("old.bmp"), {1, 2, 3});
    WriteBitmapFile(nullptr, dir.file("old.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapIoError);
    EXPECT_EQ(ReadFileBytes(dir.file("old.bmp")), (Bytes{1, 2, 3}));

    WriteBitmapFile(image.get(), dir.file("missing/a.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapFileNotFound) << "folder that does not exist";
    EXPECT_FALSE(fs::exists(dir.file("missing")));
    WriteBitmapFile(image.get(), dir.path().string().c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapFileNotFound) << "a folder as destination";
    EXPECT_EQ(std::string(BitmapStatusText()), "File not found");

    // A full device takes the small file into its buffer and fails only when it is flushed at
    // closing; a large pixel block fails in the write itself. Both are failures.
    WriteBitmapFile(image.get(), "/dev/full");
    EXPECT_EQ(LastBitmapStatus(), BitmapIoError) << "failure at closing";
    BitmapImagePtr large(CreateBitmap(200, 100, 32));
    ASSERT_NE(large, nullptr);
    WriteBitmapFile(large.get(), "/dev/full");
    EXPECT_EQ(LastBitmapStatus(), BitmapIoError) << "failure while writing";
    EXPECT_EQ(std::string(BitmapStatusText()), "File input/output error");

    WriteBitmapFile(image.get(), dir.file("ok.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk) << "success after failures";
}

namespace {

void ExpectSameImage(const BitmapImage& a, const BitmapImage& b) {
    EXPECT_EQ(a.magic, b.magic);
    EXPECT_EQ(a.fileSize, b.fileSize);
    EXPECT_EQ(a.reserved1, b.reserved1);
    EXPECT_EQ(a.reserved2, b.reserved2);
    EXPECT_EQ(a.dataOffset, b.dataOffset);
    EXPECT_EQ(a.headerSize, b.headerSize);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.planes, b.planes);
    EXPECT_EQ(a.bitsPerPixel, b.bitsPerPixel);
    EXPECT_EQ(a.compression, b.compression);
    EXPECT_EQ(a.imageSize, b.imageSize);
    EXPECT_EQ(a.xResolution, b.xResolution);
    EXPECT_EQ(a.yResolution, b.yResolution);
    EXPECT_EQ(a.coloursUsed, b.coloursUsed);
    EXPECT_EQ(a.coloursImportant, b.coloursImportant);
    EXPECT_EQ(Bytes(a.pixels, a.pixels + a.imageSize), Bytes(b.pixels, b.pixels + b.imageSize));
    ASSERT_EQ(a.palette == nullptr, b.palette == nullptr);
    if (a.palette != nullptr) {
        EXPECT_EQ(Bytes(a.palette, a.palette + 1024), Bytes(b.palette, b.palette + 1024));
    }
}

}  // namespace

TEST(bitmap_write, created_images_read_back_unchanged) {
    ScratchDir dir;
    for (const std::uint16_t depth : {8, 24, 32}) {
        SCOPED_TRACE(depth);
        BitmapImagePtr image(CreateBitmap(7, 5, depth));
        ASSERT_NE(image, nullptr);
        // Every pixel and (for 8 bits) every palette byte distinct, fill and fourth bytes included.
        for (std::uint32_t i = 0; i < image->imageSize; ++i) image->pixels[i] = static_cast<std::uint8_t>(i * 7 + 1);
        if (image->palette != nullptr) {
            for (int i = 0; i < 1024; ++i) image->palette[i] = static_cast<std::uint8_t>(i * 3 + 5);
        }
        const std::string path = dir.file(std::to_string(depth) + "-bit.bmp");
        WriteBitmapFile(image.get(), path.c_str());
        ASSERT_EQ(LastBitmapStatus(), BitmapOk);
        EXPECT_EQ(fs::file_size(path), image->fileSize);
        BitmapImagePtr back(ReadBitmapFile(path.c_str()));
        ASSERT_NE(back, nullptr);
        ExpectSameImage(*image, *back);
    }
}

// Whatever dataOffset the record holds, the file is the header, the whole table and the rows back to
// back, and its dataOffset says where the rows are; the record keeps its own value.
TEST(bitmap_write, data_offset_of_the_record_never_moves_the_pixels) {
    struct Row {
        std::uint16_t depth;
        std::uint32_t dataOffset;  // as the record holds it
        Bytes fileDataOffset;      // bytes 10 to 13 of the file
        std::uintmax_t fileBytes;
    };
    const Row rows[] = {
        {24, 7, {0x36, 0x00, 0x00, 0x00}, 58},            // inside the header
        {24, 58, {0x36, 0x00, 0x00, 0x00}, 58},           // past the header
        {24, 0x10000000, {0x36, 0x00, 0x00, 0x00}, 58},   // no 256 MiB file
        {8, 54 + 2 * 4, {0x36, 0x04, 0x00, 0x00}, 1082},  // room for two entries: entry 200 kept
        {8, 1078 + 5, {0x36, 0x04, 0x00, 0x00}, 1082},
    };
    ScratchDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.depth << "-bit, dataOffset " << row.dataOffset);
        BitmapImagePtr image(CreateBitmap(1, 1, row.depth));
        ASSERT_NE(image, nullptr);
        if (row.depth == 8) {
            SetPaletteColor(image.get(), 200, 0x10, 0x20, 0x30);
            SetPixelIndex(image.get(), 0, 0, 200);
        } else {
            SetPixelRgb(image.get(), 0, 0, 0x11, 0x22, 0x33);
        }
        image->dataOffset = row.dataOffset;
        const std::string path = dir.file("out.bmp");
        WriteBitmapFile(image.get(), path.c_str());
        ASSERT_EQ(LastBitmapStatus(), BitmapOk);
        EXPECT_EQ(image->dataOffset, row.dataOffset);
        ASSERT_EQ(fs::file_size(path), row.fileBytes);
        const Bytes file = ReadFileBytes(path);
        EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 14), row.fileDataOffset);
        BitmapImagePtr back(ReadBitmapFile(path.c_str()));
        ASSERT_NE(back, nullptr);
        back->dataOffset = row.dataOffset;
        ExpectSameImage(*image, *back);
    }
}

TEST(bitmap_write, loaded_file_saves_back_identically_but_for_a_wrong_data_offset) {
    // A 2 x 2 24-bit file with odd but accepted header values: they must all survive, but for a
    // dataOffset past the end of the file, which the saved file replaces with where its pixels are.
    Bytes file;
    PutLe16(file, 0x4D42);
    PutLe32(file, 12345);  // fileSize that matches nothing
    PutLe16(file, 0xBEEF);
    PutLe16(file, 0x0102);
    PutLe32(file, 99);  // dataOffset past the end: the pixels are read from 54
    PutLe32(file, 40);
    PutLe32(file, 2);
    PutLe32(file, 2);
    PutLe16(file, 3);
    PutLe16(file, 24);
    PutLe32(file, 0);
    PutLe32(file, 16);
    PutLe32(file, 2835);
    PutLe32(file, 0xFFFFFFFF);
    PutLe32(file, 7);
    PutLe32(file, 0x80000000);
    for (std::uint8_t i = 1; i <= 16; ++i) file.push_back(i);
    ScratchDir dir;
    WriteFileBytes(dir.file("in.bmp"), file);
    BitmapImagePtr image(ReadBitmapFile(dir.file("in.bmp").c_str()));
    ASSERT_NE(image, nullptr);
    WriteBitmapFile(image.get(), dir.file("out.bmp").c_str());
    EXPECT_EQ(LastBitmapStatus(), BitmapOk);
    EXPECT_EQ(image->dataOffset, 99u);
    file[10] = 54;  // where the pixels are
    EXPECT_EQ(ReadFileBytes(dir.file("out.bmp")), file);
}
