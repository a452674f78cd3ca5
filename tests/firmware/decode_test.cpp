// The firmware decoder on hand-written streams: the rows each operation gives, a stream read through a
// reader, and the codes cut, corrupt and unknown streams answer, without a byte written past the row.
#define VANDREL_DECODE_IMPLEMENTATION
#include "vandrel/decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Header: "VRLE", version 1, layout, wiring, height and width high byte first.
Bytes Stream(std::uint8_t layout, std::uint8_t wiring, std::uint16_t height, std::uint16_t width, Bytes ops) {
    const std::uint8_t sides[] = {std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8),
                                  std::uint8_t(width)};
    Bytes stream{'V', 'R', 'L', 'E', 1, layout, wiring};
    for (std::uint8_t side : sides) stream.push_back(side);
    for (std::uint8_t op : ops) stream.push_back(op);
    return stream;
}

constexpr std::size_t kGuard = 8;

// Every row until the decoder answers other than 0, each row's bytes in turn, and that code. Bytes
// past the row must stay untouched.
struct Decoded {
    int openCode = 0;
    int lastCode = 0;
    Bytes pixels;
};

Decoded DecodeRows(vandrel_decoder& d, int openCode) {
    Decoded result;
    result.openCode = openCode;
    if (openCode != 0) return result;
    const std::size_t rowBytes = std::size_t{d.width} * d.bytes_per_pixel;
    Bytes row(rowBytes + kGuard, 0xA5);
    for (unsigned y = 0; y <= d.height; ++y) {
        result.lastCode = vandrel_decode_row(&d, row.data());
        EXPECT_TRUE(std::all_of(row.begin() + rowBytes, row.end(), [](std::uint8_t b) { return b == 0xA5; }));
        if (result.lastCode != 0) break;
        result.pixels.insert(result.pixels.end(), row.begin(), row.begin() + rowBytes);
    }
    return result;
}

Decoded DecodeMemory(const Bytes& stream) {
    vandrel_decoder d;
    return DecodeRows(d, vandrel_decode_open(&d, stream.data(), stream.size()));
}

struct GoldenCase {
    const char* name;
    Bytes stream;
    Bytes pixels;  // the rows' bytes, top row first
};

TEST(Decode, GivesTheRowsOfEveryOperation) {
    // clang-format off
    const GoldenCase cases[] = {
        // 4 x 3, rgb565: red red red blue / the same again / green white red blue.
        {"rgb565",
         Stream(2, 0, 3, 4, {0x81, 0xF8, 0x00,  0x00, 0x00, 0x1F,  0xFF, 0x03,  0x01, 0x07, 0xE0, 0xFF, 0xFF,  0xFF, 0x01}),
         {0xF8, 0, 0xF8, 0, 0xF8, 0, 0, 0x1F,
          0xF8, 0, 0xF8, 0, 0xF8, 0, 0, 0x1F,
          0x07, 0xE0, 0xFF, 0xFF, 0xF8, 0, 0, 0x1F}},
        // The same picture in rgb666 wired blue first.
        {"rgb666 blue first",
         Stream(0, 1, 3, 4, {0x81, 0, 0, 63,  0x00, 63, 0, 0,  0xFF, 0x03,  0x01, 0, 63, 0, 63, 63, 63,  0xFF, 0x01}),
         {0, 0, 63, 0, 0, 63, 0, 0, 63, 63, 0, 0,
          0, 0, 63, 0, 0, 63, 0, 0, 63, 63, 0, 0,
          0, 63, 0, 63, 63, 63, 0, 0, 63, 63, 0, 0}},
        // 2 x 3: a long run of 3 across two rows, then a long copy of 3 across rows.
        {"long operations", Stream(3, 0, 3, 2, {0xFF, 0xC0, 0x02, 0x34, 0x12,  0xFF, 0x80, 0x02}),
         {0x34, 0x12, 0x34, 0x12,  0x34, 0x12, 0x34, 0x12,  0x34, 0x12, 0x34, 0x12}},
    };
    // clang-format on
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = DecodeMemory(c.stream);
        EXPECT_EQ(decoded.openCode, 0);
        EXPECT_EQ(decoded.lastCode, VANDREL_DECODE_E_DONE);
        EXPECT_EQ(decoded.pixels, c.pixels);
    }
}

struct Feed {
    const Bytes* stream;
    std::size_t at = 0;
};

