// PBM, PGM and PPM, read whole: plain and binary, every maximum value up to 65535. Qt's reader cuts
// samples wider than 8 bits instead of rounding them, and refuses plain bitmaps whose digits stand
// without separators, which the format allows.
#include <cctype>
#include <cstring>

#include "convert/picture.h"
#include "own_readers.h"

namespace {

struct NetpbmHeader {
    char kind = 0;  // '1' to '6'
    std::uint32_t width = 0, height = 0, maxValue = 1;

    bool Plain() const { return kind <= '3'; }
    bool Bitmap() const { return kind == '1' || kind == '4'; }
    unsigned Channels() const { return kind == '3' || kind == '6' ? 3u : 1u; }
};

// The header's and the plain kinds' tokens: white space and comments (from '#' to the line's end)
// separate them.
class Tokens {
public:
    explicit Tokens(std::FILE* file) : file_(file) {}

    int SkipSpace() {
        for (int c = std::fgetc(file_);; c = std::fgetc(file_)) {
            if (c == '#')
                while (c != '\n' && c != '\r' && c != EOF) c = std::fgetc(file_);
            if (c == EOF || !std::isspace(c)) return c;
        }
    }
    // A decimal number of at most `limit`; nothing when there is none or it is larger.
    std::optional<std::uint32_t> Number(std::uint32_t limit) {
        int c = SkipSpace();
        if (c == EOF || !std::isdigit(c)) return std::nullopt;
        std::uint64_t value = 0;
        for (; c != EOF && std::isdigit(c); c = std::fgetc(file_)) {
            value = value * 10u + static_cast<unsigned>(c - '0');
            if (value > limit) return std::nullopt;
        }
        if (c != EOF) std::ungetc(c, file_);
        return static_cast<std::uint32_t>(value);
    }
    // A plain bitmap's digit: one character, with or without separators around it.
    std::optional<std::uint32_t> Bit() {
        const int c = SkipSpace();
        if (c != '0' && c != '1') return std::nullopt;
        return static_cast<std::uint32_t>(c - '0');
    }

private:
    std::FILE* file_;
};

OwnRead Refused(const NetpbmHeader& h, std::string problem, bool endsEarly = false) {
    OwnRead read;
    const char* kind = h.Bitmap() ? "PBM" : h.Channels() == 1 ? "PGM" : "PPM";
    read.problem = std::string(kind) + " picture: " + std::move(problem);
    read.kind = kind;
    read.endsEarly = endsEarly;
    return read;
}

// Samples of one row, scaled to 8 bits and rounded; false when the file ends or holds something else.
bool ReadRow(std::FILE* file, Tokens& tokens, const NetpbmHeader& h, std::uint8_t* rgba) {
    const std::uint32_t samples = h.width * h.Channels();
    std::uint8_t packed = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        std::uint32_t value = 0;
        if (h.kind == '1') {
            const auto bit = tokens.Bit();
            if (!bit) return false;
            value = *bit;
        } else if (h.Plain()) {
            const auto number = tokens.Number(h.maxValue);
            if (!number) return false;
            value = *number;
        } else if (h.kind == '4') {
            if (i % 8 == 0) {
                const int c = std::fgetc(file);
                if (c == EOF) return false;
                packed = static_cast<std::uint8_t>(c);
            }
            value = packed >> (7 - i % 8) & 1u;
        } else {
            std::uint8_t bytes[2];
            const std::size_t size = h.maxValue > 255 ? 2 : 1;
            if (std::fread(bytes, 1, size, file) != size) return false;
            value = size == 2 ? std::uint32_t{bytes[0]} << 8 | bytes[1] : bytes[0];
            if (value > h.maxValue) return false;
        }
        // A bitmap's 1 is black; other samples scale from 0..maxValue to 0..255, rounded.
        const auto level =
            static_cast<std::uint8_t>(h.Bitmap() ? (value ? 0 : 255) : (value * 255u + h.maxValue / 2u) / h.maxValue);
        if (h.Channels() == 3) {
            rgba[i / 3 * 4 + i % 3] = level;
        } else {
            std::memset(rgba + 4 * i, level, 3);
        }
        if (h.Channels() == 1 || i % 3 == 2) rgba[i / h.Channels() * 4 + 3] = 255;
    }
    return true;
}

}  // namespace

std::optional<OwnRead> ReadNetpbm(std::FILE* file, std::uint64_t memoryLimit) {
    std::rewind(file);
    NetpbmHeader h;
    if (std::fgetc(file) != 'P') return std::nullopt;
    const int kind = std::fgetc(file);
    if (kind < '1' || kind > '6') return std::nullopt;
    h.kind = static_cast<char>(kind);
    Tokens tokens(file);
    const auto width = tokens.Number(0xFFFFFFFFu), height = tokens.Number(0xFFFFFFFFu);
    const auto maxValue = h.Bitmap() ? std::optional<std::uint32_t>{1} : tokens.Number(65535);
    if (!width || !height || !maxValue || *width == 0 || *height == 0 || *maxValue == 0)
        return Refused(h, "its header is damaged: it needs a width, a height and a maximum value from 1 to 65535");
    h.width = *width, h.height = *height, h.maxValue = *maxValue;
    OwnRead read;
    read.width = h.width, read.height = h.height;
    if (std::uint64_t{h.width} * h.height * 4u > memoryLimit || !SidesFitSizePrefix(h.width, h.height)) {
        read.tooLarge = true;
        return read;
    }
    // The binary kinds' samples start after exactly one white-space character.
    if (!h.Plain() && !std::isspace(std::fgetc(file))) return Refused(h, "its header does not end in white space");
    read.image = QImage(static_cast<int>(h.width), static_cast<int>(h.height), QImage::Format_RGBA8888);
    if (read.image.isNull()) return Refused(h, "no memory for its pixels");
    for (std::uint32_t y = 0; y < h.height; ++y) {
        if (ReadRow(file, tokens, h, read.image.scanLine(static_cast<int>(y)))) continue;
        const std::string where = " in row " + std::to_string(y + 1) + " of " + std::to_string(h.height);
        if (std::feof(file)) return Refused(h, "its pixel data stops" + where, true);
        return Refused(
            h, "its pixel data holds something other than a sample from 0 to " + std::to_string(h.maxValue) + where);
    }
    return read;
}
