// The public BMP suite through the built program (folder given as the only argument): every file
// either converts or fails with exit code 1 and one line of cause; none ends by a signal or with a
// sanitizer report. The table fixes which files convert and what the others fail with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "program_run.h"
#include "readers/qt_picture_loader.h"
#include "suite_replay_main.h"

namespace fs = std::filesystem;

namespace {

fs::path g_suite;

const std::set<std::string> kConverted = {
    "g/pal1.bmp",          "g/pal1bg.bmp",          "g/pal1wb.bmp",         "g/pal4.bmp",
    "g/pal4gs.bmp",        "g/pal4rle.bmp",         "g/pal8-0.bmp",         "g/pal8.bmp",
    "g/pal8gs.bmp",        "g/pal8nonsquare.bmp",   "g/pal8os2.bmp",        "g/pal8rle.bmp",
    "g/pal8topdown.bmp",   "g/pal8v4.bmp",          "g/pal8v5.bmp",         "g/pal8w124.bmp",
    "g/pal8w125.bmp",      "g/pal8w126.bmp",        "g/rgb16-565.bmp",      "g/rgb16-565pal.bmp",
    "g/rgb16.bmp",         "g/rgb16bfdef.bmp",      "g/rgb24.bmp",          "g/rgb24pal.bmp",
    "g/rgb32.bmp",         "g/rgb32bf.bmp",         "g/rgb32bfdef.bmp",     "q/pal1p1.bmp",
    "q/pal4rlecut.bmp",    "q/pal4rletrns.bmp",     "q/pal8offs.bmp",       "q/pal8os2-hs.bmp",
    "q/pal8os2-sz.bmp",    "q/pal8os2sp.bmp",       "q/pal8os2v2-40sz.bmp", "q/pal8os2v2-sz.bmp",
    "q/pal8os2v2.bmp",     "q/pal8oversizepal.bmp", "q/pal2.bmp",           "q/pal2color.bmp",
    "q/pal8os2v2-16.bmp",  "q/rgb32h52.bmp",        "q/rgba32abf.bmp",      "q/rgba32h56.bmp",
    "q/pal8rlecut.bmp",    "q/pal8rletrns.bmp",     "q/rgb16-231.bmp",      "q/rgb16-3103.bmp",
    "q/rgb16faketrns.bmp", "q/rgb24largepal.bmp",   "q/rgb32-111110.bmp",   "q/rgb32-7187.bmp",
    "q/rgb32-xbgr.bmp",    "q/rgb32fakealpha.bmp",  "q/rgba16-1924.bmp",    "q/rgba16-4444.bmp",
    "q/rgba16-5551.bmp",   "q/rgba32-1010102.bmp",  "q/rgba32-61754.bmp",   "q/rgba32-81284.bmp",
    "q/rgba32.bmp",        "b/badbitssize.bmp",     "b/baddens1.bmp",       "b/baddens2.bmp",
    "b/badfilesize.bmp",   "b/badpalettesize.bmp",  "b/badrle.bmp",         "b/badrle4.bmp",
    "b/badrle4bis.bmp",    "b/badrle4ter.bmp",      "b/badrlebis.bmp",      "b/badrleter.bmp",
    "b/pal8badindex.bmp",  "b/rgb16-880.bmp",
};

// The others, each with the end of its line: Qt's reason or the early-end cause (the bitmap module's
// status text stands before it).
const std::map<std::string, std::string> kRefused = {
    {"q/pal1huff.bmp", "Qt: Unable to read image data"},   // 1-bit Huffman compression
    {"q/rgb24jpeg.bmp", "Qt: Unable to read image data"},  // JPEG inside
    {"q/rgb24png.bmp", "Qt: Unable to read image data"},   // PNG inside
    {"b/badbitcount.bmp", "Qt: Unable to read image data"},
    {"b/badheadersize.bmp", "Qt: Unable to read image data"},
    {"b/badplanes.bmp", "BMP: its planes field is 30000, not 1"},
    {"b/badwidth.bmp", "BMP: its width is -127"},
    {"b/reallybig.bmp", "the file ends early: its pixel data needs 18000000000054 bytes, the file has 24630"},
    {"b/shortfile.bmp", "the file ends early: its pixel data needs 1086 bytes, the file has 273"},
    {"b/rletopdown.bmp", "a run-length BMP must be stored bottom-up, but its height is negative"},
    {"x/ba-bm.bmp", "Qt: Unsupported image format"},
};

}  // namespace

TEST(cli_bmpsuite, every_file_converts_or_fails_with_one_line) {
    ScratchDir dir;
    std::vector<std::string> seen;
    for (const char* group : {"g", "q", "b", "x"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(g_suite / group)) {
            if (entry.path().extension() != ".bmp") continue;
            const std::string name = std::string(group) + "/" + entry.path().filename().string();
            seen.push_back(name);
            const auto refused = kRefused.find(name);
            ASSERT_TRUE(kConverted.contains(name) || refused != kRefused.end()) << name << " is not in the table";
            fs::remove(dir.file("out.bmc"));
            const std::string picture = entry.path().string();
            const ProgramRun run = RunProgram(dir, "-o '" + dir.file("out.bmc") + "' '" + picture + "'");
            if (refused == kRefused.end()) {
                EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
                EXPECT_EQ(run.err, "") << name;
                continue;
            }
            EXPECT_EQ(run.exitCode, 1) << name << ": " << run.err;  // -1 for a signal
            EXPECT_TRUE(run.err.starts_with("vandrel-convert: " + entry.path().string() + ": ")) << run.err;
            EXPECT_TRUE(run.err.ends_with(refused->second + "\n")) << name << ": " << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << name << ": " << run.err;
            EXPECT_FALSE(fs::exists(dir.file("out.bmc"))) << name;
        }
    }
    EXPECT_EQ(seen.size(), kConverted.size() + kRefused.size()) << "a file of the table is missing from the suite";
}

