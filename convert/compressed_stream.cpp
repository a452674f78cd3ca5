// The compressed stream's encoder: a pass from the last pixel back to the first finds, for every
// position, the cheapest way to encode the rest of the picture (operations never get cheaper for a
// longer rest, so a run or copy always takes as many pixels as it may); a second pass writes the
// chosen operations from the top row down.
#include "convert/compressed_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <vector>

#include "convert/pixel_bytes.h"
#include "vandrel/decode.h"

namespace {

constexpr std::uint32_t kShortCount = 128;   // literals, short runs and short copies
constexpr std::uint32_t kLongCount = 16384;  // long runs and copies
enum Kind : std::uint16_t { kLiteral, kRun, kCopy };

// One choice a position: the operation that starts there and its pixel count less one.
constexpr std::uint16_t Choice(Kind kind, std::uint32_t count) {
    return static_cast<std::uint16_t>(kind << 14 | (count - 1));
}
constexpr Kind ChoiceKind(std::uint16_t choice) { return static_cast<Kind>(choice >> 14); }
constexpr std::uint32_t ChoiceCount(std::uint16_t choice) { return (choice & 0x3FFFu) + 1; }

std::uint8_t LayoutId(PixelLayout layout) {
    switch (layout) {
    case PixelLayout::Rgb666High: return VANDREL_LAYOUT_RGB666_HIGH;
    case PixelLayout::Rgb565: return VANDREL_LAYOUT_RGB565;
    case PixelLayout::Rgb565Le: return VANDREL_LAYOUT_RGB565_LE;
    case PixelLayout::Rgb666: break;
    }
    return VANDREL_LAYOUT_RGB666;
}

// Rows of the picture in the layout's bytes.
class LayoutRows {
public:
    LayoutRows(const Picture& picture, PixelLayout layout, bool blueFirst)
        : picture_(picture),
          layout_(layout),
          blueFirst_(blueFirst),
          width_(picture.Width()),
          rgb_(std::size_t{3} * width_) {}
    void Read(std::uint32_t y, std::vector<std::uint8_t>& bytes) {
        bytes.resize(std::size_t{BytesPerPixel(layout_)} * width_);
        if (width_ == 0) return;
        picture_.ReadRun(0, y, width_, rgb_.data());
        LayoutPixelBytes(layout_, blueFirst_, rgb_.data(), width_, bytes.data());
    }

private:
    const Picture& picture_;
    PixelLayout layout_;
    bool blueFirst_;
    std::uint32_t width_;
    std::vector<std::uint8_t> rgb_;
};

// The cheapest encoding of every rest of the picture, as the choice at its first pixel.
class Planner {
public:
    Planner(std::uint64_t pixels, unsigned bytesPerPixel) : pixels_(pixels), bpp_(bytesPerPixel) {}

    // Position i, given how far its run of equal pixels and its run of pixels equal to the ones above reach.
    std::uint16_t Choose(std::uint64_t i, std::uint64_t runEnd, std::uint64_t copyEnd) {
        std::uint64_t best;
        std::uint16_t choice = LiteralChoice(i, best);
        const auto consider = [&](Kind kind, std::uint64_t end, std::uint64_t overhead) {
            const std::uint64_t cost = Cost(end) + overhead;
            if (cost < best) {
                best = cost;
                choice = Choice(kind, static_cast<std::uint32_t>(end - i));
            }
        };
        if (runEnd - i >= 2) consider(kRun, std::min(i + kShortCount, runEnd), 1 + bpp_);
        if (runEnd - i > kShortCount) consider(kRun, std::min(i + kLongCount, runEnd), 3 + bpp_);
        if (copyEnd > i) consider(kCopy, std::min(i + kShortCount, copyEnd), 2);
        if (copyEnd - i > kShortCount) consider(kCopy, std::min(i + kLongCount, copyEnd), 3);
        costs_[i % kRing] = best;
        literalKeys_.Add(i, best + i * bpp_);
        return choice;
    }

private:
    static constexpr std::uint64_t kRing = 2 * kLongCount;
    std::uint64_t Cost(std::uint64_t at) const { return at == pixels_ ? 0 : costs_[at % kRing]; }

