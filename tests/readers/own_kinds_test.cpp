// Kinds Qt's readers get wrong or pay too much for: TGA and PBM/PGM/PPM read by our own readers, TIFF
// and GIF checked before Qt decodes them. Every file is written by hand; every pixel worked out by hand.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "readers/qt_decode.h"
#include "sanitizer_build.h"
#include "test_files.h"

namespace {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An 18-byte TGA header: ID length, map type, image type, map first/length/entry bits, sides, depth,
// descriptor.
Bytes Tga(std::uint8_t id, std::uint8_t mapType, std::uint8_t type, std::uint16_t mapLength, std::uint8_t mapBits,
          std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t descriptor) {
    Bytes header{id, mapType, type, 0, 0};
    PutLe16(header, mapLength);
    header.push_back(mapBits);
    PutLe32(header, 0);
    PutLe16(header, width);
    PutLe16(header, height);
    header.push_back(depth);
    header.push_back(descriptor);
    return header;
}

// A little-endian TIFF of one strip at offset 8 + IFD: each entry (tag, SHORT or LONG, value).
Bytes Tiff(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint16_t samples,
           std::uint16_t compression, std::uint16_t planar, const Bytes& strip) {
    const std::vector<std::pair<std::uint16_t, std::uint32_t>> entries{{256, width},
                                                                       {257, height},
                                                                       {258, bits},
                                                                       {259, compression},
                                                                       {262, samples == 3 ? 2u : 1u},
                                                                       {273, 0},
                                                                       {277, samples},
                                                                       {278, height},
                                                                       {279, static_cast<std::uint32_t>(strip.size())},
                                                                       {284, planar}};
    Bytes file = Text("II*");
    file.push_back(0);
    PutLe32(file, 8);
    PutLe16(file, static_cast<std::uint16_t>(entries.size()));
    const auto stripOffset = static_cast<std::uint32_t>(8 + 2 + 12 * entries.size() + 4);
    for (const auto& [tag, value] : entries) {
        PutLe16(file, tag);
        PutLe16(file, 4);  // LONG
        PutLe32(file, 1);
        PutLe32(file, tag == 273 ? stripOffset : value);
    }
    PutLe32(file, 0);
    return Join(file, strip);
}

struct Case {
    const char* name;
    const char* fileName;
    Bytes file;
    Bytes rgb;            // every pixel, top row first; empty when refused
    const char* refusal;  // part of the reason when refused
};

std::vector<Case> Cases() {
    return {
        // Bottom-up, with a 2-byte ID field that Qt's reader took for pixels: bottom row blue, red.
        {"TGA 24-bit with an ID field",
         "id.tga",
         Join(Join(Tga(2, 0, 2, 0, 0, 2, 2, 24, 0), Text("hi")), {255, 0, 0, 0, 0, 255, 0, 255, 0, 255, 255, 255}),
         {0, 255, 0, 255, 255, 255, 0, 0, 255, 255, 0, 0},
         ""},
        // 5-5-5 levels scale to 8 bits (31 -> 255, 16 -> 132); top-down, right to left: 0x001F is blue,
        // 0x4200 red 16 and green 16.
        {"TGA 16-bit",
         "five.tga",
         Join(Tga(0, 0, 2, 0, 0, 2, 1, 16, 0x30), {0x1F, 0x00, 0x00, 0x42}),
         {132, 132, 0, 0, 0, 255},
         ""},
        {"TGA run-length grey",
         "grey.tga",
         Join(Tga(0, 0, 11, 0, 0, 3, 1, 8, 0x20), {0x82, 0x40}),
         {64, 64, 64, 64, 64, 64, 64, 64, 64},
         ""},
        {"TGA colour-mapped",
         "map.tga",
         Join(Tga(0, 1, 1, 2, 24, 2, 1, 8, 0x20), {0, 0, 255, 255, 0, 0, 1, 0}),
         {0, 0, 255, 255, 0, 0},
         ""},
        {"TGA cut short", "cut.tga", Join(Tga(0, 0, 2, 0, 0, 2, 2, 24, 0), {1, 2, 3}), {}, "stops after 0 of 2 rows"},
        // 1986 of 65535 is 7.73 of 255: rounded, not cut.
        {"PGM of 16 bits", "deep.pgm", Join(Text("P5 1 1 65535\n"), {0x07, 0xC2}), {8, 8, 8}, ""},
        {"PBM without separators", "bits.pbm", Text("P1 3 1 010"), {255, 255, 255, 0, 0, 0, 255, 255, 255}, ""},
        {"PPM plain, maximum 15", "small.ppm", Text("P3 1 1 15 15 7 0"), {255, 119, 0}, ""},
        {"PGM sample over its maximum", "over.pgm", Text("P2 1 1 100 101"), {}, "sample from 0 to 100"},
        {"TIFF of 16-bit planes", "planes.tif", Tiff(1, 1, 16, 3, 1, 2, Bytes(6, 0)), {}, "separate planes"},
        {"TIFF of 12-bit channels", "twelve.tif", Tiff(2, 1, 12, 1, 1, 1, Bytes(3, 0)), {}, "12-bit"},
        {"TIFF whose strip is short", "short.tif", Tiff(4, 4, 8, 1, 1, 1, Bytes(5, 0)), {}, "ends early or is damaged"},
        // A 4 x 4 picture whose LZW codes (clear, one pixel, end) give 1 pixel.
        {"GIF whose codes give too few pixels",
         "few.gif",
         Join(Text("GIF89a"), {4, 0, 4, 0, 0x80, 0, 0, 0, 0, 0, 255,  255,  255, ',', 0,
                               0, 0, 0, 4, 0,    4, 0, 0, 2, 2, 0x44, 0x01, 0,   ';'}),
         {},
         "codes give 1 of its 16 pixels"},
    };
}

// The picture's pixels, or the refusal's reason.
std::pair<Bytes, std::string> Decode(const std::string& path, const DecodeSettings& settings = {}) {
    const LoadedPicture loaded = DecodeWithQt(path, BitmapInvalidFile, settings);
    if (!loaded.picture) return {{}, loaded.facts.decoderReason};
    Bytes rgb(3u * loaded.picture->Width() * loaded.picture->Height());
    for (std::uint32_t y = 0; y < loaded.picture->Height(); ++y)
        loaded.picture->ReadRun(0, y, loaded.picture->Width(), rgb.data() + 3u * y * loaded.picture->Width());
    return {rgb, ""};
}

TEST(own_kinds, read_exactly_or_refused_with_the_reason) {
    const ScratchDir dir;
    for (const Case& c : Cases()) {
        const std::string path = dir.file(c.fileName);
        WriteFileBytes(path, c.file);
        const auto [rgb, reason] = Decode(path);
        EXPECT_EQ(rgb, c.rgb) << c.name << ": " << reason;
        if (c.rgb.empty()) {
            EXPECT_NE(reason.find(c.refusal), std::string::npos) << c.name << ": " << reason;
        }
    }
}

// Peak memory of a child that decodes `path`, in KiB. Unused where the sanitizer's own shadow memory
// would count.
[[maybe_unused]] long PeakKiB(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        DecodeWithQt(path, BitmapInvalidFile, {});
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

// Tiny files declaring huge pictures cost what their data decodes to, not what their headers claim.
TEST(own_kinds, tiny_files_claiming_huge_pictures_stay_small) {
    const ScratchDir dir;
    Bytes gif = Join(Text("GIF89a"), {0x80, 0x3E, 0x80, 0x3E, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    gif = Join(gif, {',', 0, 0, 0, 0, 0x80, 0x3E, 0x80, 0x3E, 0, 2, 2, 0x44, 0x01, 0, ';'});
    const std::vector<std::pair<const char*, Bytes>> files{
        {"huge.tif", Tiff(16000, 16000, 8, 3, 1, 1, Bytes(900, 1))},
        {"huge.gif", gif},
        {"huge.pgm", Join(Text("P5 16000 16000 255\n"), Bytes(100, 7))},
        {"huge.tga", Join(Tga(0, 0, 2, 0, 0, 16000, 16000, 24, 0), Bytes(100, 7))},
    };
    for (const auto& [name, bytes] : files) {
        const std::string path = dir.file(name);
        WriteFileBytes(path, bytes);
        ASSERT_LT(bytes.size(), 4096u);
        EXPECT_TRUE(Decode(path).first.empty()) << name;
#ifndef VANDREL_UNDER_ASAN  // the sanitizer's own shadow memory would count
        EXPECT_LT(PeakKiB(path), 64 * 1024) << name;
#endif
    }
}

}  // namespace
