// Reading one output back: the whole file, the shared reader of outputs, and the BMP written by the
// bitmap module under the output file policy.
#include "read_back_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "convert/output_file.h"
#include "convert/preview.h"
#include "convert/read_back.h"
#include "convert/turn.h"

namespace {

// The whole file, or nothing with errno set.
std::optional<std::vector<std::uint8_t>> WholeFile(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[65536];
    std::size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, in)) != 0) bytes.insert(bytes.end(), piece, piece + got);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        errno = EIO;
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> ReadBack(const std::string& inputPath, const std::string& picturePath,
                                    const ConversionSettings& settings) {
    errno = 0;
    const std::optional<std::vector<std::uint8_t>> bytes = WholeFile(inputPath);
    if (!bytes) return inputPath + ": cannot be read: " + std::strerror(errno != 0 ? errno : EIO);
    ReadBackResult result = ReadOutputBack(*bytes, settings.output.layout, settings.output.blueFirst);
    if (!result.shown) return inputPath + ": " + result.failure;
    // An output written for a panel mounted turned is shown as that panel shows it, as the preview is.
    const Turn mounting = StoredTurn(settings.geometry.rotation, settings.geometry.flip);
    if (!mounting.IsNone()) {
        const BitmapPicture stored(*result.shown);
        BitmapImagePtr shown =
            MakePreview(stored, settings.output.layout, settings.output.blueFirst, mounting.Inverse());
        if (!shown) return inputPath + ": there is not enough memory to turn it back";
        result.shown = std::move(shown);
    }
    if (IsSameFile(picturePath, inputPath)) return inputPath + ": the picture " + picturePath + " would replace it";
    errno = 0;
    WriteBitmapFile(result.shown.get(), picturePath.c_str());
    const BitmapStatus status = LastBitmapStatus();
    if (status == BitmapOk) return std::nullopt;
    std::string cause = "cannot write " + picturePath;
    if (const char* text = BitmapStatusText(status)) cause += std::string(": ") + text;
    if (errno != 0) cause += std::string(" (") + std::strerror(errno) + ")";
    if (status == BitmapIoError) RemovePartialOutput(picturePath);
    return inputPath + ": " + cause;
}

}  // namespace

std::optional<std::string> ReadBackFile(const std::string& inputPath, const std::string& picturePath,
                                        const ConversionSettings& settings) {
    try {
        return ReadBack(inputPath, picturePath, settings);
    } catch (const std::bad_alloc&) {
        return inputPath + ": there is not enough memory to read it back";
    }
}
