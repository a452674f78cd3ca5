// Early-end checks for the kinds whose decoder does not report a cut-off file: BMP (every header size,
// uncompressed, bit fields and run-length), JPEG, GIF and XBM. Each walks the file's structure without
// holding more than a small buffer, so a large file costs no memory.
#include "early_end.h"

#include <array>
#include <cstdint>
#include <cstring>

// Offsets in 64 bits: a long is 32 bits on 32-bit targets, and pictures reach past 2 GiB.
#ifdef _WIN32
#define VANDREL_SEEK _fseeki64
#define VANDREL_TELL _ftelli64
#else
#define VANDREL_SEEK fseeko
#define VANDREL_TELL ftello
#endif

namespace {

// Sequential reads with skips; `ended` turns true once a read or skip ran past the end.
class Walk {
public:
    explicit Walk(std::FILE* file) : file_(file) {}

    bool Read(std::uint8_t* out, std::size_t count) {
        if (std::fread(out, 1, count, file_) == count) return true;
        ended_ = true;
        return false;
    }
    // Up to `count` bytes; fewer only at the end.
    std::size_t ReadUpTo(std::uint8_t* out, std::size_t count) { return std::fread(out, 1, count, file_); }
    int Byte() {
        const int c = std::fgetc(file_);
        if (c == EOF) ended_ = true;
        return c;
    }
    // Skips by reading, so that a pipe or a file shorter than the skip shows its end.
    bool Skip(std::uint64_t count) {
        std::array<std::uint8_t, 4096> scratch;
        while (count > 0) {
            const std::size_t step = count < scratch.size() ? static_cast<std::size_t>(count) : scratch.size();
            if (!Read(scratch.data(), step)) return false;
            count -= step;
        }
        return true;
    }
    bool ended() const { return ended_; }

private:
    std::FILE* file_;
    bool ended_ = false;
};

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint64_t FileLength(std::FILE* file) {
    if (VANDREL_SEEK(file, 0, SEEK_END) != 0) return 0;
    const auto length = VANDREL_TELL(file);
    return length < 0 ? 0 : static_cast<std::uint64_t>(length);
}

// Qt reads 32-bit sides from the headers of 40, 64, 108 and 124 bytes only; every other size, however
// odd, it reads as the oldest header of 12 bytes.
bool IsOldestHeader(std::uint32_t headerSize) {
    return headerSize != 40 && headerSize != 64 && headerSize != 108 && headerSize != 124;
}

constexpr std::uint32_t kUncompressed = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// A run-length stream is whole only when its end-of-picture mark is there: row counts cannot tell,
// since deltas and early row ends may leave pixels out on purpose.
std::optional<std::string> RunLengthEndsEarly(Walk& walk, bool fourBits) {
    const std::string cut = "its compressed pixel data stops before the end-of-picture mark";
    for (;;) {
        std::uint8_t pair[2];
        if (!walk.Read(pair, 2)) return cut;
        if (pair[0] != 0) continue;  // a run of one value
        switch (pair[1]) {
        case 0:  // end of row
            continue;
        case 1:  // end of picture
            return std::nullopt;
        case 2:  // delta: two offset bytes
            if (!walk.Skip(2)) return cut;
            continue;
        default: {  // that many literal pixels, padded to a whole 16-bit word
            const std::uint32_t bytes = fourBits ? (pair[1] + 1u) / 2u : pair[1];
            if (!walk.Skip(bytes + (bytes & 1u))) return cut;
        }
        }
    }
}

std::optional<std::string> BitmapEndsEarly(std::FILE* file) {
    Walk walk(file);
    std::uint8_t head[14 + 20] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    if (got < 18) return "the file ends inside its header";
    const std::uint32_t dataOffset = Le32(head + 10);
    const std::uint32_t headerSize = Le32(head + 14);
    // The oldest header has 16-bit sides (a negative height is top-down) and is never compressed.
    const bool oldest = IsOldestHeader(headerSize);
    // The fields read below: through the depth, and the compression where the header has one.
    if (got < (oldest ? 26u : 34u)) return "the file ends inside its header";
    std::int64_t width = 0, height = 0;
    std::uint32_t depth = 0, compression = kUncompressed;
    if (oldest) {
        width = static_cast<std::int16_t>(Le16(head + 18));
        height = static_cast<std::int16_t>(Le16(head + 20));
        depth = Le16(head + 24);
    } else {
        width = static_cast<std::int32_t>(Le32(head + 18));
        height = static_cast<std::int32_t>(Le32(head + 22));
        depth = Le16(head + 28);
        compression = Le32(head + 30);
    }
    // A negative height is a top-down picture of that many rows.
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    if (width <= 0 || rows == 0 || depth == 0 || depth > 32) return std::nullopt;

    // Pixels start at dataOffset, and never inside the headers.
    const std::uint64_t headersEnd = 14u + std::uint64_t{oldest ? 12u : headerSize};
    const std::uint64_t start = dataOffset > headersEnd ? dataOffset : headersEnd;
    const std::uint64_t length = FileLength(file);
    if (compression == kRle8 || compression == kRle4) {
        if (start >= length)
            return "its compressed pixel data would start at byte " + std::to_string(start) + ", the file has " +
                   std::to_string(length);
        if (VANDREL_SEEK(file, static_cast<std::int64_t>(start), SEEK_SET) != 0) return std::nullopt;
        return RunLengthEndsEarly(walk, compression == kRle4);
    }
    if (compression != kUncompressed && compression != kBitFields && compression != kAlphaBitFields)
        return std::nullopt;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * depth + 31u) / 32u * 4u;
    // Sides of up to 2^31 make the product overflow 64 bits; no file is that long anyway.
    if (rows > (UINT64_MAX - start) / rowBytes)
        return "its pixel data needs more bytes than any file holds, the file has " + std::to_string(length);
    const std::uint64_t needed = start + rowBytes * rows;
    if (needed <= length) return std::nullopt;
    return "its pixel data needs " + std::to_string(needed) + " bytes, the file has " + std::to_string(length);
}

