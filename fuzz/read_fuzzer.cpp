// Fuzz target for the read side: arbitrary bytes are loaded as a BMP file, and a loaded image goes
// through every read operation and both display writers. The loaded record is checked against the
// bytes themselves, so a reader that reads the wrong bytes fails as surely as one that crashes. The
// same bytes also go through a named pipe, whose length the reader cannot measure beforehand, and
// must give the same answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "convert/display_writers.h"
#include "fuzz_check.h"
#include "memory_file.h"
#include "picture_corner.h"
#include "pipe_feed.h"

namespace {

constexpr std::size_t kHeaderBytes = 54;
constexpr std::size_t kPaletteBytes = 1024;
// The writers visit at most this many columns and pixels, so a huge picture costs no more than a small
// one; the width still reaches past the writers' own run of 1024 pixels.
constexpr std::uint32_t kWriterMaxWidth = 2100;
constexpr std::uint32_t kWriterMaxPixels = 4200;
// Pixel reads probe a grid of at most this many columns and rows, corners included.
constexpr std::uint32_t kProbeSteps = 16;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Where the file's colour table and pixels lie, worked out apart from the module: the pixels at
// dataOffset when that lies past the header, an 8-bit table of the whole entries that fit before them
// (at most 256, the rest black); otherwise, or when the file of `size` bytes ends before the pixels
// at dataOffset but not before those at the usual place, the header, a full table and the pixels back
// to back.
struct Layout {
    std::uint64_t tableBytes;
    std::uint64_t pixelStart;
};

Layout FileLayout(const BitmapImage& image, std::size_t size) {
    const std::uint64_t fullTable = image.bitsPerPixel == 8 ? kPaletteBytes : 0;
    const Layout usual = {fullTable, kHeaderBytes + fullTable};
    if (image.dataOffset <= kHeaderBytes) return usual;
    const Layout atOffset = {std::min<std::uint64_t>(fullTable, (image.dataOffset - kHeaderBytes) / 4 * 4),
                             image.dataOffset};
    const bool endsEarly = size < atOffset.pixelStart + image.imageSize;
    return endsEarly && size >= usual.pixelStart + image.imageSize ? usual : atOffset;
}

// The loaded header must be the file's, field for field; only imageSize may have been raised to cover
// the rows.
void CheckHeader(const BitmapImage& image, const std::uint8_t* data) {
    FUZZ_CHECK(image.magic == Le16(data + 0) && image.magic == 0x4D42);
    FUZZ_CHECK(image.fileSize == Le32(data + 2));
    FUZZ_CHECK(image.reserved1 == Le16(data + 6));
    FUZZ_CHECK(image.reserved2 == Le16(data + 8));
    FUZZ_CHECK(image.dataOffset == Le32(data + 10));
    FUZZ_CHECK(image.headerSize == Le32(data + 14) && image.headerSize == 40);
    FUZZ_CHECK(image.width == Le32(data + 18));
    FUZZ_CHECK(image.height == Le32(data + 22) && image.height < 0x80000000u);
    FUZZ_CHECK(image.planes == Le16(data + 26));
    FUZZ_CHECK(image.bitsPerPixel == Le16(data + 28));
    FUZZ_CHECK(image.bitsPerPixel == 8 || image.bitsPerPixel == 24 || image.bitsPerPixel == 32);
    FUZZ_CHECK(image.compression == Le32(data + 30) && image.compression == 0);
    FUZZ_CHECK(image.imageSize >= Le32(data + 34));
    FUZZ_CHECK(static_cast<std::uint32_t>(image.xResolution) == Le32(data + 38));
    FUZZ_CHECK(static_cast<std::uint32_t>(image.yResolution) == Le32(data + 42));
    FUZZ_CHECK(static_cast<std::uint32_t>(image.coloursUsed) == Le32(data + 46));
    FUZZ_CHECK(static_cast<std::uint32_t>(image.coloursImportant) == Le32(data + 50));
    // Every addressable row lies inside the pixel block.
    if (image.height != 0)
        FUZZ_CHECK(image.imageSize / image.height >= std::uint64_t{image.width} * (image.bitsPerPixel / 8u));
}

// Column or row numbers to probe: both ends, a spread between, and the first one outside.
std::vector<std::uint32_t> Probes(std::uint32_t size) {
    std::vector<std::uint32_t> probes;
    if (size != 0) {
        const std::uint64_t step = size / kProbeSteps + 1;
        for (std::uint64_t i = 0; i < size; i += step) probes.push_back(static_cast<std::uint32_t>(i));
        probes.push_back(size - 1);
    }
    probes.push_back(size);
    probes.push_back(0xFFFFFFFFu);
    return probes;
}

// The colour that pixel (x, y) must have, straight from the file's bytes.
void ExpectedColour(const BitmapImage& image, const std::uint8_t* data, const Layout& layout, std::uint32_t x,
                    std::uint32_t y, std::uint8_t colour[3]) {
    const std::size_t bytesPerPixel = image.bitsPerPixel / 8u;
    const std::size_t stride = image.imageSize / image.height;
    const std::uint8_t* pixel =
        data + layout.pixelStart + std::size_t{image.height - y - 1} * stride + x * bytesPerPixel;
    if (image.bitsPerPixel == 8) {
        static constexpr std::uint8_t kBlack[4] = {};
        pixel = 4u * *pixel < layout.tableBytes ? data + kHeaderBytes + 4u * *pixel : kBlack;
    }
    colour[0] = pixel[2];
    colour[1] = pixel[1];
    colour[2] = pixel[0];
}

void CheckPixelReads(const BitmapImage& image, const std::uint8_t* data, const Layout& layout) {
    const bool indexed = image.bitsPerPixel == 8;
    for (std::uint32_t y : Probes(image.height)) {
        for (std::uint32_t x : Probes(image.width)) {
            const bool inside = x < image.width && y < image.height;
            std::uint8_t rgb[3] = {1, 2, 3};
            GetPixelRgb(&image, x, y, &rgb[0], &rgb[1], &rgb[2]);
            if (!inside) {
                FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
                FUZZ_CHECK(rgb[0] == 1 && rgb[1] == 2 && rgb[2] == 3);
            } else {
                FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
                std::uint8_t expected[3];
                ExpectedColour(image, data, layout, x, y, expected);
                FUZZ_CHECK(std::memcmp(rgb, expected, 3) == 0);
            }
            GetPixelRgb(&image, x, y, nullptr, nullptr, nullptr);
            FUZZ_CHECK(LastBitmapStatus() == (inside ? BitmapOk : BitmapInvalidArgument));

            std::uint8_t index = 0xA5;
            GetPixelIndex(&image, x, y, &index);
            const BitmapStatus expectedStatus =
                !inside ? BitmapInvalidArgument : (indexed ? BitmapOk : BitmapTypeMismatch);
            FUZZ_CHECK(LastBitmapStatus() == expectedStatus);
            if (expectedStatus != BitmapOk) FUZZ_CHECK(index == 0xA5);
        }
    }
}

void CheckPalette(const BitmapImage& image, const std::uint8_t* data, const Layout& layout) {
    for (unsigned i = 0; i < 256; ++i) {
        std::uint8_t rgb[3] = {9, 9, 9};
        GetPaletteColor(&image, static_cast<std::uint8_t>(i), &rgb[0], &rgb[1], &rgb[2]);
        if (image.bitsPerPixel != 8) {
            FUZZ_CHECK(LastBitmapStatus() == BitmapTypeMismatch);
            FUZZ_CHECK(rgb[0] == 9 && rgb[1] == 9 && rgb[2] == 9);
            continue;
        }
        FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
        if (4u * i >= layout.tableBytes) {
            FUZZ_CHECK(rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0);
            continue;
        }
        const std::uint8_t* entry = data + kHeaderBytes + 4u * i;
        FUZZ_CHECK(rgb[0] == entry[2] && rgb[1] == entry[1] && rgb[2] == entry[0]);
    }
}

// Runs of row pixels: full and partial runs must answer what the file holds; runs that reach past
// the row's end, also by wrapping around 32 bits, are refused and write nothing.
void CheckPixelRuns(const BitmapImage& image, const std::uint8_t* data, const Layout& layout) {
    constexpr std::uint32_t kMaxRun = 300;
    std::uint8_t rgb[3 * kMaxRun + 3];
    for (std::uint32_t y : Probes(image.height)) {
        const bool rowInside = y < image.height;
        for (std::uint32_t x : Probes(image.width)) {
            const std::uint32_t left = x < image.width ? image.width - x : 0;
            const std::uint32_t count = left < kMaxRun ? left : kMaxRun;
            std::memset(rgb, 0xC3, sizeof rgb);
            GetPixelRunRgb(&image, x, y, count, rgb);
            const bool fits = rowInside && x <= image.width;
            FUZZ_CHECK(LastBitmapStatus() == (fits ? BitmapOk : BitmapInvalidArgument));
            for (std::uint32_t i = 0; fits && i < count; ++i) {
                std::uint8_t expected[3];
                ExpectedColour(image, data, layout, x + i, y, expected);
                FUZZ_CHECK(std::memcmp(rgb + 3 * i, expected, 3) == 0);
            }
            // Nothing past the run, and nothing at all for a refused run.
            for (std::size_t i = fits ? 3u * count : 0; i < sizeof rgb; ++i) FUZZ_CHECK(rgb[i] == 0xC3);

            // One pixel too many, and counts for which x + count wraps around 32 bits.
            for (const std::uint32_t tooMany : {left + 1, 0u - x, 0xFFFFFFFFu}) {
                if (tooMany == 0) continue;  // wrapped to an empty run, which is allowed
                rgb[0] = 0xC3;
                GetPixelRunRgb(&image, x, y, tooMany, rgb);
                FUZZ_CHECK(LastBitmapStatus() == BitmapInvalidArgument);
                FUZZ_CHECK(rgb[0] == 0xC3);
            }
        }
    }
}

// The array text for a picture of the given size, built independently of the writer.
std::string ExpectedArrayText(const BitmapImage& image, const std::uint8_t* data, const Layout& layout,
                              std::uint16_t width, std::uint16_t height) {
    std::string text = "\nconst unsigned char pic[]={ ";
    const auto number = [&text](unsigned value, bool comma) {
        if (comma) text.push_back(',');
        text.append(std::to_string(value));
    };
    number(height >> 8, false);
    number(height & 0xFFu, true);
    number(width >> 8, true);
    number(width & 0xFFu, true);
    unsigned onLine = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t colour[3];
            ExpectedColour(image, data, layout, x, y, colour);
            for (std::uint8_t channel : colour) number(channel >> 2u, true);
            if (++onLine == 6) {
                onLine = 0;
                text.push_back('\n');
            }
        }
    }
    text.append(" };\n");
    return text;
}

