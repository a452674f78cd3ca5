// Pictures the bitmap module refuses, decoded by Qt on the command line: the pixels each kind gives,
// transparency over the background, colours as stored, and the refusals that come before decoding.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QColorSpace>
#include <QImage>

#include <algorithm>
#include <array>
#include <filesystem>

#include "readers/qt_picture_loader.h"
#include "program_run.h"

namespace fs = std::filesystem;

namespace {

using Rgb = std::vector<std::uint8_t>;

// Every pixel of the loaded picture, row by row, three bytes each; empty when it did not load.
Rgb LoadedPixels(const std::string& path, DecodeSettings settings = {}) {
    const LoadedPicture loaded = QtPictureLoader(settings, DecodeWithQt).Load(path);
    if (!loaded.picture) return {};
    const Picture& picture = *loaded.picture;
    Rgb rgb(3u * picture.Width() * picture.Height());
    for (std::uint32_t y = 0; y < picture.Height(); ++y)
        picture.ReadRun(0, y, picture.Width(), rgb.data() + 3u * y * picture.Width());
    return rgb;
}

std::string Save(const ScratchDir& dir, const QImage& image, const std::string& name, const char* format) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << name;
    return path;
}

// A PNG chunk: length, type, data, and the CRC-32 of type and data.
Bytes PngChunk(const std::string& type, const Bytes& data) {
    Bytes chunk(8 + data.size(), 0);
    chunk[3] = static_cast<std::uint8_t>(data.size());
    std::copy(type.begin(), type.end(), chunk.begin() + 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 4; i < chunk.size(); ++i) {
        crc ^= chunk[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<std::uint8_t>(crc >> shift));
    return chunk;
}

// A BMP header of any size: the 40 bytes every size shares, then zeros up to headerSize.
Bytes BmpFile(std::uint32_t headerSize, std::int32_t width, std::int32_t height, std::uint16_t depth,
              std::uint32_t compression, const Bytes& palette, const Bytes& pixels) {
    Bytes file;
    PutLe16(file, 0x4D42);
    const auto offset = static_cast<std::uint32_t>(14 + headerSize + palette.size());
    const auto pixelBytes = static_cast<std::uint32_t>(pixels.size());
    for (const std::uint32_t field : {offset + pixelBytes, 0u, offset, headerSize, static_cast<std::uint32_t>(width),
                                      static_cast<std::uint32_t>(height)})
        PutLe32(file, field);
    PutLe16(file, 1);
    PutLe16(file, depth);
    const auto colours = static_cast<std::uint32_t>(palette.size() / 4);
    for (const std::uint32_t field : {compression, pixelBytes, 2835u, 2835u, colours, 0u})
        PutLe32(file, field);
    file.resize(14 + headerSize, 0);
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// Blue, green, red, reserved: 0 dark red (40, 0, 0), 1 white, 2 (8, 16, 252).
const Bytes kPalette{0, 0, 40, 0, 255, 255, 255, 0, 252, 16, 8, 0};
// 4 x 2, bottom row first: four of index 1; then literal 0, 1, 2 (padded to a word) and one 2.
const Bytes kRle8{4, 1, 0, 0, 0, 3, 0, 1, 2, 0, 1, 2, 0, 1};
// Its raw colour stream: prefix 0 2 0 4, the top row then the bottom row, 6-bit channels.
const Bytes kRle8Stream{0, 2, 0, 4, 10, 0, 0, 63, 63, 63, 2, 4, 63, 2, 4, 63,
                        63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// 2 x 1: red then blue, two-colour table, LZW codes clear, 0, 1, end in 3-bit codes.
const Bytes kGif{'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255, 0, 0, 0, 0, 255,
                 0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x44, 0x0A, 0, 0x3B};

class CliDecode : public ::testing::Test {
protected:
    // The raw colour stream written to standard output for `arguments`.
    Bytes Stream(const std::string& arguments) {
        const ProgramRun run = RunProgram(dir, "-o - " + arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return Bytes(run.out.begin(), run.out.end());
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir.file(name);
        WriteFileBytes(path, bytes);
        return std::string(1, '\'').append(path).append(1, '\'');
    }
    // The one line of a refusal, with exit code 1 and no output left behind.
    std::string Refusal(const std::string& name, const Bytes& bytes, const std::string& options = "") {
        const ProgramRun run = RunProgram(dir, options + " " + Write(name, bytes));
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_FALSE(fs::exists(dir.file(fs::path(name).stem().string() + ".bmc"))) << name;
        return run.err;
    }
    std::string Line(const std::string& name, const std::string& cause) {
        return "vandrel-convert: " + dir.file(name) + ": " + cause + "\n";
    }

    ScratchDir dir;
};

}  // namespace

TEST_F(CliDecode, bmp_variants_the_module_refuses_give_hand_checked_streams) {
    // 2 x 2, 24 bits: bottom row (blue, white), top row (red, 8 16 252); rows of 6 bytes padded to 8.
    const Bytes rows{255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 252, 16, 8, 0, 0};
    const Bytes stream{0, 2, 0, 2, 63, 0, 0, 2, 4, 63, 0, 0, 63, 63, 63, 63};
    EXPECT_EQ(Stream(Write("v5.bmp", BmpFile(124, 2, 2, 24, 0, {}, rows))), stream);
    // The same rows stored top row first under a negative height.
    const Bytes topDown{0, 0, 255, 252, 16, 8, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    EXPECT_EQ(Stream(Write("top-down.bmp", BmpFile(40, 2, -2, 24, 0, {}, topDown))), stream);
    EXPECT_EQ(Stream(Write("rle8.bmp", BmpFile(40, 4, 2, 8, 1, kPalette, kRle8))), kRle8Stream);
    // A delta skips two pixels, which are index 0 rather than whatever memory held.
    const Bytes skipping{0, 2, 2, 0, 2, 1, 0, 1};
    WriteFileBytes(dir.file("skipping.bmp"), BmpFile(40, 4, 1, 8, 1, kPalette, skipping));
    EXPECT_EQ(LoadedPixels(dir.file("skipping.bmp")), (Rgb{40, 0, 0, 40, 0, 0, 255, 255, 255, 255, 255, 255}));
    // 8 and 32-bit files with a 40-byte header come from the module itself.
    Bytes fullPalette = kPalette;
    fullPalette.resize(1024, 0);
    EXPECT_EQ(Stream(Write("indexed.bmp", BmpFile(40, 1, 1, 8, 0, fullPalette, {2, 0, 0, 0}))),
              (Bytes{0, 1, 0, 1, 2, 4, 63}));
    EXPECT_EQ(Stream(Write("alpha.bmp", BmpFile(40, 1, 1, 32, 0, {}, {252, 16, 8, 0}))),
              (Bytes{0, 1, 0, 1, 2, 4, 63}));
    EXPECT_EQ(Stream(Write("one.gif", kGif)), (Bytes{0, 1, 0, 2, 63, 0, 0, 0, 0, 63}));
}

TEST_F(CliDecode, qt_formats_give_the_stored_pixels) {
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    EXPECT_EQ(LoadedPixels(Save(dir, indexed, "palette.png", "png")), (Rgb{200, 100, 50, 10, 20, 30}));

    QImage grey(2, 1, QImage::Format_Grayscale8);
    grey.scanLine(0)[0] = 0;
    grey.scanLine(0)[1] = 129;
    EXPECT_EQ(LoadedPixels(Save(dir, grey, "grey.png", "png")), (Rgb{0, 0, 0, 129, 129, 129}));
    EXPECT_EQ(LoadedPixels(Save(dir, grey, "grey.pgm", "pgm")), (Rgb{0, 0, 0, 129, 129, 129}));

    // 16 bits per channel: 0xABAB is 0xAB in 8 bits exactly.
    QImage deep(1, 1, QImage::Format_RGBA64);
    deep.setPixelColor(0, 0, QColor::fromRgba64(0xABAB, 0x1212, 0xFFFF, 0xFFFF));
    EXPECT_EQ(LoadedPixels(Save(dir, deep, "deep.png", "png")), (Rgb{0xAB, 0x12, 0xFF}));

    QImage plain(3, 1, QImage::Format_RGB32);
    plain.setPixel(0, 0, qRgb(1, 2, 3));
    plain.setPixel(1, 0, qRgb(250, 128, 7));
    plain.setPixel(2, 0, qRgb(0, 255, 64));
    EXPECT_EQ(LoadedPixels(Save(dir, plain, "plain.ppm", "ppm")), (Rgb{1, 2, 3, 250, 128, 7, 0, 255, 64}));

    // JPEG is lossy: the pixels are whatever Qt itself decodes from the file.
    const std::string jpeg = Save(dir, plain, "plain.jpg", "jpeg");
    const QImage decoded = QImage(QString::fromStdString(jpeg)).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(LoadedPixels(jpeg), Rgb(decoded.constBits(), decoded.constBits() + 9));

    // A picture in a file named for another kind is still read by what it holds.
    EXPECT_EQ(LoadedPixels(Save(dir, plain, "named.bmp", "png")), (Rgb{1, 2, 3, 250, 128, 7, 0, 255, 64}));

    // The preview reads the same picture.
    const ProgramRun run = RunProgram(dir, "--preview '" + dir.file("seen.bmp") + "' '" + jpeg + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.file("seen.bmp")).size(), 54u + 12u);
}

TEST_F(CliDecode, transparency_is_laid_over_the_background) {
    QImage image(4, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 4; ++x) image.setPixel(x, 0, qRgba(200, 100, 50, std::array{0, 1, 128, 255}[x]));
    const std::string path = Save(dir, image, "alpha.png", "png");
    // (c * a + bg * (255 - a) + 127) / 255, worked by hand: a = 1 over black gives (200 + 127) / 255.
    EXPECT_EQ(LoadedPixels(path), (Rgb{0, 0, 0, 1, 0, 0, 100, 50, 25, 200, 100, 50}));
    // Over ff8000, a = 1: (200 + 255 * 254 + 127) / 255 = 255, (100 + 128 * 254 + 127) / 255 = 128;
    // a = 128: (25600 + 32385 + 127) / 255 = 227, (12800 + 16256 + 127) / 255 = 114, 6527 / 255 = 25.
    DecodeSettings orange;
    orange.background = {255, 128, 0};
    EXPECT_EQ(LoadedPixels(path, orange), (Rgb{255, 128, 0, 255, 128, 0, 227, 114, 25, 200, 100, 50}));
    EXPECT_EQ(Stream("--background FF8000 --no-size '" + path + "'"),
              (Bytes{63, 32, 0, 63, 32, 0, 56, 28, 6, 50, 25, 12}));
}

TEST_F(CliDecode, colours_are_taken_as_stored_whatever_profile_or_gamma_the_file_carries) {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(10, 128, 240));
    image.setPixel(1, 0, qRgb(255, 60, 0));
    image.setColorSpace(QColorSpace::AdobeRgb);
    const std::string profiled = Save(dir, image, "profiled.png", "png");
    ASSERT_TRUE(QImage(QString::fromStdString(profiled)).colorSpace().isValid()) << "no profile written";
    EXPECT_EQ(LoadedPixels(profiled), (Rgb{10, 128, 240, 255, 60, 0}));

    // A gAMA chunk of 1.0 (linear light) after the 33 bytes of signature and IHDR.
    image.setColorSpace(QColorSpace());
    Bytes png = ReadFileBytes(Save(dir, image, "plain.png", "png"));
    const Bytes gamma = PngChunk("gAMA", {0, 1, 0x86, 0xA0});
    png.insert(png.begin() + 33, gamma.begin(), gamma.end());
    WriteFileBytes(dir.file("gamma.png"), png);
    ASSERT_TRUE(QImage(QString::fromStdString(dir.file("gamma.png"))).colorSpace().isValid()) << "gamma not seen";
    EXPECT_EQ(LoadedPixels(dir.file("gamma.png")), (Rgb{10, 128, 240, 255, 60, 0}));
}

TEST_F(CliDecode, files_that_end_early_are_refused_with_their_cause) {
    const Bytes rows(8 * 2, 0x40);
    Bytes v5 = BmpFile(124, 2, 2, 24, 0, {}, rows);
    v5.resize(v5.size() - 5);
    EXPECT_EQ(Refusal("v5.bmp", v5),
              Line("v5.bmp", "the file ends early: its pixel data needs 154 bytes, the file has 149"));
    Bytes topDown = BmpFile(40, 2, -2, 24, 0, {}, rows);
    topDown.resize(60);
    EXPECT_EQ(Refusal("top.bmp", topDown),
              Line("top.bmp", "the file ends early: its pixel data needs 70 bytes, the file has 60"));
    // The oldest, 12-byte header (16-bit sides): 9 x 2 at 1 bit, two 3-byte colours, rows of 4 bytes.
    Bytes oldest;
    PutLe16(oldest, 0x4D42);
    for (const std::uint32_t field : {40u, 0u, 32u, 12u}) PutLe32(oldest, field);
    for (const std::uint16_t field : {9, 2, 1, 1}) PutLe16(oldest, field);
    oldest.resize(36, 0xFF);
    EXPECT_EQ(Refusal("os2.bmp", oldest),
              Line("os2.bmp", "the file ends early: its pixel data needs 40 bytes, the file has 36"));
    // Every pixel is there, but the end-of-picture mark is not: nothing tells the file is whole.
    const Bytes noEnd(kRle8.begin(), kRle8.end() - 2);
    EXPECT_EQ(Refusal("rle.bmp", BmpFile(40, 4, 2, 8, 1, kPalette, noEnd)),
              Line("rle.bmp", "the file ends early: its compressed pixel data stops before the end-of-picture mark"));
    EXPECT_EQ(Refusal("cut.gif", Bytes(kGif.begin(), kGif.end() - 3)),
              Line("cut.gif", "the file ends early: the first picture's data is cut off"));

    QImage image(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) image.setPixel(i % 16, i / 16, qRgb(i, i * 7, i * 13));
    const Bytes jpeg = ReadFileBytes(Save(dir, image, "whole.jpg", "jpeg"));
    EXPECT_EQ(Refusal("cut.jpg", Bytes(jpeg.begin(), jpeg.end() - 40)),
              Line("cut.jpg", "the file ends early: the end-of-image mark is missing, so the picture data is "
                              "cut off"));
    const Bytes xbm = ReadFileBytes(Save(dir, image, "whole.xbm", "xbm"));
    EXPECT_EQ(Refusal("cut.xbm", Bytes(xbm.begin(), xbm.end() - 10)),
              Line("cut.xbm", "the file ends early: the closing brace of its pixel list is missing, so the list "
                              "is cut off"));
    // Qt itself refuses a PNG cut anywhere in its pixel data.
    const Bytes png = ReadFileBytes(Save(dir, image, "whole.png", "png"));
    EXPECT_EQ(Refusal("cut.png", Bytes(png.begin(), png.begin() + static_cast<long>(png.size() * 3 / 4))),
              Line("cut.png", "File is not a valid BMP image; Qt: Unable to read image data"));
    const Bytes ppm = ReadFileBytes(Save(dir, image, "whole.ppm", "ppm"));
    EXPECT_EQ(Refusal("cut.ppm", Bytes(ppm.begin(), ppm.begin() + static_cast<long>(ppm.size() * 3 / 4))),
              Line("cut.ppm", "the file ends early: PPM picture: its pixel data stops in row 12 of 16"));
}

TEST_F(CliDecode, sides_and_memory_are_refused_before_decoding) {
    auto ppm = [](const std::string& header) { return Bytes(header.begin(), header.end()); };
    // A PNG with a header for 70000 x 1 RGB pixels and the start of a pixel chunk, never decoded.
    Bytes wide{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk : {PngChunk("IHDR", {0, 1, 0x11, 0x70, 0, 0, 0, 1, 8, 2, 0, 0, 0}),
                               PngChunk("IDAT", {0x78, 0x9C})})
        wide.insert(wide.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(Refusal("wide.png", wide),
              Line("wide.png", "picture is 70000 x 1 pixels; at most 65535 wide and 65535 high can be converted"));
    // 2000 x 2000 x 4 bytes is 15.3 MiB: over a 15 MiB limit, within the default.
    EXPECT_EQ(Refusal("big.ppm", ppm("P6 2000 2000 255\n"), "--max-memory 15"),
              Line("big.ppm", "picture is 2000 x 2000 pixels, 16 MiB decoded; over the memory limit of 15 MiB "
                              "(raise it with --max-memory)"));
    // 16 bits per channel are decoded at 8 bytes a pixel: 1000 x 1000 holds 7.6 MiB, not 3.8.
    QImage deep(1000, 1000, QImage::Format_RGBA64);
    deep.fill(Qt::red);
    const Bytes png = ReadFileBytes(Save(dir, deep, "deep.png", "png"));
    EXPECT_EQ(Refusal("deep.png", png, "--max-memory 7"),
              Line("deep.png", "picture is 1000 x 1000 pixels, 8 MiB decoded; over the memory limit of 7 MiB "
                               "(raise it with --max-memory)"));
    EXPECT_EQ(Refusal("big.ppm", ppm("P6 2000 2000 255\n")),
              Line("big.ppm", "the file ends early: PPM picture: its pixel data stops in row 1 of 2000"));
}

TEST_F(CliDecode, unreadable_files_name_both_readers_reasons) {
    EXPECT_EQ(Refusal("x.foo", Bytes(60, 'x')),
              Line("x.foo", "File is not a valid BMP image; Qt: Unsupported image format"));
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'><text>A</text></svg>";
    EXPECT_EQ(Refusal("x.svg", Bytes(svg.begin(), svg.end())),
              Line("x.svg", "File is not a valid BMP image; Qt: an SVG drawing is not a picture of pixels"));
    // A pipe nobody writes to once hung the program in Qt's own open.
    const std::string pipe = dir.file("pipe.png");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string err = dir.file("pipe.err");
    const int status = std::system(("timeout 20 '" VANDREL_CONVERT_PROGRAM "' '" + pipe + "' 2>'" + err + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(err), Line("pipe.png", "File is not a valid BMP image; other pictures than BMP are read from "
                                        "regular files only, not from a pipe or device"));
}