    // The cheapest literal from i: the window minimum of cost(j) + j x bpp over its possible ends j.
    std::uint16_t LiteralChoice(std::uint64_t i, std::uint64_t& best) {
        if (i + 1 == pixels_) literalKeys_.Add(pixels_, pixels_ * bpp_);
        literalKeys_.Expire(i + kShortCount);
        const auto [end, key] = literalKeys_.Min();
        best = key - i * bpp_ + 1;
        return Choice(kLiteral, static_cast<std::uint32_t>(end - i));
    }

    // Sliding-window minimum over positions added in falling order.
    class WindowMinimum {
    public:
        void Add(std::uint64_t at, std::uint64_t key) {
            while (!entries_.empty() && entries_.back().second >= key) entries_.pop_back();
            entries_.emplace_back(at, key);
        }
        void Expire(std::uint64_t last) {
            while (entries_.front().first > last) entries_.pop_front();
        }
        std::pair<std::uint64_t, std::uint64_t> Min() const { return entries_.front(); }

    private:
        std::deque<std::pair<std::uint64_t, std::uint64_t>> entries_;
    };

    std::uint64_t pixels_;
    unsigned bpp_;
    std::vector<std::uint64_t> costs_ = std::vector<std::uint64_t>(kRing);
    WindowMinimum literalKeys_;
};

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b, unsigned bpp) { return std::memcmp(a, b, bpp) == 0; }

// The backward pass: rows from the bottom up, each with the row above it for the copies.
void Plan(LayoutRows& rows, std::uint32_t width, std::uint32_t height, unsigned bpp, std::uint16_t* choices) {
    Planner planner(std::uint64_t{width} * height, bpp);
    std::vector<std::uint8_t> row, above, below(bpp);
    std::uint64_t runEnd = 0, copyEnd = 0;
    bool belowKnown = false, nextCopies = false;
    if (height != 0) rows.Read(height - 1, above);
    for (std::uint32_t y = height; y-- > 0;) {
        std::swap(row, above);
        if (y > 0) rows.Read(y - 1, above);
        for (std::uint32_t x = width; x-- > 0;) {
            const std::uint64_t i = std::uint64_t{y} * width + x;
            const std::uint8_t* pixel = &row[std::size_t{x} * bpp];
            const std::uint8_t* next = x + 1 < width ? pixel + bpp : below.data();
            const bool nextKnown = x + 1 < width || belowKnown;
            if (!nextKnown || !SamePixel(pixel, next, bpp)) runEnd = i + 1;
            const bool copies = y > 0 && SamePixel(pixel, &above[std::size_t{x} * bpp], bpp);
            if (!copies)
                copyEnd = i;
            else if (!nextCopies)
                copyEnd = i + 1;
            nextCopies = copies;
            choices[i] = planner.Choose(i, runEnd, copyEnd);
        }
        if (width != 0) {
            std::memcpy(below.data(), row.data(), bpp);
            belowKnown = true;
        }
    }
}

// Stream bytes gathered into pieces for the sink.
class StreamOut {
public:
    explicit StreamOut(const StreamSink& sink) : sink_(sink) {}
    void Put(std::uint8_t byte) {
        if (used_ == sizeof piece_) Drain();
        piece_[used_++] = byte;
    }
    void Put(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) Put(bytes[i]);
    }
    bool Finish() {
        Drain();
        return ok_;
    }

private:
    void Drain() {
        if (used_ != 0 && ok_) ok_ = sink_(piece_, used_);
        used_ = 0;
    }
    const StreamSink& sink_;
    std::uint8_t piece_[4096];
    std::size_t used_ = 0;
    bool ok_ = true;
};

// Pixel bytes in pixel order, a row at a time.
class PixelCursor {
public:
    PixelCursor(LayoutRows& rows, std::uint32_t width, unsigned bpp) : rows_(rows), width_(width), bpp_(bpp) {}
    const std::uint8_t* Pixel() {
        if (!loaded_ || loadedRow_ != y_) rows_.Read(y_, row_);
        loaded_ = true;
        loadedRow_ = y_;
        return &row_[std::size_t{x_} * bpp_];
    }
    void Skip(std::uint64_t count) {
        const std::uint64_t at = std::uint64_t{x_} + count;
        y_ += static_cast<std::uint32_t>(at / width_);
        x_ = static_cast<std::uint32_t>(at % width_);
    }

private:
    LayoutRows& rows_;
    std::uint32_t width_;
    unsigned bpp_;
    std::uint32_t x_ = 0, y_ = 0;
    bool loaded_ = false;
    std::uint32_t loadedRow_ = 0;
    std::vector<std::uint8_t> row_;
};

