// The public PNG suite (folder given as the only argument) through the command line's loader: every
// file but the x ones gives exactly the pixels the PNG standard describes, over a background that
// shows every transparent pixel; every x file is refused with what is wrong with it.
// The judge is Qt's PNG reader at 16 bits a channel, rounded here by the standard's rule; where it
// is known to be wrong (16-bit RGB with a transparent colour) the tRNS chunk is taken out for it and
// applied here, and hand-worked pixels check that judge itself.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <map>

#include "readers/qt_picture_loader.h"
#include "suite_replay_main.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

fs::path g_suite;
using Rgb = std::vector<std::uint8_t>;
constexpr RgbColour kBackground{30, 200, 90};

const std::map<std::string, std::string> kRefused = {
    {"xc1n0g08.png", "PNG: invalid color type"},
    {"xc9n2c08.png", "PNG: invalid color type"},
    {"xcsn0g01.png", "PNG: invalid chunk checksum"},
    {"xd0n2c08.png", "PNG: invalid bit depth"},
    {"xd3n2c08.png", "PNG: invalid bit depth"},
    {"xd9n2c08.png", "PNG: invalid bit depth"},
    {"xdtn0g01.png", "PNG: invalid chunk position"},
    {"xhdn0g08.png", "PNG: invalid chunk checksum"},
    {"xcrn0g04.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
    {"xlfn0g04.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
    {"xs1n0g01.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
    {"xs2n0g01.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
    {"xs4n0g01.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
    {"xs7n0g01.png", "PNG: its signature is damaged (its first 8 bytes are not a PNG's)"},
};

LoadedPicture Load(const fs::path& file) {
    DecodeSettings settings;
    settings.background = kBackground;
    return QtPictureLoader(settings, DecodeWithQt).Load(file.string());
}

Rgb Pixels(const Picture& picture) {
    Rgb rgb(3u * picture.Width() * picture.Height());
    for (std::uint32_t y = 0; y < picture.Height(); ++y)
        picture.ReadRun(0, y, picture.Width(), rgb.data() + 3u * y * picture.Width());
    return rgb;
}

std::uint8_t Round16(unsigned value) { return static_cast<std::uint8_t>((value * 255u + 32767u) / 65535u); }

// The file's bytes without its tRNS chunk, and that chunk's data (empty when there is none).
Bytes WithoutTransparency(const Bytes& png, Bytes& transparency) {
    Bytes kept(png.begin(), png.begin() + 8);
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length = std::size_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        const auto begin = png.begin() + static_cast<long>(at), end = begin + static_cast<long>(length + 12);
        if (std::string(begin + 4, begin + 8) == "tRNS")
            transparency.assign(begin + 8, end - 4);
        else
            kept.insert(kept.end(), begin, end);
        at += length + 12;
    }
    return kept;
}

// The judge's pixels over the background.
Rgb Expected(const fs::path& file) {
    const Bytes png = ReadFileBytes(file.string());
    Bytes colour;  // the transparent colour of a 16-bit RGB file, which the judge gets wrong
    const bool rgb16 = png[24] == 16 && png[25] == 2;
    const Bytes judged = rgb16 ? WithoutTransparency(png, colour) : png;
    QImage image = QImage::fromData(judged.data(), static_cast<int>(judged.size()), "png");
    image.convertTo(QImage::Format_RGBA64);
    Rgb rgb;
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixel = reinterpret_cast<const std::uint16_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            unsigned alpha = pixel[3];
            if (colour.size() == 6 && pixel[0] == (colour[0] << 8 | colour[1]) &&
                pixel[1] == (colour[2] << 8 | colour[3]) && pixel[2] == (colour[4] << 8 | colour[5]))
                alpha = 0;
            const std::uint8_t a = Round16(alpha);
            rgb.push_back(Composite(Round16(pixel[0]), a, kBackground.red));
            rgb.push_back(Composite(Round16(pixel[1]), a, kBackground.green));
            rgb.push_back(Composite(Round16(pixel[2]), a, kBackground.blue));
        }
    }
    return rgb;
}

}  // namespace

TEST(cli_pngsuite, every_valid_file_gives_the_standards_pixels_and_every_x_file_is_refused) {
    std::size_t seen = 0, refused = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(g_suite)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") continue;
        ++seen;
        const LoadedPicture loaded = Load(entry.path());
        if (name.starts_with("x")) {
            ++refused;
            EXPECT_EQ(loaded.failure, LoadFailure::Unreadable) << name;
            EXPECT_EQ(loaded.facts.decoderReason, kRefused.contains(name) ? kRefused.at(name) : "?") << name;
            continue;
        }
        ASSERT_TRUE(loaded.picture) << name << ": " << loaded.facts.decoderReason;
        EXPECT_TRUE(Pixels(*loaded.picture) == Expected(entry.path())) << name;
    }
    EXPECT_EQ(seen, 175u);
    EXPECT_EQ(refused, kRefused.size());
}

// 16-bit RGB with white as the transparent colour; the values are the files' own, read from their
// unfiltered rows: (1, 0, 61680) rounds to (0, 0, 240), 21588 to 84, 65278 to 254, and white shows
// the background. Both files hold the same pixels (their bKGD chunks differ, which is not used).
TEST(cli_pngsuite, sixteen_bit_rgb_with_a_transparent_colour_worked_by_hand) {
    struct Spot {
        std::uint32_t x, y;
        Rgb rgb;
    };
    const Spot spots[] = {{0, 0, {30, 200, 90}},
                          {21, 15, {0, 0, 240}},
                          {26, 9, {84, 84, 84}},
                          {28, 22, {30, 200, 90}},
                          {12, 28, {254, 254, 254}}};
    for (const char* name : {"tbbn2c16.png", "tbgn2c16.png"}) {
        const LoadedPicture loaded = Load(g_suite / name);
        ASSERT_TRUE(loaded.picture) << name;
        for (const Spot& spot : spots) {
            Rgb rgb(3);
            loaded.picture->ReadRun(spot.x, spot.y, 1, rgb.data());
            EXPECT_EQ(rgb, spot.rgb) << name << " at " << spot.x << "," << spot.y;
        }
    }
}

int main(int argc, char** argv) { return RunSuiteReplay(argc, argv, g_suite, "basn0g01.png"); }
