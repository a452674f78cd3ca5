// Picks the project's own reader by the file's first bytes.
#include "readers/png_bmp_readers.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#include "bmp_read.h"
#include "png_read.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::optional<LoadedPicture> Read(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings) {
    // A pipe or device is left to the loader's own refusal: opening one could wait for ever.
    std::error_code unknown;
    if (!std::filesystem::is_regular_file(path, unknown)) return std::nullopt;
    const std::unique_ptr<std::FILE, FileCloser> file{std::fopen(path.c_str(), "rb")};
    if (!file) return std::nullopt;
    std::uint8_t start[16] = {};
    const std::size_t got = std::fread(start, 1, sizeof start, file.get());
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return std::nullopt;
    std::optional<LoadedPicture> read;
    if (got >= 8 && std::memcmp(start, kPngSignature, 8) == 0) {
        read = ReadPng(file.get(), moduleStatus, settings);
    } else if (got == sizeof start && std::memcmp(start + 12, "IHDR", 4) == 0) {
        // A header chunk where a PNG has it, behind a signature that is not a PNG's: a PNG damaged in
        // transfer (line ends converted, the top bit cleared), which Qt would only call an unknown format.
        read = Refused(LoadFailure::Unreadable, moduleStatus,
                       "PNG: its signature is damaged (its first 8 bytes are not a PNG's)");
    } else if (got >= 2 && start[0] == 'B' && start[1] == 'M') {
        read = ReadBmp(file.get(), static_cast<std::uint64_t>(length), moduleStatus, settings);
        if (read) read->facts.kind = "BMP";
        return read;
    } else {
        return std::nullopt;
    }
    if (read) read->facts.kind = "PNG";
    return read;
}

}  // namespace

std::optional<LoadedPicture> ReadPngOrBmp(const std::string& path, BitmapStatus moduleStatus,
                                          const DecodeSettings& settings) {
    try {
        return Read(path, moduleStatus, settings);
    } catch (const std::bad_alloc&) {
        LoadedPicture loaded;
        loaded.failure = LoadFailure::OutOfMemory;
        loaded.facts.moduleStatus = moduleStatus;
        return loaded;
    }
}
