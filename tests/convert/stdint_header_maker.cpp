// Test helper: writes stdint headers of a 3 x 2 picture through the converter's own writers into the
// folder given, for a C and a C++ program to include side by side.
#include <cstdio>
#include <string>

#include "convert/display_writers.h"

namespace {

// Orange, blue, white, black, a dim colour and one with every channel's low bits set; or, 0 pixels wide,
// no pixel at all.
class SixColours final : public Picture {
public:
    explicit SixColours(std::uint32_t width) : width_(width) {}
    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return 2; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        static constexpr std::uint8_t kColours[6][3] = {{255, 128, 0}, {0, 0, 255}, {255, 255, 255},
                                                        {0, 0, 0},     {8, 4, 16},  {200, 100, 50}};
        for (std::uint32_t i = 0; i < count; ++i)
            for (int c = 0; c < 3; ++c) rgb[3 * i + c] = kColours[3 * y + x + i][c];
    }

private:
    std::uint32_t width_;
};

class FewBytes final : public ByteSource {
public:
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        if (done_ || capacity < 3) return 0;
        done_ = true;
        buffer[0] = 0x56, buffer[1] = 0x01, buffer[2] = 0xFF;
        return 3;
    }

private:
    bool done_ = false;
};

bool Write(const std::string& path, const OutputOptions& options, std::uint32_t width) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = false;
    if (options.compression == Compression::Rle) {
        FewBytes bytes;
        written = WriteByteArrayText(bytes, 3, 2, options, out) == 0;
    } else {
        written = WriteDisplayData(SixColours(width), options, out) == 0;
    }
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stdint_header_maker FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Header {
        const char* name;
        PixelLayout layout;
        bool blueFirst;
        const char* attribute;
        Compression compression;
        std::uint32_t width;
    };
    const Header headers[] = {
        {"logo", PixelLayout::Rgb565Le, true, "PROGMEM", Compression::None, 3},
        {"icon", PixelLayout::Rgb666, false, "__attribute__((aligned(4)))", Compression::None, 3},
        {"splash", PixelLayout::Rgb565, false, "__attribute__((section(\".extflash\")))", Compression::None, 3},
        {"packed", PixelLayout::Rgb565, false, "", Compression::Rle, 3},
        {"none", PixelLayout::Rgb666, false, "", Compression::None, 0},
    };
    for (const Header& header : headers) {
        OutputOptions options;
        options.format = OutputFormat::ArrayText;
        options.cStyle = CStyle::Stdint;
        options.arrayName = header.name;
        options.layout = header.layout;
        options.blueFirst = header.blueFirst;
        options.cAttribute = header.attribute;
        options.compression = header.compression;
        if (!Write(folder + "/" + header.name + ".h", options, header.width)) {
            std::perror(header.name);
            return 1;
        }
    }
    return 0;
}
