// TIFF checks with libtiff itself: Qt's reader allocates and clears the whole declared picture before
// it reads a byte, and decodes some channel layouts wrongly while reporting success.
#include "tiff_check.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

// libtiff reports through global handlers; the first error of a check is its reason.
thread_local std::string* t_firstError = nullptr;

void KeepError(const char*, const char* format, va_list arguments) {
    if (!t_firstError || !t_firstError->empty()) return;
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    *t_firstError = text;
}

void IgnoreWarning(const char*, const char*, va_list) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// The channel layouts Qt decodes wrongly or not at all, named for the user.
std::optional<std::string> UnreadLayout(TIFF* tiff) {
    std::uint16_t bits = 1, samples = 1, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        return "TIFF with " + std::to_string(bits) + "-bit channels is not read; save it with 8 or 16-bit channels";
    if (bits == 16 && planar == PLANARCONFIG_SEPARATE)
        return "TIFF with 16-bit channels in separate planes is not read; save it with the channels interleaved";
    return std::nullopt;
}

bool ReadsAllTiles(TIFF* tiff) {
    const tmsize_t size = TIFFTileSize(tiff);
    if (size <= 0) return false;
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(size));
    const std::uint32_t tiles = TIFFNumberOfTiles(tiff);
    for (std::uint32_t i = 0; i < tiles; ++i)
        if (TIFFReadEncodedTile(tiff, i, tile.data(), size) < 0) return false;
    return true;
}

bool ReadsAllRows(TIFF* tiff) {
    const tmsize_t size = TIFFScanlineSize(tiff);
    if (size <= 0) return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(size));
    std::uint32_t height = 0;
    std::uint16_t samples = 1, planar = PLANARCONFIG_CONTIG;
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    const std::uint16_t planes = planar == PLANARCONFIG_SEPARATE ? samples : 1;
    for (std::uint16_t plane = 0; plane < planes; ++plane)
        for (std::uint32_t y = 0; y < height; ++y)
            if (TIFFReadScanline(tiff, row.data(), y, plane) < 0) return false;
    return true;
}

std::optional<std::string> Check(const std::string& path) {
    const TiffPtr tiff{TIFFOpen(path.c_str(), "rm")};
    if (!tiff) return std::nullopt;  // Qt's reader words what libtiff could not open
    if (auto layout = UnreadLayout(tiff.get())) return layout;
    if (TIFFIsTiled(tiff.get()) ? ReadsAllTiles(tiff.get()) : ReadsAllRows(tiff.get())) return std::nullopt;
    std::string reason = "TIFF whose pixel data ends early or is damaged";
    if (t_firstError && !t_firstError->empty()) reason += " (" + *t_firstError + ")";
    return reason;
}

}  // namespace

std::optional<std::string> TiffProblem(const std::string& path) {
    std::string firstError;
    t_firstError = &firstError;
    const TIFFErrorHandler previousError = TIFFSetErrorHandler(KeepError);
    const TIFFErrorHandler previousWarning = TIFFSetWarningHandler(IgnoreWarning);
    std::optional<std::string> problem;
    try {
        problem = Check(path);
    } catch (const std::bad_alloc&) {
        problem = "TIFF whose rows are too large to check";
    }
    TIFFSetErrorHandler(previousError);
    TIFFSetWarningHandler(previousWarning);
    t_firstError = nullptr;
    return problem;
}
