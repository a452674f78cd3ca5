// Writes the fuzz seed corpus: well-formed files saved by the module itself, hand-made malformed
// headers for the reader, and small scripts for the write target.
// Usage: fuzz_seed_corpus FOLDER   (fills FOLDER/read and FOLDER/write)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

fs::path g_folder;

bool Save(const std::string& target, const std::string& name, const Bytes& bytes) {
    std::ofstream out(g_folder / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A picture saved through the module: a colour pattern on every pixel (and palette entry).
bool SaveCreated(const std::string& name, std::uint32_t width, std::uint32_t height, std::uint16_t depth) {
    const BitmapImagePtr owned(CreateBitmap(width, height, depth));
    BitmapImage* const image = owned.get();
    if (!image) return false;
    for (unsigned i = 0; i < 256 && depth == 8; ++i)
        SetPaletteColor(image, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                        static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7));
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            if (depth == 8)
                SetPixelIndex(image, x, y, static_cast<std::uint8_t>(x * 31 + y * 17));
            else
                SetPixelRgb(image, x, y, static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60), 0x5A);
        }
    }
    const std::string path = (g_folder / "read" / name).string();
    WriteBitmapFile(image, path.c_str());
    return LastBitmapStatus() == BitmapOk;
}

struct Header {
    std::uint16_t magic = 0x4D42;
    std::uint32_t headerSize = 40;
    std::uint32_t width = 2;
    std::uint32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t depth = 24;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 16;
    std::uint32_t fileSize = 70;
    std::uint32_t dataOffset = 54;
};

// The 54 header bytes, then `payload` bytes of a repeating pattern.
Bytes Crafted(const Header& h, std::size_t payload) {
    Bytes b = BmpHeader({.dataOffset = h.dataOffset,
                         .fileSize = h.fileSize,
                         .planes = h.planes,
                         .width = h.width,
                         .height = h.height,
                         .bitsPerPixel = h.depth,
                         .imageSize = h.imageSize,
                         .headerSize = h.headerSize,
                         .compression = h.compression,
                         .magic = h.magic});
    for (std::size_t i = 0; i < payload; ++i) b.push_back(static_cast<std::uint8_t>(i * 13 + 5));
    return b;
}

bool WriteReadSeeds() {
    bool ok = SaveCreated("ok-24bit-3x2.bmp", 3, 2, 24) && SaveCreated("ok-24bit-5x3.bmp", 5, 3, 24) &&
              SaveCreated("ok-32bit-2x3.bmp", 2, 3, 32) && SaveCreated("ok-8bit-5x4.bmp", 5, 4, 8) &&
              SaveCreated("ok-8bit-1x1.bmp", 1, 1, 8) && SaveCreated("ok-24bit-1x1.bmp", 1, 1, 24) &&
              // Rows longer than the display writers' run of 1024 pixels.
              SaveCreated("ok-24bit-1030x1.bmp", 1030, 1, 24) && SaveCreated("ok-8bit-1100x1.bmp", 1100, 1, 8);

    auto crafted = [&ok](const std::string& name, const Header& h, std::size_t payload) {
        ok = Save("read", name, Crafted(h, payload)) && ok;
    };
    Header h;
    ok = Save("read", "empty", {}) && ok;
    Bytes shortHeader = Crafted(h, 0);
    shortHeader.resize(53);
    ok = Save("read", "short-53-bytes.bmp", shortHeader) && ok;
    h = {}, h.magic = 0x4142, crafted("bad-magic.bmp", h, 16);
    for (std::uint32_t size : {12u, 108u, 124u})
        h = {}, h.headerSize = size, crafted("info-header-" + std::to_string(size) + ".bmp", h, 16);
    for (std::uint16_t depth : {1, 4, 16, 0})
        h = {}, h.depth = depth, crafted("depth-" + std::to_string(depth) + ".bmp", h, 16);
    h = {}, h.depth = 32, h.compression = 3, h.imageSize = 16, crafted("32bit-bitfields.bmp", h, 28);
    h = {}, h.compression = 1, h.depth = 8, crafted("8bit-rle.bmp", h, 1040);
    h = {}, h.imageSize = 0, crafted("image-size-0.bmp", h, 16);
    h = {}, h.imageSize = 5, crafted("image-size-too-small.bmp", h, 16);
    h = {}, h.imageSize = 0xFFFFFFFFu, crafted("image-size-huge.bmp", h, 16);
    h = {}, h.imageSize = 32, crafted("pixels-truncated.bmp", h, 20);
    h = {}, crafted("bytes-after-pixels.bmp", h, 40);
    h = {}, h.width = 0x40000000u, h.height = 4, h.imageSize = 0, crafted("rows-overflow-32-bits.bmp", h, 16);
    h = {}, h.width = 0xFFFFFFFFu, h.height = 1, h.imageSize = 0, crafted("width-all-ones.bmp", h, 16);
    h = {}, h.width = 5000, h.height = 5000, h.imageSize = 0, crafted("large-rows-small-file.bmp", h, 64);
    h = {}, h.height = 0xFFFFFFFEu, crafted("top-down-height-minus-2.bmp", h, 16);
    h = {}, h.height = 0x80000000u, h.imageSize = 0, crafted("height-2-pow-31.bmp", h, 16);
    h = {}, h.height = 0, crafted("height-0.bmp", h, 16);
    h = {}, h.width = 0, crafted("width-0.bmp", h, 16);
    h = {}, h.fileSize = 1, h.dataOffset = 999, h.planes = 7, crafted("carried-fields-wrong.bmp", h, 16);
    // dataOffset past the header: a gap before the pixels, a short 8-bit table, a gap after a full
    // table, and a gap the file cannot supply (its pixels then lie right after the header).
    h = {}, h.dataOffset = 60, crafted("24bit-gap.bmp", h, 6 + 16);
    h = {}, h.depth = 8, h.width = 4, h.height = 2, h.imageSize = 8, h.dataOffset = 54 + 8 + 1;
    crafted("8bit-short-table.bmp", h, 9 + 8);
    h = {}, h.depth = 8, h.width = 4, h.height = 2, h.imageSize = 8, h.dataOffset = 1078 + 4;
    crafted("8bit-gap-after-table.bmp", h, 1024 + 4 + 8);
    h = {}, h.dataOffset = 999, crafted("gap-beyond-file.bmp", h, 16);
    h = {}, h.depth = 8, h.width = 4, h.height = 2, h.imageSize = 8, crafted("8bit-palette-short.bmp", h, 600);
    h = {}, h.depth = 8, h.width = 4, h.height = 2, h.imageSize = 8, crafted("8bit-pixels-truncated.bmp", h, 1028);
    h = {}, h.depth = 8, h.width = 3, h.height = 3, h.imageSize = 0, crafted("8bit-image-size-0.bmp", h, 1024 + 12);
    h = {}, h.depth = 32, h.width = 3, h.height = 1, h.imageSize = 8, crafted("32bit-image-size-too-small.bmp", h, 12);
    return ok;
}

