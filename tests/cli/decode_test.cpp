// Pictures the bitmap module refuses, decoded by Qt on the command line: the pixels each kind gives,
// transparency over the background, colours as stored, and the refusals that come before decoding.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <filesystem>

#include "program_run.h"
#include "readers/qt_picture_loader.h"
#include "sanitizer_build.h"

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
    for (int i = 0; i < 4; ++i)
        chunk[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(data.size() >> (24 - 8 * i));
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
    for (const std::uint32_t field : {compression, pixelBytes, 2835u, 2835u, colours, 0u}) PutLe32(file, field);
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
const Bytes kRle8Stream{0, 2,  0,  4,  10, 0,  0,  63, 63, 63, 2,  4,  63, 2,
                        4, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// 2 x 1: red then blue, two-colour table, LZW codes clear, 0, 1, end in 3-bit codes.
const Bytes kGif{'G', 'I',  'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 255,  0,    0, 0,   0,
                 255, 0x2C, 0,   0,   0,   0,   2, 0, 1, 0, 0,    2, 2, 0x44, 0x0A, 0, 0x3B};

// A 32 x 16 JPEG of four grey quarters (top left 0, top right 80, bottom left 160, bottom right 240)
// with an EXIF segment holding orientation `tag`, spliced in after the start marker.
Bytes TaggedJpeg(std::uint8_t tag) {
    QImage quarters(32, 16, QImage::Format_Grayscale8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            quarters.scanLine(y)[x] = static_cast<uchar>((x >= 16 ? 80 : 0) + (y >= 8 ? 160 : 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(quarters.save(&buffer, "jpeg", 100));
    // APP1 of 34 bytes: "Exif", a big-endian TIFF header, one entry (0x0112, SHORT, 1, tag), no next IFD.
    const Bytes exif{0xFF, 0xE1, 0,    34,   'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                     0,    1,    0x01, 0x12, 0,   3,   0,   0,   0, 1, 0,   tag, 0, 0,  0, 0, 0, 0};
    Bytes jpeg(buffer.data().begin(), buffer.data().end());
    jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
    return jpeg;
}

// The most memory (resident KiB) the program held converting `path`, from the kernel's count for that child.
long PeakKiB(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(VANDREL_CONVERT_PROGRAM, VANDREL_CONVERT_PROGRAM, "-o", "-", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    return usage.ru_maxrss;
}

// A PNG of `width` x `height` RGB pixels whose pixel chunk holds `rows` rows of zeros, with `texts`
// zTXt chunks before it that each inflate to a MiB.
Bytes CraftedPng(std::uint32_t width, std::uint32_t height, std::uint32_t rows, int texts) {
    const auto deflated = [](const Bytes& plain) {
        uLongf size = compressBound(static_cast<uLong>(plain.size()));
        Bytes packed(size);
        EXPECT_EQ(compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9), Z_OK);
        packed.resize(size);
        return packed;
    };
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    for (const std::uint32_t side : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<std::uint8_t>(side >> shift));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    std::vector<Bytes> chunks{PngChunk("IHDR", header)};
    for (int i = 0; i < texts; ++i) {
        Bytes text{'k', static_cast<std::uint8_t>('a' + i % 26), 0, 0};
        const Bytes packed = deflated(Bytes(1u << 20, 'a'));
        text.insert(text.end(), packed.begin(), packed.end());
        chunks.push_back(PngChunk("zTXt", text));
    }
    chunks.push_back(PngChunk("IDAT", deflated(Bytes((3u * width + 1u) * rows, 0))));
    chunks.push_back(PngChunk("IEND", {}));
    for (const Bytes& chunk : chunks) png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
}

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
    EXPECT_EQ(Stream(Write("alpha.bmp", BmpFile(40, 1, 1, 32, 0, {}, {252, 16, 8, 0}))), (Bytes{0, 1, 0, 1, 2, 4, 63}));
    EXPECT_EQ(Stream(Write("one.gif", kGif)), (Bytes{0, 1, 0, 2, 63, 0, 0, 0, 0, 63}));
}

// Each row: a hand-made BMP the module refuses and its pixels over the background (30, 200, 90), or
// the line that refuses it.
TEST_F(CliDecode, bit_fields_scale_and_palettes_honour_the_data_offset) {
    const auto withMasks = [](Bytes file, std::initializer_list<std::uint32_t> masks) {
        Bytes packed;
        for (const std::uint32_t mask : masks) PutLe32(packed, mask);
        std::copy(packed.begin(), packed.end(), file.begin() + 54);
        return file;
    };
    // OS/2 header, 3 x 1 at 2 bits: two 3-byte entries, two stray bytes, then the pixels 1, 0, 3.
    Bytes os2{'B', 'M', 38, 0, 0, 0, 0, 0, 0, 0, 34, 0, 0, 0, 12, 0, 0, 0, 3, 0, 1, 0, 1, 0, 2, 0};
    os2.insert(os2.end(), {0, 0, 200, 10, 20, 30, 0xEE, 0xEE, 0x4C, 0, 0, 0});
    struct Row {
        const char* name;
        Bytes file;
        Rgb pixels;
        std::string refusal;
    };
    const Row rows[] = {
        // 10-10-10-2: (1023, 0, 512) opaque; (0, 1023, 0) at alpha 1 of 3, i.e. 85 over the background.
        {"v5-1010102.bmp",
         withMasks(BmpFile(124, 2, 1, 32, 3, {}, {0x00, 0x02, 0xF0, 0xFF, 0x00, 0xFC, 0x0F, 0x40}),
                   {0x3FF00000, 0x000FFC00, 0x3FF, 0xC0000000}),
         {255, 0, 128, 20, 218, 60},
         ""},
        // 4-4-4-4 masks after a 40-byte header: 0x8F0F is alpha 8 (136), red and blue 15 (255).
        {"alpha-fields.bmp",
         BmpFile(40, 1, 1, 16, 6, {0, 0x0F, 0, 0, 0xF0, 0, 0, 0, 0x0F, 0, 0, 0, 0, 0xF0, 0, 0}, {0x0F, 0x8F, 0, 0}),
         {150, 93, 178},
         ""},
        // Index 3 is past the two entries there are: black.
        {"os2-short.bmp", os2, {30, 20, 10, 200, 0, 0, 0, 0, 0}, ""},
        // 4 bits, top row first, two entries: red, blue.
        {"top-down.bmp",
         BmpFile(40, 3, -2, 4, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {0x01, 0, 0, 0, 0x10, 0x10, 0, 0}),
         {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255},
         ""},
        {"cut-565.bmp",
         BmpFile(40, 2, 2, 16, 3, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {1, 2, 3, 4}),
         {},
         "the file ends early: its pixel data needs 74 bytes, the file has 70"},
        {"holes.bmp",
         BmpFile(40, 1, 1, 16, 3, {5, 5, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}, {0, 0, 0, 0}),
         {},
         "File is not a supported BMP variant (must be uncompressed 8, 24 or 32 BPP); BMP: its red bit mask is not "
         "one run of bits"},
    };
    DecodeSettings settings;
    settings.background = {30, 200, 90};
    for (const Row& row : rows) {
        WriteFileBytes(dir.file(row.name), row.file);
        if (row.refusal.empty())
            EXPECT_EQ(LoadedPixels(dir.file(row.name), settings), row.pixels) << row.name;
        else
            EXPECT_EQ(Refusal(row.name, row.file), Line(row.name, row.refusal));
    }
}

// Files of a few KiB that announce much: the program's peak memory follows what their data decodes to.
TEST_F(CliDecode, crafted_pngs_cost_what_their_pixels_need) {
#ifdef VANDREL_UNDER_ASAN
    // The sanitizer's shadow memory and its quarantine of freed blocks (which a forked child carries
    // over from this process) are counted too, so the figures mean nothing there.
    GTEST_SKIP() << "peak memory is not measured under the address sanitizer";
#endif
    struct Row {
        const char* name;
        Bytes file;
    };
    const Row rows[] = {
        {"text-3-mib.png", CraftedPng(2, 2, 2, 3)},           // 3 MiB of text in 3 KiB
        {"sides-16000.png", CraftedPng(16000, 16000, 1, 0)},  // 732 MiB announced, one row there
        {"sides-65535.png", CraftedPng(65535, 65535, 1, 0)},  // over the default limit
    };
    for (const Row& row : rows) {
        ASSERT_LT(row.file.size(), 4096u) << row.name;
        WriteFileBytes(dir.file(row.name), row.file);
        const long peak = PeakKiB(dir.file(row.name));
        EXPECT_GT(peak, 0) << row.name;
        EXPECT_LE(peak, 64 * 1024) << row.name;
    }
    // 40 MiB of text in 40 KiB around four pixels.
    WriteFileBytes(dir.file("text-40-mib.png"), CraftedPng(2, 2, 2, 40));
    EXPECT_LE(PeakKiB(dir.file("text-40-mib.png")), 16 * 1024);
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
              Line("cut.jpg",
                   "the file ends early: the end-of-image mark is missing, so the picture data is "
                   "cut off"));
    const Bytes xbm = ReadFileBytes(Save(dir, image, "whole.xbm", "xbm"));
    EXPECT_EQ(Refusal("cut.xbm", Bytes(xbm.begin(), xbm.end() - 10)),
              Line("cut.xbm",
                   "the file ends early: the closing brace of its pixel list is missing, so the list "
                   "is cut off"));
    const Bytes ppm = ReadFileBytes(Save(dir, image, "whole.ppm", "ppm"));
    EXPECT_EQ(Refusal("cut.ppm", Bytes(ppm.begin(), ppm.begin() + static_cast<long>(ppm.size() * 3 / 4))),
              Line("cut.ppm", "the file ends early: PPM picture: its pixel data stops in row 12 of 16"));
    // A PNG is whole with its IEND chunk; a cut inside that chunk loses no pixel and converts.
    const Bytes png = ReadFileBytes(Save(dir, image, "whole.png", "png"));
    EXPECT_EQ(Refusal("cut.png", Bytes(png.begin(), png.begin() + static_cast<long>(png.size() * 3 / 4))),
              Line("cut.png", "the file ends early: the PNG stops before the end of its pixel data"));
    EXPECT_EQ(Refusal("no-end.png", Bytes(png.begin(), png.end() - 12)),
              Line("no-end.png",
                   "the file ends early: the PNG stops after its pixel data, before its closing IEND "
                   "chunk"));
    EXPECT_EQ(Stream(Write("cut-end.png", Bytes(png.begin(), png.end() - 5))).size(), 4u + 3u * 256u);
}

TEST_F(CliDecode, sides_and_memory_are_refused_before_decoding) {
    auto ppm = [](const std::string& header) { return Bytes(header.begin(), header.end()); };
    // A PNG with a header for 70000 x 1 RGB pixels and the start of a pixel chunk, never decoded.
    Bytes wide{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk :
         {PngChunk("IHDR", {0, 1, 0x11, 0x70, 0, 0, 0, 1, 8, 2, 0, 0, 0}), PngChunk("IDAT", {0x78, 0x9C})})
        wide.insert(wide.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(Refusal("wide.png", wide),
              Line("wide.png", "picture is 70000 x 1 pixels; at most 65535 wide and 65535 high can be converted"));
    // 2000 x 2000 x 4 bytes is 15.3 MiB: over a 15 MiB limit, within the default.
    EXPECT_EQ(Refusal("big.ppm", ppm("P6 2000 2000 255\n"), "--max-memory 15"),
              Line("big.ppm",
                   "picture is 2000 x 2000 pixels, 16 MiB decoded; over the memory limit of 15 MiB "
                   "(raise it with --max-memory)"));
    // A PNG is decoded a row at a time straight into three bytes a pixel, whatever its depth:
    // 1000 x 1000 at 16 bits a channel holds 2.9 MiB (Qt held 7.6).
    QImage deep(1000, 1000, QImage::Format_RGBA64);
    deep.fill(Qt::red);
    const Bytes png = ReadFileBytes(Save(dir, deep, "deep.png", "png"));
    EXPECT_EQ(Refusal("deep.png", png, "--max-memory 2"),
              Line("deep.png",
                   "picture is 1000 x 1000 pixels, 3 MiB decoded; over the memory limit of 2 MiB "
                   "(raise it with --max-memory)"));
    EXPECT_EQ(Refusal("big.ppm", ppm("P6 2000 2000 255\n")),
              Line("big.ppm", "the file ends early: PPM picture: its pixel data stops in row 1 of 2000"));
}

TEST_F(CliDecode, unreadable_files_name_both_readers_reasons) {
    EXPECT_EQ(Refusal("x.foo", Bytes(60, 'x')),
              Line("x.foo", "File is not a valid BMP image; Qt: Unsupported image format"));
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'><text>A</text></svg>";
    EXPECT_EQ(Refusal("x.svg", Bytes(svg.begin(), svg.end())),
              Line("x.svg", "SVG picture: an SVG drawing is not a picture of pixels"));
    // A pipe nobody writes to once hung the program in Qt's own open.
    const std::string pipe = dir.file("pipe.png");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string err = dir.file("pipe.err");
    const int status = std::system(("timeout 20 '" VANDREL_CONVERT_PROGRAM "' '" + pipe + "' 2>'" + err + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(err), Line("pipe.png",
                                  "File is not a valid BMP image; other pictures than BMP are read from "
                                  "regular files only, not from a pipe or device"));
}

TEST_F(CliDecode, orientation_tag_turns_the_picture_unless_ignored) {
    struct Case {
        std::uint8_t tag;
        bool apply;
        std::uint32_t width;
        std::array<int, 4> quarters;  // top left, top right, bottom left, bottom right as read
    };
    const Case cases[] = {
        {3, true, 32, {240, 160, 80, 0}},  // turned half a turn
        {6, true, 16, {160, 0, 240, 80}},  // stored a quarter turn anticlockwise: turned clockwise
        {8, true, 16, {80, 240, 0, 160}},  // the other way
        {3, false, 32, {0, 80, 160, 240}}, {6, false, 32, {0, 80, 160, 240}}, {8, false, 32, {0, 80, 160, 240}},
    };
    for (const Case& row : cases) {
        const std::string path = dir.file("tag" + std::to_string(row.tag) + ".jpg");
        WriteFileBytes(path, TaggedJpeg(row.tag));
        DecodeSettings settings;
        settings.applyOrientation = row.apply;
        const Rgb rgb = LoadedPixels(path, settings);
        ASSERT_EQ(rgb.size(), 3u * 32 * 16) << int{row.tag};
        const std::uint32_t height = 32 * 16 / row.width;
        for (int quarter = 0; quarter < 4; ++quarter) {
            const std::uint32_t x = row.width / 4 * (quarter % 2 ? 3 : 1), y = height / 4 * (quarter / 2 ? 3 : 1);
            // JPEG is lossy: within a few values of the grey.
            EXPECT_NEAR(rgb[3 * (y * row.width + x)], row.quarters[quarter], 6)
                << "tag " << int{row.tag} << (row.apply ? "" : " ignored") << ", quarter " << quarter;
        }
    }
    // The program takes the tag by default and leaves it with --ignore-orientation: the size prefix
    // says height, then width.
    const std::string tagged = Write("tag6.jpg", TaggedJpeg(6));
    const Bytes upright = Stream(tagged), stored = Stream("--ignore-orientation " + tagged);
    ASSERT_GE(std::min(upright.size(), stored.size()), 4u);
    EXPECT_EQ(Bytes(upright.begin(), upright.begin() + 4), (Bytes{0, 32, 0, 16}));
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), (Bytes{0, 16, 0, 32}));
    // Every tag, mirrored ones too, shows as Qt's own turning shows it.
    for (std::uint8_t tag = 1; tag <= 8; ++tag) {
        const std::string path = dir.file("tagged.jpg");
        WriteFileBytes(path, TaggedJpeg(tag));
        QImageReader reader(QString::fromStdString(path));
        reader.setAutoTransform(true);
        const QImage shown = reader.read().convertToFormat(QImage::Format_RGB888);
        Rgb expected;
        for (int y = 0; y < shown.height(); ++y)
            expected.insert(expected.end(), shown.constScanLine(y), shown.constScanLine(y) + 3 * shown.width());
        EXPECT_EQ(LoadedPixels(path), expected) << "tag " << int{tag};
    }
}
