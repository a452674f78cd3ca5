// Test helpers: scratch folders and raw file bytes.
#include "test_files.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("vandrel-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutLe16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes BmpHeader(const BmpHeaderFields& f) {
    const std::uint32_t dataOffset = f.dataOffset.value_or(f.bitsPerPixel == 8 ? 54 + 1024 : 54);
    Bytes bytes;
    PutLe16(bytes, f.magic);
    PutLe32(bytes, f.fileSize.value_or(dataOffset + f.imageSize));
    PutLe16(bytes, 0);
    PutLe16(bytes, 0);
    PutLe32(bytes, dataOffset);
    PutLe32(bytes, f.headerSize);
    PutLe32(bytes, f.width);
    PutLe32(bytes, f.height);
    PutLe16(bytes, f.planes);
    PutLe16(bytes, f.bitsPerPixel);
    PutLe32(bytes, f.compression);
    PutLe32(bytes, f.imageSize);
    for (int i = 0; i < 4; ++i) PutLe32(bytes, 0);
    return bytes;
}

void ExitUnderFileSizeLimit(unsigned long bytes, const std::function<bool()>& check) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(check() ? 0 : 1);
}

void ExitWithinSeconds(unsigned seconds, const std::function<bool()>& check) {
    alarm(seconds);
    _exit(check() ? 0 : 1);
}