// The entropy-coded data after the first start-of-scan must be followed by an end-of-image mark
// (FF D9), which the data itself never contains: a 0xFF there is always followed by 00 or a restart.
std::optional<std::string> JpegEndsEarly(std::FILE* file) {
    Walk walk(file);
    const std::string cut = "the end-of-image mark is missing, so the picture data is cut off";
    if (!walk.Skip(2)) return std::nullopt;
    for (;;) {
        int marker = walk.Byte();
        if (marker == EOF) return cut;
        if (marker != 0xFF) return std::nullopt;  // not a marker where one belongs: the decoder's call
        while (marker == 0xFF) marker = walk.Byte();
        if (marker == EOF) return cut;
        if (marker == 0xD9) return std::nullopt;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length field
        std::uint8_t lengthBytes[2];
        if (!walk.Read(lengthBytes, 2)) return cut;
        const unsigned length = lengthBytes[0] << 8u | lengthBytes[1];
        if (length < 2) return std::nullopt;
        if (!walk.Skip(length - 2u)) return cut;
        if (marker == 0xDA) break;
    }
    // The entropy-coded data is most of the file: scanned a block at a time, not a byte per call.
    bool afterFf = false;
    std::array<std::uint8_t, 65536> block;
    for (std::size_t got; (got = walk.ReadUpTo(block.data(), block.size())) > 0;) {
        for (std::size_t i = 0; i < got; ++i) {
            if (afterFf && block[i] == 0xD9) return std::nullopt;
            afterFf = block[i] == 0xFF;
        }
    }
    return cut;
}

// Counts the pixels a GIF picture's LZW codes stand for, without building them: each table entry's
// length is its prefix's plus one.
class LzwPixelCount {
public:
    explicit LzwPixelCount(int minimumCodeSize) : minimum_(minimumCodeSize) { Clear(); }

    // Feeds one byte of the code stream; false once the stream holds what no decoder reads.
    bool Feed(std::uint8_t byte) {
        bits_ |= std::uint32_t{byte} << held_;
        held_ += 8;
        while (!ended_ && held_ >= codeSize_) {
            const std::uint32_t code = bits_ & ((1u << codeSize_) - 1u);
            bits_ >>= codeSize_;
            held_ -= codeSize_;
            if (!Code(code)) return false;
        }
        return true;
    }
    std::uint64_t pixels() const { return pixels_; }

private:
    void Clear() {
        codeSize_ = minimum_ + 1;
        next_ = (1u << minimum_) + 2u;
        previous_ = kNone;
    }
    std::uint32_t Length(std::uint32_t code) const { return code < (1u << minimum_) ? 1u : lengths_[code]; }
    bool Code(std::uint32_t code) {
        const std::uint32_t clear = 1u << minimum_;
        if (code == clear) return Clear(), true;
        if (code == clear + 1) return ended_ = true, true;
        if (previous_ == kNone) {
            if (code >= clear) return false;
            pixels_ += 1;
        } else {
            if (code > next_ || (code == next_ && next_ >= kTable)) return false;
            const std::uint32_t length = code == next_ ? Length(previous_) + 1u : Length(code);
            pixels_ += length;
            if (next_ < kTable) {
                lengths_[next_++] = Length(previous_) + 1u;
                if (next_ == (1u << codeSize_) && codeSize_ < 12) ++codeSize_;
            }
        }
        previous_ = code;
        return true;
    }

