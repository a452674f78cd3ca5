// Writes a 24-bit BMP test picture of any size for the speed measurements: smooth gradients mixed
// with noise, so every channel value occurs and the array text has a realistic length.
// Usage: make_picture WIDTH HEIGHT OUT.bmp
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void PutLe(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_picture WIDTH HEIGHT OUT.bmp\n");
        return 2;
    }
    const unsigned long width = std::strtoul(argv[1], nullptr, 10);
    const unsigned long height = std::strtoul(argv[2], nullptr, 10);
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    if (width == 0 || height == 0 || width > 65535 || height > 65535 || stride * height + 54 > 0xFFFFFFFFu) {
        std::fprintf(stderr, "make_picture: unsupported size\n");
        return 2;
    }
    const auto imageSize = static_cast<std::uint32_t>(stride * height);

    std::vector<std::uint8_t> header;
    PutLe(header, 0x4D42, 2);
    PutLe(header, 54 + imageSize, 4);
    PutLe(header, 0, 4);  // both reserved words
    PutLe(header, 54, 4);
    PutLe(header, 40, 4);
    PutLe(header, static_cast<std::uint32_t>(width), 4);
    PutLe(header, static_cast<std::uint32_t>(height), 4);
    PutLe(header, 1, 2);
    PutLe(header, 24, 2);
    PutLe(header, 0, 4);
    PutLe(header, imageSize, 4);
    for (int i = 0; i < 4; ++i) PutLe(header, 0, 4);

    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out) {
        std::perror(argv[3]);
        return 1;
    }
    std::fwrite(header.data(), 1, header.size(), out);
    std::vector<std::uint8_t> row(stride, 0);
    std::uint32_t noise = 2463534242u;
    for (unsigned long y = 0; y < height; ++y) {
        for (unsigned long x = 0; x < width; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            row[x * 3] = static_cast<std::uint8_t>(x * 255 / width + (noise & 15));
            row[x * 3 + 1] = static_cast<std::uint8_t>(y * 255 / height + ((noise >> 4) & 15));
            row[x * 3 + 2] = static_cast<std::uint8_t>(noise >> 8);
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
