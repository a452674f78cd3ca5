// Test helper: a picture made at test time and loaded by the module, and what a writer makes of it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "convert/display_writers.h"
#include "picture_files.h"

class WriterFixture : public ::testing::Test {
protected:
    void Load(std::uint32_t width, std::uint32_t height, const std::vector<Colour>& colours) {
        image.reset(LoadPicture(dir.file("in.bmp"), width, height, colours));
        ASSERT_NE(image, nullptr);
    }

    Bytes Written(const OutputOptions& options) {
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        EXPECT_EQ(WriteDisplayData(BitmapPicture(*image), options, out), 0);
        std::fclose(out);
        return ReadFileBytes(outPath);
    }

    ScratchDir dir;
    std::string outPath = dir.file("out");
    BitmapImagePtr image;
};