namespace {

// Every pixel of the file, as the command line's loader reads it, over the background (30, 200, 90).
std::vector<std::uint8_t> Pixels(const std::string& name) {
    DecodeSettings settings;
    settings.background = {30, 200, 90};
    const LoadedPicture loaded = QtPictureLoader(settings, DecodeWithQt).Load((g_suite / name).string());
    if (!loaded.picture) return {};
    const std::uint32_t width = loaded.picture->Width(), height = loaded.picture->Height();
    std::vector<std::uint8_t> rgb(3u * width * height);
    for (std::uint32_t y = 0; y < height; ++y) loaded.picture->ReadRun(0, y, width, rgb.data() + 3u * y * width);
    return rgb;
}

}  // namespace

// Pixels worked by hand from the files' own bytes (x, y from the top left): a field of n bits scales
// as v * 255 / (2^n - 1), rounded, so a full field is 255 and e.g. 10 of 6 bits is 40.
TEST(cli_bmpsuite, bit_fields_are_scaled_and_short_palettes_read_from_the_data_offset) {
    struct Row {
        const char* name;
        std::uint32_t x, y;
        std::vector<std::uint8_t> rgb;
    };
    const Row rows[] = {
        {"g/rgb16-565.bmp", 64, 32, {255, 255, 255}},   // 0xFFFF; shifted, white was 248, 252, 248
        {"g/rgb16-565.bmp", 5, 40, {90, 40, 41}},       // 0x5945: 11, 10, 5
        {"g/rgb16-565.bmp", 100, 10, {148, 150, 156}},  // 0x94B3: 18, 37, 19
        {"g/rgb16.bmp", 64, 32, {255, 255, 255}},       // 0x7FFF, 5-5-5
        {"g/rgb16.bmp", 5, 40, {90, 41, 41}},           // 0x2CA5: 11, 5, 5
        {"g/rgb16.bmp", 100, 10, {148, 148, 156}},      // 0x4A53: 18, 18, 19
        {"g/rgb16-565pal.bmp", 64, 32, {255, 255, 255}},
        {"g/rgb16-565pal.bmp", 5, 40, {90, 40, 41}},
        {"q/rgb32-111110.bmp", 64, 32, {255, 255, 255}},   // came out black
        {"q/rgb32-111110.bmp", 5, 40, {93, 41, 41}},       // 0x5D6528A5: 747, 330 of 2047; 165 of 1023
        {"q/rgb32-111110.bmp", 100, 10, {149, 149, 153}},  // 0x9592B266: 1196, 1196, 614
        {"q/rgb16-231.bmp", 28, 0, {255, 255, 255}},       // 0x3F; shifted, 48, 56, 32 at 6 bits
        {"q/rgb16-231.bmp", 5, 40, {85, 36, 0}},           // 0x12: 1 of 3, 1 of 7, 0
        {"q/rgb16-231.bmp", 100, 10, {170, 146, 255}},     // 0x29: 2, 4, 1
        {"q/rgba16-4444.bmp", 30, 0, {255, 255, 255}},     // 0xFFFF: alpha 15 is opaque (was 240)
        {"q/rgba16-4444.bmp", 5, 40, {85, 34, 34}},        // 0xF522
        {"q/rgba16-4444.bmp", 64, 32, {30, 200, 90}},      // 0x0F00: alpha 0 shows the background
        {"q/pal8os2sp.bmp", 0, 0, {255, 0, 0}},            // index 5 of 252 three-byte entries
        {"q/pal8os2sp.bmp", 5, 40, {51, 43, 0}},           // index 7
        {"q/pal8os2sp.bmp", 100, 10, {153, 170, 153}},     // index 153
    };
    for (const Row& row : rows) {
        const std::vector<std::uint8_t> pixels = Pixels(row.name);
        ASSERT_EQ(pixels.size(), 3u * 127u * 64u) << row.name;
        const auto at = pixels.begin() + 3 * (row.y * 127 + row.x);
        EXPECT_EQ(std::vector<std::uint8_t>(at, at + 3), row.rgb) << row.name << " at " << row.x << "," << row.y;
    }
    // The same picture in other variants, against the one the bitmap module reads.
    EXPECT_EQ(Pixels("q/pal8os2sp.bmp"), Pixels("g/pal8.bmp"));
    EXPECT_EQ(Pixels("q/pal8os2v2-16.bmp"), Pixels("g/pal8.bmp"));
    EXPECT_EQ(Pixels("g/rgb16-565pal.bmp"), Pixels("g/rgb16-565.bmp"));
}

int main(int argc, char** argv) { return RunSuiteReplay(argc, argv, g_suite); }
