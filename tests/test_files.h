// Test helpers: a scratch folder per test, and whole-file reads and writes of raw bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything in it on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes ReadFileBytes(const std::string& path);

// Appends a value little-endian, as BMP headers store it.
void PutLe16(Bytes& bytes, std::uint16_t value);
void PutLe32(Bytes& bytes, std::uint32_t value);

// The 54 header bytes of a BMP file with the given fields; the rest are those of a plain file
// (fileSize consistent, planes 1, resolutions and colour counts 0). dataOffset defaults to the end of
// the header and, for 8 bits, a full colour table.
struct BmpHeaderFields {
    std::optional<std::uint32_t> dataOffset = std::nullopt;
    std::optional<std::uint32_t> fileSize = std::nullopt;  // dataOffset + imageSize unless given
    std::uint16_t planes = 1;
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t imageSize = 4;
    std::uint32_t headerSize = 40;
    std::uint32_t compression = 0;
    std::uint16_t magic = 0x4D42;
};
Bytes BmpHeader(const BmpHeaderFields& fields);

// In a forked child (run it inside EXPECT_EXIT) that may write no more than `bytes` to any file, with
// the signal for a write past the limit ignored so that the write fails instead: exits 0 when
// `check` answers true, 1 otherwise.
[[noreturn]] void ExitUnderFileSizeLimit(unsigned long bytes, const std::function<bool()>& check);

// In a forked child (run it inside EXPECT_EXIT) that is ended by SIGALRM after `seconds`, so that a
// call that waits for ever fails the test instead of hanging it: exits 0 when `check` answers true,
// 1 otherwise.
[[noreturn]] void ExitWithinSeconds(unsigned seconds, const std::function<bool()>& check);