// Both writers over a bounded part of the picture: up to kWriterMaxWidth columns (past the writers'
// run size) and kWriterMaxPixels pixels; the output is compared byte for byte with the file's pixels.
void CheckWriters(const BitmapImage& image, const std::uint8_t* data, const Layout& layout) {
    const std::uint32_t clippedWidth = image.width < kWriterMaxWidth ? image.width : kWriterMaxWidth;
    const std::uint32_t rowsAllowed = clippedWidth == 0 ? kWriterMaxPixels : kWriterMaxPixels / clippedWidth;
    const auto width = static_cast<std::uint16_t>(clippedWidth);
    const auto height = static_cast<std::uint16_t>(image.height < rowsAllowed ? image.height : rowsAllowed);

    const BitmapPicture whole(image);
    const PictureCorner corner(whole, width, height);
    static MemoryFile sink;
    std::FILE* out = std::fopen(sink.path(), "wb");
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(WriteRawColourStream(corner, true, out));
    std::fclose(out);
    const std::string stream = sink.Contents();
    FUZZ_CHECK(stream.size() == 4u + 3u * std::size_t{width} * height);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    FUZZ_CHECK(bytes[0] == height >> 8 && bytes[1] == (height & 0xFF));
    FUZZ_CHECK(bytes[2] == width >> 8 && bytes[3] == (width & 0xFF));
    std::size_t at = 4;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x, at += 3) {
            std::uint8_t expected[3];
            ExpectedColour(image, data, layout, x, y, expected);
            for (int c = 0; c < 3; ++c) FUZZ_CHECK(bytes[at + c] == expected[c] >> 2);
        }
    }

    out = std::fopen(sink.path(), "wb");
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(WriteArrayText(corner, out));
    std::fclose(out);
    FUZZ_CHECK(sink.Contents() == ExpectedArrayText(image, data, layout, width, height));

    static std::FILE* devNull = std::fopen("/dev/null", "wb");
    FUZZ_CHECK(devNull != nullptr);
    FUZZ_CHECK(WriteRawColourStream(corner, false, devNull));
}

