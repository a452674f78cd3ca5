// TGA, read whole: colour-mapped, true-colour and grey pictures, plain or run-length, of every depth the
// format names. Qt's reader takes only uncompressed true-colour files with the newer footer, reads an
// image ID field as pixels and leaves 5-bit channels unscaled.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "own_readers.h"

namespace {

constexpr char kFooterSignature[] = "TRUEVISION-XFILE.";

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct TgaHeader {
    std::uint8_t idLength, mapType, imageType;
    std::uint16_t mapFirst, mapLength;
    std::uint8_t mapEntryBits;
    std::uint16_t width, height;
    std::uint8_t depth, descriptor;

    unsigned BaseType() const { return imageType & 7u; }  // 1 colour-mapped, 2 true-colour, 3 grey
    bool RunLength() const { return imageType & 8u; }
    bool AlphaBits() const { return (descriptor & 15u) != 0; }
};

TgaHeader ParseHeader(const std::uint8_t* b) {
    return {b[0], b[1], b[2], Le16(b + 3), Le16(b + 5), b[7], Le16(b + 12), Le16(b + 14), b[16], b[17]};
}

bool Plausible(const TgaHeader& h) {
    const unsigned type = h.BaseType();
    if (h.imageType > 11 || (h.imageType & 4u) || type == 0 || h.mapType > 1) return false;
    if (type == 1 && (h.mapType != 1 || (h.depth != 8 && h.depth != 16))) return false;
    if (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 && h.mapEntryBits != 32)
        return false;
    if (type == 2 && h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32) return false;
    if (type == 3 && h.depth != 8 && h.depth != 16) return false;
    return h.width > 0 && h.height > 0;
}

bool HasFooter(std::FILE* file) {
    char footer[18];
    if (std::fseek(file, -18, SEEK_END) != 0 || std::fread(footer, 1, sizeof footer, file) != sizeof footer)
        return false;
    return std::memcmp(footer, kFooterSignature, sizeof footer) == 0;
}

bool NamedTga(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".tga";
}

// A colour of `bits` bits as the file stores it (little-endian; 15 and 16 bits are 5-5-5 with blue at
// the bottom), as straight RGBA. `alpha` says whether the top bits carry transparency.
std::array<std::uint8_t, 4> Colour(const std::uint8_t* p, unsigned bits, bool alpha) {
    switch (bits) {
    case 8: return {p[0], p[0], p[0], 255};
    case 15:
    case 16: {
        const unsigned v = Le16(p);
        const auto five = [](unsigned level) { return static_cast<std::uint8_t>((level * 255u + 15u) / 31u); };
        return {five(v >> 10 & 31u), five(v >> 5 & 31u), five(v & 31u),
                static_cast<std::uint8_t>(bits == 16 && alpha && !(v & 0x8000u) ? 0 : 255)};
    }
    case 24: return {p[2], p[1], p[0], 255};
    default: return {p[2], p[1], p[0], alpha ? p[3] : std::uint8_t{255}};
    }
}

// Pulls the stored pixel values, plain or run-length, one at a time.
class PixelSource {
public:
    PixelSource(std::FILE* file, unsigned bytes, bool runLength) : file_(file), bytes_(bytes), runLength_(runLength) {}

    // False when the file ends first.
    bool Next(std::uint8_t* value) {
        if (!runLength_) return Read(value, bytes_);
        if (left_ == 0) {
            std::uint8_t packet;
            if (!Read(&packet, 1)) return false;
            left_ = (packet & 0x7Fu) + 1u;
            repeat_ = packet & 0x80u;
            if (repeat_ && !Read(value_, bytes_)) return false;
        }
        --left_;
        if (!repeat_) return Read(value, bytes_);
        std::memcpy(value, value_, bytes_);
        return true;
    }

private:
    bool Read(std::uint8_t* out, unsigned count) { return std::fread(out, 1, count, file_) == count; }

    std::FILE* file_;
    unsigned bytes_;
    bool runLength_;
    unsigned left_ = 0;
    bool repeat_ = false;
    std::uint8_t value_[4] = {};
};

OwnRead Refused(std::string problem, bool endsEarly = false) {
    OwnRead read;
    read.problem = "TGA picture: " + std::move(problem);
    read.kind = "TGA";
    read.endsEarly = endsEarly;
    return read;
}

std::optional<std::vector<std::array<std::uint8_t, 4>>> ReadColourMap(std::FILE* file, const TgaHeader& h) {
    std::vector<std::array<std::uint8_t, 4>> map;
    if (h.mapType != 1) return map;
    const unsigned bytes = (h.mapEntryBits + 7u) / 8u;
    map.resize(std::size_t{h.mapFirst} + h.mapLength, {0, 0, 0, 255});
    for (std::size_t i = h.mapFirst; i < map.size(); ++i) {
        std::uint8_t entry[4];
        if (std::fread(entry, 1, bytes, file) != bytes) return std::nullopt;
        map[i] = Colour(entry, h.mapEntryBits, h.AlphaBits());
    }
    return map;
}

OwnRead ReadPixels(std::FILE* file, const TgaHeader& h, const std::vector<std::array<std::uint8_t, 4>>& map) {
    OwnRead read;
    read.width = h.width;
    read.height = h.height;
    read.image = QImage(h.width, h.height, QImage::Format_RGBA8888);
    if (read.image.isNull()) return Refused("no memory for its pixels");
    const unsigned bytes = (h.depth + 7u) / 8u;
    const bool bottomUp = !(h.descriptor & 0x20u), rightToLeft = h.descriptor & 0x10u;
    PixelSource source(file, bytes, h.RunLength());
    for (unsigned row = 0; row < h.height; ++row) {
        std::uint8_t* line = read.image.scanLine(static_cast<int>(bottomUp ? h.height - 1u - row : row));
        for (unsigned column = 0; column < h.width; ++column) {
            std::uint8_t value[4];
            if (!source.Next(value))
                return Refused(
                    "its pixel data stops after " + std::to_string(row) + " of " + std::to_string(h.height) + " rows",
                    true);
            std::array<std::uint8_t, 4> colour;
            if (h.BaseType() == 1) {
                const unsigned index = bytes == 1 ? value[0] : Le16(value);
                if (index >= map.size())
                    return Refused("a pixel names colour " + std::to_string(index) + ", past its colour map of " +
                                   std::to_string(map.size()));
                colour = map[index];
            } else if (h.BaseType() == 3) {
                colour = {value[0], value[0], value[0], bytes == 2 && h.AlphaBits() ? value[1] : std::uint8_t{255}};
            } else {
                colour = Colour(value, h.depth, h.AlphaBits());
            }
            std::memcpy(line + 4u * (rightToLeft ? h.width - 1u - column : column), colour.data(), 4);
        }
    }
    return read;
}

}  // namespace

std::optional<OwnRead> ReadTga(std::FILE* file, const std::string& path, std::uint64_t memoryLimit) {
    std::uint8_t bytes[18];
    std::rewind(file);
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return std::nullopt;
    const TgaHeader header = ParseHeader(bytes);
    if (!Plausible(header) || !(HasFooter(file) || NamedTga(path))) return std::nullopt;
    if (std::uint64_t{header.width} * header.height * 4u > memoryLimit) {
        OwnRead read;
        read.width = header.width;
        read.height = header.height;
        read.tooLarge = true;
        return read;
    }
    if (std::fseek(file, 18 + header.idLength, SEEK_SET) != 0) return Refused("its image ID is cut off", true);
    const auto map = ReadColourMap(file, header);
    if (!map) return Refused("its colour map is cut off", true);
    return ReadPixels(file, header, *map);
}