// Scripts for the write target: depth choice, width, height, then operations (see write_fuzzer.cpp).
bool WriteWriteSeeds() {
    bool ok = true;
    auto script = [&ok](const std::string& name, const Bytes& bytes) { ok = Save("write", name, bytes) && ok; };
    script("zero-width", {1, 0, 5});
    script("unsupported-depth-16", {3 + 4 * 4, 4, 4});
    // 24-bit 3x2: set pixels (one out of range), read them, save midway, change carried fields.
    script("24bit-pixels", {1, 3,    2,    0,    1,    0, 10, 20, 30,  0, 4,   1, 9, 9, 9, 4, 1, 0, 5, 3,
                            5, 0x78, 0x56, 0x34, 0x12, 0, 2,  1,  255, 0, 128, 1, 0, 0, 7, 2, 3, 1, 2, 3});
    script("32bit-pixels", {2, 5, 1, 0, 4, 0, 1, 2, 3, 0, 255, 0, 1, 1, 1, 4, 4, 0, 5, 3, 8, 0xFF, 0xFF, 0xFF, 0xFF});
    script("8bit-palette-and-indices", {0, 5, 3, 2, 255, 10, 20, 30, 1, 4, 2, 255, 1, 5, 0, 1, 4,
                                        4, 2, 2, 0, 1,   2,  3,  5,  0, 0, 0, 0,   0, 0, 4, 0, 0});
    script("8bit-large", {0, 63, 63, 1, 62, 62, 200, 2, 200, 1, 2, 3, 4, 62, 62, 5});
    script("24bit-large-padding", {1, 61, 47, 0, 60, 46, 1, 2, 3, 3, 4, 9, 0, 0, 0, 4, 60, 0, 5});
    // dataOffsets of a short table and of a gap in the record: the saved files lay out neither.
    script("8bit-short-table", {0, 3, 2, 2, 1, 10, 20, 30, 2, 2, 40, 50, 60, 1, 0, 0, 1, 3, 3, 63, 0, 0, 0, 5});
    script("24bit-gap", {1, 2, 2, 0, 1, 1, 7, 8, 9, 3, 3, 60, 0, 0, 0, 5, 4, 1, 1});
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    g_folder = argv[1];
    std::error_code error;
    fs::create_directories(g_folder / "read", error);
    fs::create_directories(g_folder / "write", error);
    if (!WriteReadSeeds() || !WriteWriteSeeds()) {
        std::fprintf(stderr, "could not write every seed into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
