// The public BMP suite through the built program (folder given as the only argument): every file
// either converts or fails with exit code 1 and one line of cause; none ends by a signal or with a
// sanitizer report. The table fixes which files convert and what the others fail with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "program_run.h"
#include "suite_replay_main.h"

namespace fs = std::filesystem;

namespace {

fs::path g_suite;

const std::set<std::string> kConverted = {
    "g/pal1.bmp", "g/pal1bg.bmp", "g/pal1wb.bmp", "g/pal4.bmp", "g/pal4gs.bmp", "g/pal4rle.bmp",
    "g/pal8-0.bmp", "g/pal8.bmp", "g/pal8gs.bmp", "g/pal8nonsquare.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp",
    "g/pal8topdown.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp", "g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp",
    "g/rgb16-565.bmp", "g/rgb16-565pal.bmp", "g/rgb16.bmp", "g/rgb16bfdef.bmp", "g/rgb24.bmp",
    "g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/pal1p1.bmp", "q/pal4rlecut.bmp",
    "q/pal4rletrns.bmp", "q/pal8offs.bmp", "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2sp.bmp",
    "q/pal8os2v2-40sz.bmp", "q/pal8os2v2-sz.bmp", "q/pal8os2v2.bmp", "q/pal8oversizepal.bmp",
    "q/pal8rlecut.bmp", "q/pal8rletrns.bmp", "q/rgb16-231.bmp", "q/rgb16-3103.bmp", "q/rgb16faketrns.bmp",
    "q/rgb24largepal.bmp", "q/rgb32-111110.bmp", "q/rgb32-7187.bmp", "q/rgb32-xbgr.bmp",
    "q/rgb32fakealpha.bmp", "q/rgba16-1924.bmp", "q/rgba16-4444.bmp", "q/rgba16-5551.bmp",
    "q/rgba32-1010102.bmp", "q/rgba32-61754.bmp", "q/rgba32-81284.bmp", "q/rgba32.bmp", "b/badbitssize.bmp",
    "b/baddens1.bmp", "b/baddens2.bmp", "b/badfilesize.bmp", "b/badpalettesize.bmp", "b/badrle.bmp",
    "b/badrle4.bmp", "b/badrle4bis.bmp", "b/badrle4ter.bmp", "b/badrlebis.bmp", "b/badrleter.bmp",
    "b/pal8badindex.bmp", "b/rgb16-880.bmp",
};

// The others, each with the end of its line: Qt's reason or the early-end cause (the bitmap module's
// status text stands before it).
const std::map<std::string, std::string> kRefused = {
    {"q/pal1huff.bmp", "Qt: Unable to read image data"}, // 1-bit Huffman compression
    {"q/pal2.bmp", "Qt: Unable to read image data"}, // 2 bits per pixel
    {"q/pal2color.bmp", "Qt: Unable to read image data"}, // 2 bits per pixel
    {"q/pal8os2v2-16.bmp", "Qt: Unable to read image data"}, // 16-byte OS/2 header
    {"q/rgb24jpeg.bmp", "Qt: Unable to read image data"}, // JPEG inside
    {"q/rgb24png.bmp", "Qt: Unable to read image data"}, // PNG inside
    {"q/rgb32h52.bmp", "Qt: Unable to read image data"}, // 52-byte header
    {"q/rgba32abf.bmp", "Qt: Unable to read image data"}, // alpha bit fields (compression 6)
    {"q/rgba32h56.bmp", "Qt: Unable to read image data"}, // 56-byte header
    {"b/badbitcount.bmp", "Qt: Unable to read image data"},
    {"b/badheadersize.bmp", "Qt: Unable to read image data"},
    {"b/badplanes.bmp", "Qt: Unable to read image data"},
    {"b/badwidth.bmp", "Qt: Unable to read image data"},
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

int main(int argc, char** argv) { return RunSuiteReplay(argc, argv, g_suite); }