void PutOperation(std::uint16_t choice, PixelCursor& cursor, unsigned bpp, StreamOut& out) {
    const std::uint32_t count = ChoiceCount(choice);
    switch (ChoiceKind(choice)) {
    case kLiteral:
        out.Put(static_cast<std::uint8_t>(count - 1));
        for (std::uint32_t i = 0; i < count; ++i, cursor.Skip(1)) out.Put(cursor.Pixel(), bpp);
        return;
    case kRun:
        if (count >= 2 && count <= kShortCount) {
            out.Put(static_cast<std::uint8_t>(0x7E + count));
        } else {
            out.Put(0xFF);
            out.Put(static_cast<std::uint8_t>(0xC0 | (count - 1) >> 8));
            out.Put(static_cast<std::uint8_t>(count - 1));
        }
        out.Put(cursor.Pixel(), bpp);
        break;
    case kCopy:
        out.Put(0xFF);
        if (count <= kShortCount) {
            out.Put(static_cast<std::uint8_t>(count - 1));
        } else {
            out.Put(static_cast<std::uint8_t>(0x80 | (count - 1) >> 8));
            out.Put(static_cast<std::uint8_t>(count - 1));
        }
        break;
    }
    cursor.Skip(count);
}

void PutHeader(PixelLayout layout, bool blueFirst, std::uint32_t width, std::uint32_t height, StreamOut& out) {
    const std::uint8_t header[VANDREL_STREAM_HEADER_SIZE] = {VANDREL_STREAM_MAGIC[0],
                                                             VANDREL_STREAM_MAGIC[1],
                                                             VANDREL_STREAM_MAGIC[2],
                                                             VANDREL_STREAM_MAGIC[3],
                                                             VANDREL_STREAM_VERSION,
                                                             LayoutId(layout),
                                                             blueFirst ? std::uint8_t{1} : std::uint8_t{0},
                                                             static_cast<std::uint8_t>(height >> 8),
                                                             static_cast<std::uint8_t>(height),
                                                             static_cast<std::uint8_t>(width >> 8),
                                                             static_cast<std::uint8_t>(width)};
    out.Put(header, sizeof header);
}

}  // namespace

bool EncodeCompressedStream(const Picture& picture, PixelLayout layout, bool blueFirst, const StreamSink& sink) {
    const std::uint32_t width = picture.Width();
    const std::uint32_t height = picture.Height();
    const unsigned bpp = BytesPerPixel(layout);
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (pixels > SIZE_MAX / sizeof(std::uint16_t)) {
        errno = ENOMEM;
        return false;
    }
    std::unique_ptr<std::uint16_t[]> choices(new (std::nothrow)
                                                 std::uint16_t[pixels == 0 ? 1 : static_cast<std::size_t>(pixels)]);
    if (!choices) {
        errno = ENOMEM;
        return false;
    }
    try {
        LayoutRows rows(picture, layout, blueFirst);
        Plan(rows, width, height, bpp, choices.get());
        StreamOut out(sink);
        PutHeader(layout, blueFirst, width, height, out);
        PixelCursor cursor(rows, width, bpp);
        for (std::uint64_t i = 0; i < pixels; i += ChoiceCount(choices[i])) PutOperation(choices[i], cursor, bpp, out);
        return out.Finish();
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return false;
    }
}

bool WriteCompressedStream(const Picture& picture, PixelLayout layout, bool blueFirst, std::FILE* out) {
    const bool encoded = EncodeCompressedStream(
        picture, layout, blueFirst,
        [out](const std::uint8_t* bytes, std::size_t count) { return std::fwrite(bytes, 1, count, out) == count; });
    return encoded && std::fflush(out) == 0;
}
