// The early-end check on pictures past 2 GiB, sparse on disk: lengths and offsets that a 32-bit long
// cannot hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "early_end.h"
#include "test_files.h"

TEST(early_end, files_past_2_gib_are_measured_in_64_bits) {
    // 32768 x 32768 at 24 bits: 3 GiB of pixels after the 54 header bytes.
    const Bytes whole = BmpHeader({.width = 32768, .height = 32768, .imageSize = 0xC0000000u});
    // Run-length pixels from 2.25 GiB on, in a file that stops before their end-of-picture mark.
    const Bytes runLength = BmpHeader({.dataOffset = 0x90000000u, .bitsPerPixel = 8, .compression = 1});
    struct Row {
        const Bytes& header;
        std::uintmax_t length;
        std::optional<std::string> answer;
    };
    const Row rows[] = {
        {whole, 0xC0000036u, std::nullopt},
        {whole, 0xC0000035u, "its pixel data needs 3221225526 bytes, the file has 3221225525"},
        {runLength, 0x90000004u, "its compressed pixel data stops before the end-of-picture mark"},
    };
    ScratchDir dir;
    const std::string path = dir.file("large.bmp");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        WriteFileBytes(path, row.header);
        std::filesystem::resize_file(path, row.length);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(FileEndsEarly(file), row.answer);
        std::fclose(file);
    }
}