    static constexpr std::uint32_t kTable = 4096, kNone = 0xFFFFFFFFu;
    int minimum_;
    std::uint32_t codeSize_ = 0, next_ = 0, previous_ = kNone;
    std::uint32_t bits_ = 0, held_ = 0;
    bool ended_ = false;
    std::uint64_t pixels_ = 0;
    std::array<std::uint32_t, kTable> lengths_{};
};

// Only the first picture is converted, so only its data has to be whole: its blocks must all be there,
// and its codes must stand for every one of its pixels (Qt's reader fills what they leave out).
std::optional<std::string> GifEndsEarly(std::FILE* file) {
    Walk walk(file);
    const std::string cut = "the first picture's data is cut off";
    std::uint8_t screen[13];
    if (!walk.Read(screen, sizeof screen)) return cut;
    const auto colourTableBytes = [](std::uint8_t flags) -> std::uint64_t {
        return (flags & 0x80u) ? 3u << ((flags & 7u) + 1u) : 0u;
    };
    // Sub-blocks: a length byte, that many bytes, until a length of 0.
    const auto skipSubBlocks = [&walk]() {
        for (int length = walk.Byte(); length > 0; length = walk.Byte())
            if (!walk.Skip(static_cast<std::uint64_t>(length))) return false;
        return !walk.ended();
    };
    if (!walk.Skip(colourTableBytes(screen[10]))) return cut;
    for (;;) {
        const int introducer = walk.Byte();
        if (introducer == 0x21) {  // extension: a label, then sub-blocks
            if (walk.Byte() == EOF || !skipSubBlocks()) return cut;
        } else if (introducer == 0x2C) {  // image: descriptor, colour table, code size, sub-blocks
            std::uint8_t descriptor[9];
            if (!walk.Read(descriptor, sizeof descriptor) || !walk.Skip(colourTableBytes(descriptor[8]))) return cut;
            const int codeSize = walk.Byte();
            if (codeSize == EOF) return cut;
            if (codeSize < 1 || codeSize > 11) return std::nullopt;  // the decoder's call
            LzwPixelCount count(codeSize);
            bool readable = true;
            for (int length = walk.Byte(); length > 0; length = walk.Byte()) {
                std::uint8_t block[255];
                if (!walk.Read(block, static_cast<std::size_t>(length))) return cut;
                for (int i = 0; i < length && readable; ++i) readable = count.Feed(block[i]);
            }
            if (walk.ended()) return cut;
            const std::uint64_t pixels = std::uint64_t{Le16(descriptor + 4)} * Le16(descriptor + 6);
            if (readable && count.pixels() < pixels)
                return "the first picture's codes give " + std::to_string(count.pixels()) + " of its " +
                       std::to_string(pixels) + " pixels";
            return std::nullopt;
        } else if (introducer == EOF) {
            return cut;
        } else {
            return std::nullopt;  // a trailer before any picture, or garbage: the decoder's call
        }
    }
}

// An X bitmap is C text: its pixel data is a brace-enclosed list, whole only with its closing brace.
std::optional<std::string> XbmEndsEarly(std::FILE* file) {
    Walk walk(file);
    bool opened = false;
    for (int c = walk.Byte(); c != EOF; c = walk.Byte()) {
        if (c == '{') opened = true;
        if (c == '}' && opened) return std::nullopt;
    }
    return "the closing brace of its pixel list is missing, so the list is cut off";
}

}  // namespace

std::optional<std::string> FileEndsEarly(std::FILE* file) {
    std::uint8_t magic[6] = {};
    std::rewind(file);
    const std::size_t got = std::fread(magic, 1, sizeof magic, file);
    std::rewind(file);
    if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') return BitmapEndsEarly(file);
    if (got >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) return JpegEndsEarly(file);
    if (got == 6 && (std::memcmp(magic, "GIF87a", 6) == 0 || std::memcmp(magic, "GIF89a", 6) == 0))
        return GifEndsEarly(file);
    if (got == 6 && std::memcmp(magic, "#defin", 6) == 0) return XbmEndsEarly(file);
    return std::nullopt;
}

RunLength BitmapRunLength(std::FILE* file) {
    std::uint8_t head[14 + 20];
    std::rewind(file);
    if (std::fread(head, 1, sizeof head, file) != sizeof head || head[0] != 'B' || head[1] != 'M')
        return RunLength::None;
    const std::uint32_t headerSize = Le32(head + 14);
    const std::uint32_t compression = Le32(head + 30);
    if (IsOldestHeader(headerSize) || (compression != kRle8 && compression != kRle4)) return RunLength::None;
    return static_cast<std::int32_t>(Le32(head + 22)) < 0 ? RunLength::TopDown : RunLength::BottomUp;
}
