// Fuzz target for the firmware decoder (vandrel/decode.h). The input bytes are a compressed stream,
// decoded from memory and again through a reader that hands them out in uneven pieces: both must give
// the same rows and codes, never touch a byte past the row, and keep answering the code of a failure.
// A small picture that decodes whole must come back the same through the encoder and the decoder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "convert/compressed_stream.h"
#include "convert/pixel_bytes.h"
#include "fuzz_check.h"
#include "vandrel/decode.h"

namespace {

// Pixels decoded per input at most, so that a header claiming 65535 x 65535 stays quick.
constexpr std::uint64_t kPixelBudget = 1u << 16;
constexpr std::size_t kGuard = 16;
constexpr std::uint8_t kGuardByte = 0xA5;

struct Feed {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

std::size_t ReadUneven(void* context, std::uint8_t* buffer, std::size_t count) {
    Feed& feed = *static_cast<Feed*>(context);
    std::size_t n = feed.at % 7 + 1;
    if (n > count) n = count;
    if (n > feed.size - feed.at) n = feed.size - feed.at;
    std::memcpy(buffer, feed.data + feed.at, n);
    feed.at += n;
    return n;
}

struct Rows {
    int open = 0;
    int last = 0;
    std::uint16_t width = 0, height = 0;
    std::uint8_t layout = 0, blueFirst = 0;
    std::vector<std::uint8_t> pixels;  // every row decoded, in order
    bool whole = false;                // every row decoded
};

Rows DecodeAll(vandrel_decoder& d, int openCode) {
    Rows rows;
    rows.open = openCode;
    FUZZ_CHECK(openCode <= 0 && openCode >= VANDREL_DECODE_E_DONE);
    if (openCode != 0) {
        std::uint8_t row[1];
        FUZZ_CHECK(vandrel_decode_row(&d, row) == openCode);
        return rows;
    }
    rows.width = d.width, rows.height = d.height, rows.layout = d.layout, rows.blueFirst = d.blue_first;
    FUZZ_CHECK(d.layout <= VANDREL_LAYOUT_RGB565_LE && d.blue_first <= 1);
    FUZZ_CHECK(d.bytes_per_pixel == (d.layout < VANDREL_LAYOUT_RGB565 ? 3 : 2));
    const std::size_t rowBytes = std::size_t{d.width} * d.bytes_per_pixel;
    std::vector<std::uint8_t> row(rowBytes + kGuard, kGuardByte);
    std::uint64_t decoded = 0;
    for (unsigned y = 0; y <= d.height && decoded <= kPixelBudget; ++y, decoded += d.width + 1u) {
        rows.last = vandrel_decode_row(&d, row.data());
        for (std::size_t i = rowBytes; i < row.size(); ++i) FUZZ_CHECK(row[i] == kGuardByte);
        if (rows.last != 0) {
            FUZZ_CHECK(rows.last < 0 && rows.last >= VANDREL_DECODE_E_DONE);
            FUZZ_CHECK(vandrel_decode_row(&d, row.data()) == rows.last);
            rows.whole = y == d.height && rows.last == VANDREL_DECODE_E_DONE;
            break;
        }
        rows.pixels.insert(rows.pixels.end(), row.begin(), row.begin() + static_cast<std::ptrdiff_t>(rowBytes));
    }
    return rows;
}

PixelLayout LayoutOf(std::uint8_t id) {
    switch (id) {
    case VANDREL_LAYOUT_RGB666_HIGH: return PixelLayout::Rgb666High;
    case VANDREL_LAYOUT_RGB565: return PixelLayout::Rgb565;
    case VANDREL_LAYOUT_RGB565_LE: return PixelLayout::Rgb565Le;
    }
    return PixelLayout::Rgb666;
}

class ShownPicture final : public Picture {
public:
    ShownPicture(const Rows& rows) : rows_(rows), rgb_(3 * rows.pixels.size()) {
        const std::uint32_t count = rows.width * static_cast<std::uint32_t>(rows.height);
        ShownPixels(LayoutOf(rows.layout), rows.blueFirst, rows.pixels.data(), count, rgb_.data());
    }
    std::uint32_t Width() const override { return rows_.width; }
    std::uint32_t Height() const override { return rows_.height; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        std::memcpy(rgb, &rgb_[3 * (std::size_t{y} * rows_.width + x)], 3 * std::size_t{count});
    }
    const std::vector<std::uint8_t>& Shown() const { return rgb_; }

private:
    const Rows& rows_;
    std::vector<std::uint8_t> rgb_;
};

// What the decoded picture shows must survive the encoder and the decoder unchanged.
void CheckRoundTrip(const Rows& rows) {
    if (!rows.whole || std::uint64_t{rows.width} * rows.height > 4096) return;
    const ShownPicture shown(rows);
    std::vector<std::uint8_t> stream;
    FUZZ_CHECK(EncodeCompressedStream(shown, LayoutOf(rows.layout), rows.blueFirst != 0,
                                      [&](const std::uint8_t* bytes, std::size_t n) {
                                          stream.insert(stream.end(), bytes, bytes + n);
                                          return true;
                                      }));
    vandrel_decoder d;
    const Rows again = DecodeAll(d, vandrel_decode_open(&d, stream.data(), stream.size()));
    FUZZ_CHECK(again.whole);
    const ShownPicture shownAgain(again);
    FUZZ_CHECK(shownAgain.Shown() == shown.Shown());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vandrel_decoder memory;
    const Rows fromMemory = DecodeAll(memory, vandrel_decode_open(&memory, data, size));
    Feed feed{data, size};
    vandrel_decoder reader;
    const Rows fromReader = DecodeAll(reader, vandrel_decode_open_reader(&reader, ReadUneven, &feed));
    FUZZ_CHECK(fromMemory.open == fromReader.open && fromMemory.last == fromReader.last);
    FUZZ_CHECK(fromMemory.pixels == fromReader.pixels);
    CheckRoundTrip(fromMemory);
    return 0;
}