bool SameHeader(const BitmapImage& a, const BitmapImage& b) {
    return a.magic == b.magic && a.fileSize == b.fileSize && a.reserved1 == b.reserved1 && a.reserved2 == b.reserved2 &&
           a.dataOffset == b.dataOffset && a.headerSize == b.headerSize && a.width == b.width && a.height == b.height &&
           a.planes == b.planes && a.bitsPerPixel == b.bitsPerPixel && a.compression == b.compression &&
           a.imageSize == b.imageSize && a.xResolution == b.xResolution && a.yResolution == b.yResolution &&
           a.coloursUsed == b.coloursUsed && a.coloursImportant == b.coloursImportant;
}

// Loading through a pipe must answer exactly what loading the file answered.
void CheckPipeAgrees(const BitmapImage* fromFile, BitmapStatus fileStatus, const std::uint8_t* data, std::size_t size) {
    static PipeFeed pipe;
    const BitmapImagePtr image(pipe.Feed(data, size, [](const char* path) { return ReadBitmapFile(path); }));
    FUZZ_CHECK(LastBitmapStatus() == fileStatus);
    FUZZ_CHECK((image == nullptr) == (fromFile == nullptr));
    if (!image) return;
    FUZZ_CHECK(SameHeader(*image, *fromFile));
    FUZZ_CHECK((image->palette == nullptr) == (fromFile->palette == nullptr));
    if (image->palette) FUZZ_CHECK(std::memcmp(image->palette, fromFile->palette, kPaletteBytes) == 0);
    FUZZ_CHECK(std::memcmp(image->pixels, fromFile->pixels, image->imageSize) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    FUZZ_CHECK(file.Assign(data, size));

    BitmapImagePtr owned(ReadBitmapFile(file.path()));
    const BitmapStatus status = LastBitmapStatus();
    const BitmapImage* image = owned.get();
    CheckPipeAgrees(image, status, data, size);
    if (!image) {
        // The file exists and memory is plentiful: only a malformed or unsupported file is refused.
        FUZZ_CHECK(status == BitmapInvalidFile || status == BitmapUnsupported);
        FUZZ_CHECK(BitmapStatusText() != nullptr);
        return 0;
    }
    FUZZ_CHECK(status == BitmapOk && BitmapStatusText() == nullptr);
    FUZZ_CHECK(size >= kHeaderBytes);
    CheckHeader(*image, data);
    // Everything loaded came from the file: table and pixels are its bytes, where dataOffset puts them.
    const Layout layout = FileLayout(*image, size);
    FUZZ_CHECK(size >= layout.pixelStart + image->imageSize);
    if (image->bitsPerPixel == 8) {
        FUZZ_CHECK(std::memcmp(image->palette, data + kHeaderBytes, layout.tableBytes) == 0);
        for (std::size_t i = layout.tableBytes; i < kPaletteBytes; ++i) FUZZ_CHECK(image->palette[i] == 0);
    } else {
        FUZZ_CHECK(image->palette == nullptr);
    }
    FUZZ_CHECK(std::memcmp(image->pixels, data + layout.pixelStart, image->imageSize) == 0);

    FUZZ_CHECK(BitmapWidth(image) == image->width && LastBitmapStatus() == BitmapOk);
    FUZZ_CHECK(BitmapHeight(image) == image->height && LastBitmapStatus() == BitmapOk);
    FUZZ_CHECK(BitmapDepth(image) == image->bitsPerPixel && LastBitmapStatus() == BitmapOk);
    CheckPixelReads(*image, data, layout);
    CheckPixelRuns(*image, data, layout);
    CheckPalette(*image, data, layout);
    CheckWriters(*image, data, layout);

    owned.reset();
    FUZZ_CHECK(LastBitmapStatus() == BitmapOk);
    return 0;
}
