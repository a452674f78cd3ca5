// Replays the public BMP suite (folder given as the only argument): every file must be answered with
// a status or an image that reads safely, and each 40-byte-header 8, 24 and 32-bit file has its
// outcome fixed below, with loaded pixels compared against Qt's QImage.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "convert/display_writers.h"
#include "qimage_compare.h"
#include "suite_replay_main.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

fs::path g_suite;

constexpr BitmapStatus kLoads = BitmapOk;

// What this reader must make of a suite file. An 8-bit file's colour table holds the entries that fit
// before dataOffset (the rest black); the pixels start at dataOffset when it lies past the header.
struct Expected {
    BitmapStatus status;  // kLoads, or the status the load must leave
    bool matchesQt;       // for loaded files: every pixel as QImage decodes it
    const char* why;
};

const std::map<std::string, Expected> kForty = {
    {"g/pal8-0.bmp", {kLoads, true, "full table, imageSize 0 raised to the rows"}},
    {"g/pal8.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8gs.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8nonsquare.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8w124.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8w125.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8w126.bmp", {kLoads, true, "252-entry table"}},
    {"g/pal8rle.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"g/pal8topdown.bmp", {BitmapUnsupported, false, "negative (top-down) height"}},
    {"g/rgb24.bmp", {kLoads, true, "plain 24-bit"}},
    {"g/rgb24pal.bmp", {kLoads, true, "pixels at 1078 behind an unused table"}},
    {"g/rgb32.bmp", {kLoads, true, "plain 32-bit"}},
    {"g/rgb32bf.bmp", {BitmapUnsupported, false, "bit-field masks (compression 3)"}},
    {"g/rgb32bfdef.bmp", {BitmapUnsupported, false, "bit-field masks (compression 3)"}},
    {"q/pal8offs.bmp", {kLoads, true, "pixels at 1162, after a gap behind the table"}},
    {"q/pal8os2v2-40sz.bmp", {kLoads, true, "252-entry table"}},
    {"q/pal8oversizepal.bmp", {kLoads, false, "300-entry table, of which 256 are read; QImage refuses it"}},
    {"q/pal8rlecut.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"q/pal8rletrns.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"q/rgb24largepal.bmp", {kLoads, true, "pixels at 1254 behind an unused table"}},
    {"q/rgb32-111110.bmp", {BitmapUnsupported, false, "bit-field masks (compression 3)"}},
    {"q/rgb32-7187.bmp", {BitmapUnsupported, false, "bit-field masks (compression 3)"}},
    {"q/rgb32fakealpha.bmp", {kLoads, true, "32-bit with a fourth byte that is not alpha"}},
    {"q/rgba32abf.bmp", {BitmapUnsupported, false, "alpha bit-fields (compression 6)"}},
    {"b/badpalettesize.bmp", {kLoads, false, "colour count 305402420, 252-entry table; QImage refuses it"}},
    {"b/badrle.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"b/badrlebis.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"b/badrleter.bmp", {BitmapUnsupported, false, "run-length compressed"}},
    {"b/pal8badindex.bmp", {kLoads, true, "101-entry table; indices past it are black"}},
    {"b/reallybig.bmp", {BitmapInvalidFile, false, "3000000 x 2000000: rows do not fit 32 bits"}},
    {"b/rletopdown.bmp", {BitmapUnsupported, false, "run-length compressed, top-down"}},
};

struct Header {
    std::size_t length = 0;
    std::uint16_t magic = 0;
    std::uint32_t headerSize = 0;
    std::uint16_t depth = 0;
    std::uint32_t compression = 0;
};

Header ReadRawHeader(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Header header;
    header.length = bytes.size();
    if (bytes.size() < 54) return header;
    auto le = [&bytes](std::size_t at, int count) {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
        return value;
    };
    header.magic = static_cast<std::uint16_t>(le(0, 2));
    header.headerSize = le(14, 4);
    header.depth = static_cast<std::uint16_t>(le(28, 2));
    header.compression = le(30, 4);
    return header;
}

bool FortyByteHeaderOfOurDepths(const Header& h) {
    return h.length >= 54 && h.magic == 0x4D42 && h.headerSize == 40 &&
           (h.depth == 8 || h.depth == 24 || h.depth == 32);
}

// Every suite file as "g/name.bmp", in name order.
std::vector<std::string> SuiteFiles() {
    std::vector<std::string> names;
    for (const char* group : {"g", "q", "b", "x"}) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(g_suite / group, error))
            if (entry.is_regular_file() && entry.path().extension() == ".bmp")
                names.push_back(std::string(group) + "/" + entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string PathOf(const std::string& name) { return (g_suite / name).string(); }

// Reads every pixel (of the first 4096 rows and columns) and palette entry, each of which must answer
// what the record's bytes hold, and runs both writers; the sanitizer build also turns any stray
// access into a failure.
void ExerciseLoaded(const BitmapImage* image) {
    const std::uint32_t width = BitmapWidth(image), height = BitmapHeight(image);
    const std::uint32_t bytesPerPixel = image->bitsPerPixel / 8u;
    const std::size_t stride = height == 0 ? 0 : image->imageSize / height;
    long wrongPixels = 0;
    for (std::uint32_t y = 0; y < height && y < 4096; ++y) {
        for (std::uint32_t x = 0; x < width && x < 4096; ++x) {
            const std::uint8_t* stored = image->pixels + (height - y - 1) * stride + x * bytesPerPixel;
            std::uint8_t index = 0;
            GetPixelIndex(image, x, y, &index);
            const bool indexed = image->bitsPerPixel == 8;
            if (LastBitmapStatus() != (indexed ? BitmapOk : BitmapTypeMismatch) || (indexed && index != *stored))
                ++wrongPixels;
            if (indexed) stored = image->palette + 4u * *stored;
            std::uint8_t r = 0, g = 0, b = 0;
            GetPixelRgb(image, x, y, &r, &g, &b);
            if (LastBitmapStatus() != BitmapOk || r != stored[2] || g != stored[1] || b != stored[0]) ++wrongPixels;
        }
    }
    EXPECT_EQ(wrongPixels, 0);
    for (int i = 0; i < 256 && image->palette != nullptr; ++i) {
        std::uint8_t rgb[3] = {};
        GetPaletteColor(image, static_cast<std::uint8_t>(i), &rgb[0], &rgb[1], &rgb[2]);
        const std::uint8_t* entry = image->palette + 4 * i;
        EXPECT_EQ(Bytes(rgb, rgb + 3), (Bytes{entry[2], entry[1], entry[0]})) << "entry " << i;
    }
    std::FILE* sink = std::fopen("/dev/null", "wb");
    ASSERT_NE(sink, nullptr);
    const BitmapPicture picture(*image);
    EXPECT_TRUE(WriteRawColourStream(picture, true, sink));
    EXPECT_TRUE(WriteArrayText(picture, sink));
    std::fclose(sink);
}

}  // namespace

TEST(bmpsuite, every_file_is_answered_safely) {
    const std::vector<std::string> names = SuiteFiles();
    ASSERT_GT(names.size(), 50u) << "suite folder looks empty: " << g_suite;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const BitmapImagePtr image(ReadBitmapFile(PathOf(name).c_str()));
        const BitmapStatus status = LastBitmapStatus();
        if (!image) {
            EXPECT_TRUE(status == BitmapUnsupported || status == BitmapInvalidFile) << int{status};
            EXPECT_NE(BitmapStatusText(), nullptr);
            continue;
        }
        EXPECT_EQ(status, BitmapOk);
        ExerciseLoaded(image.get());
    }
}