// Hands out one to three bytes a call, as storage read in small blocks does.
std::size_t ReadSome(void* context, std::uint8_t* buffer, std::size_t count) {
    Feed& feed = *static_cast<Feed*>(context);
    const std::size_t n = std::min({count, feed.stream->size() - feed.at, feed.at % 3 + 1});
    std::copy_n(feed.stream->begin() + static_cast<std::ptrdiff_t>(feed.at), n, buffer);
    feed.at += n;
    return n;
}

TEST(Decode, ReaderGivesTheSameRowsAsMemory) {
    const Bytes stream =
        Stream(0, 1, 3, 4, {0x81, 0, 0, 63, 0x00, 63, 0, 0, 0xFF, 0x03, 0x01, 0, 63, 0, 63, 63, 63, 0xFF, 0x01});
    Feed feed{&stream};
    vandrel_decoder d;
    const Decoded read = DecodeRows(d, vandrel_decode_open_reader(&d, ReadSome, &feed));
    EXPECT_EQ(read.openCode, 0);
    EXPECT_EQ(read.pixels, DecodeMemory(stream).pixels);
    Bytes cut(stream.begin(), stream.end() - 1);
    Feed cutFeed{&cut};
    EXPECT_EQ(DecodeRows(d, vandrel_decode_open_reader(&d, ReadSome, &cutFeed)).lastCode, VANDREL_DECODE_E_CUT);
}

struct RefusedCase {
    const char* name;
    Bytes stream;
    int openCode;
    int rowCode;  // the first failing row's, when the open succeeds
};

TEST(Decode, AnswersACodeForWhatItCannotShow) {
    const RefusedCase cases[] = {
        {"empty", {}, VANDREL_DECODE_E_CUT, 0},
        {"header cut", {'V', 'R', 'L', 'E', 1, 0}, VANDREL_DECODE_E_CUT, 0},
        {"other magic", {'V', 'R', 'L', 'F', 1, 0, 0, 0, 1, 0, 1, 0x00, 1, 2, 3}, VANDREL_DECODE_E_MAGIC, 0},
        {"later version", {'V', 'R', 'L', 'E', 2, 0, 0, 0, 1, 0, 1}, VANDREL_DECODE_E_VERSION, 0},
        {"unknown layout", Stream(4, 0, 1, 1, {0x00, 1, 2}), VANDREL_DECODE_E_LAYOUT, 0},
        {"unknown wiring", Stream(0, 2, 1, 1, {0x00, 1, 2, 3}), VANDREL_DECODE_E_LAYOUT, 0},
        {"no operations", Stream(0, 0, 1, 1, {}), 0, VANDREL_DECODE_E_CUT},
        {"literal cut in a pixel", Stream(0, 0, 1, 2, {0x01, 1, 2, 3, 4}), 0, VANDREL_DECODE_E_CUT},
        {"run without its pixel", Stream(2, 0, 1, 2, {0x80, 7}), 0, VANDREL_DECODE_E_CUT},
        {"extended operation cut", Stream(2, 0, 2, 2, {0x80, 7, 7, 0xFF, 0x80}), 0, VANDREL_DECODE_E_CUT},
        {"copy in the top row", Stream(2, 0, 2, 2, {0xFF, 0x03}), 0, VANDREL_DECODE_E_CORRUPT},
        {"run past the picture", Stream(2, 0, 1, 1, {0x80, 7, 7}), 0, VANDREL_DECODE_E_CORRUPT},
        {"long run past the picture", Stream(2, 0, 2, 2, {0xFF, 0xFF, 0xFF, 7, 7}), 0, VANDREL_DECODE_E_CORRUPT},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = DecodeMemory(c.stream);
        EXPECT_EQ(decoded.openCode, c.openCode);
        if (c.openCode == 0) {
            EXPECT_EQ(decoded.lastCode, c.rowCode);
        }
        EXPECT_STRNE(vandrel_decode_error(c.openCode != 0 ? c.openCode : c.rowCode), vandrel_decode_error(0));
    }
    vandrel_decoder d;
    std::uint8_t row[4];
    EXPECT_EQ(vandrel_decode_open(nullptr, row, 4), VANDREL_DECODE_E_ARGUMENT);
    EXPECT_EQ(vandrel_decode_open_reader(&d, nullptr, nullptr), VANDREL_DECODE_E_ARGUMENT);
    const Bytes stream = Stream(2, 0, 1, 1, {0x00, 7, 7});
    ASSERT_EQ(vandrel_decode_open(&d, stream.data(), stream.size()), 0);
    EXPECT_EQ(vandrel_decode_row(&d, nullptr), VANDREL_DECODE_E_ARGUMENT);
}

}  // namespace