// Files outside the 40-byte-header 8, 24 and 32-bit set are variants this reader does not take.
TEST(bmpsuite, other_variants_are_refused) {
    for (const std::string& name : SuiteFiles()) {
        const Header header = ReadRawHeader(g_suite / name);
        if (FortyByteHeaderOfOurDepths(header)) continue;
        SCOPED_TRACE(name);
        const bool foreign = header.length < 54 || header.magic != 0x4D42;
        EXPECT_EQ(BitmapImagePtr(ReadBitmapFile(PathOf(name).c_str())), nullptr);
        EXPECT_EQ(LastBitmapStatus(), foreign ? BitmapInvalidFile : BitmapUnsupported);
    }
}

TEST(bmpsuite, forty_byte_header_files_have_their_expected_outcome) {
    std::printf("| file | bpp | outcome | pixels against QImage | why |\n|---|---|---|---|---|\n");
    int covered = 0;
    for (const std::string& name : SuiteFiles()) {
        const Header header = ReadRawHeader(g_suite / name);
        if (!FortyByteHeaderOfOurDepths(header)) continue;
        SCOPED_TRACE(name);
        const auto found = kForty.find(name);
        if (found == kForty.end()) {
            ADD_FAILURE() << "no expected outcome recorded for this file";
            continue;
        }
        ++covered;
        const Expected& expected = found->second;
        const BitmapImagePtr image(ReadBitmapFile(PathOf(name).c_str()));
        const BitmapStatus status = LastBitmapStatus();
        std::string outcome = "status " + std::to_string(int{status});
        std::string pixels = "-";
        if (image) {
            outcome = "loaded";
            const long differing = PixelsDifferingFromQt(image.get(), QImage(QString::fromStdString(PathOf(name))));
            pixels = differing < 0    ? "QImage cannot decode"
                     : differing == 0 ? "match"
                                      : "differ (" + std::to_string(differing) + " pixels)";
            EXPECT_EQ(differing == 0, expected.matchesQt) << pixels;
        }
        EXPECT_EQ(status, expected.status);
        std::printf("| %s | %u | %s | %s | %s |\n", name.c_str(), unsigned{header.depth}, outcome.c_str(),
                    pixels.c_str(), expected.why);
    }
    EXPECT_EQ(covered, static_cast<int>(kForty.size())) << "some recorded files are missing from the suite";
}

int main(int argc, char** argv) { return RunSuiteReplay(argc, argv, g_suite); }
