// The raw colour stream and array text writers in every pixel layout. Pixels are fetched a run of a row
// at a time and the decimal text comes from tables, so that a large picture converts at close to the
// speed of copying it; each layout and wiring is a template of its own, so none pays for another's.
#include "convert/display_writers.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "convert/compressed_stream.h"
#include "convert/dither.h"
#include "output_buffer.h"
#include "run_bytes.h"

namespace {

// Pixels fetched per request: a few KiB on the stack, whatever the picture's width.
constexpr std::uint32_t kRunPixels = 1024;
constexpr unsigned kPixelsPerLine = 6;

// ",N" for every byte value, for the size prefix.
struct CommaNumber {
    char text[5];
    std::uint8_t length;
};

constexpr std::array<CommaNumber, 256> MakeCommaNumbers() {
    std::array<CommaNumber, 256> table{};
    for (int value = 0; value < 256; ++value) {
        CommaNumber& entry = table[value];
        entry.text[0] = ',';
        int length = 1;
        if (value >= 100) entry.text[length++] = static_cast<char>('0' + value / 100);
        if (value >= 10) entry.text[length++] = static_cast<char>('0' + value / 10 % 10);
        entry.text[length++] = static_cast<char>('0' + value % 10);
        entry.length = static_cast<std::uint8_t>(length);
    }
    return table;
}

constexpr std::array<CommaNumber, 256> kCommaNumbers = MakeCommaNumbers();

// Text pieces copied as whole words: the text at the front, its length in the last byte. The words
// are always copied in full; whatever lies past the length is overwritten by the next piece or never
// handed over.
struct RedGreenText {
    char word[8];  // ",R,G": at most 6 characters
};
struct BlueText {
    char word[4];  // ",B": at most 3 characters
};

constexpr int AppendSixBit(char* text, int length, unsigned value) {
    text[length++] = ',';
    if (value >= 10) text[length++] = static_cast<char>('0' + value / 10);
    text[length++] = static_cast<char>('0' + value % 10);
    return length;
}

// Indexed by 6-bit red x 64 + 6-bit green.
constexpr std::array<RedGreenText, 64 * 64> MakeRedGreenTexts() {
    std::array<RedGreenText, 64 * 64> table{};
    for (unsigned red = 0; red < 64; ++red) {
        for (unsigned green = 0; green < 64; ++green) {
            RedGreenText& entry = table[red * 64 + green];
            const int length = AppendSixBit(entry.word, AppendSixBit(entry.word, 0, red), green);
            entry.word[7] = static_cast<char>(length);
        }
    }
    return table;
}

constexpr std::array<BlueText, 64> MakeBlueTexts() {
    std::array<BlueText, 64> table{};
    for (unsigned blue = 0; blue < 64; ++blue) {
        table[blue].word[3] = static_cast<char>(AppendSixBit(table[blue].word, 0, blue));
    }
    return table;
}

constexpr std::array<RedGreenText, 64 * 64> kRedGreenTexts = MakeRedGreenTexts();
constexpr std::array<BlueText, 64> kBlueTexts = MakeBlueTexts();

// The bytes and the text of one pixel in each layout. Each takes the pixel's channels in the order
// the wiring wants them (red or blue first); Text puts ",A,B..." at `target`, answers the end of the
// text and may overwrite up to kSlack bytes past that end, as it copies whole words.
constexpr std::size_t kSlack = 4;

template <PixelLayout kLayout>
struct PixelCode;

template <>
struct PixelCode<PixelLayout::Rgb666> {
    static constexpr unsigned kBytes = 3;
    static constexpr unsigned kMaxText = 9;  // ",63,63,63"
    static void Bytes(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        target[0] = SixBitChannel(first);
        target[1] = SixBitChannel(green);
        target[2] = SixBitChannel(last);
    }
    static std::uint8_t* Text(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        const RedGreenText& firstGreen = kRedGreenTexts[SixBitChannel(first) * 64u + SixBitChannel(green)];
        std::memcpy(target, firstGreen.word, sizeof firstGreen.word);
        target += firstGreen.word[7];
        const BlueText& lastText = kBlueTexts[SixBitChannel(last)];
        std::memcpy(target, lastText.word, sizeof lastText.word);
        return target + lastText.word[3];
    }
};

// ",R,G" for the top six bits of red and green kept in place, indexed by 6-bit red x 64 + 6-bit green.
// Up to 8 characters fill the word, so the lengths have a table of their own.
struct HighRedGreenTexts {
    std::array<std::array<char, 8>, 64 * 64> words;
    std::array<std::uint8_t, 64 * 64> lengths;
};

constexpr HighRedGreenTexts MakeHighRedGreenTexts() {
    HighRedGreenTexts table{};
    for (unsigned pair = 0; pair < 64 * 64; ++pair) {
        const CommaNumber& red = kCommaNumbers[(pair >> 6) << 2];
        const CommaNumber& green = kCommaNumbers[(pair & 63) << 2];
        for (unsigned i = 0; i < red.length; ++i) table.words[pair][i] = red.text[i];
        for (unsigned i = 0; i < green.length; ++i) table.words[pair][red.length + i] = green.text[i];
        table.lengths[pair] = static_cast<std::uint8_t>(red.length + green.length);
    }
    return table;
}

constexpr HighRedGreenTexts kHighRedGreenTexts = MakeHighRedGreenTexts();

// ",N" as a whole 4-byte word; ",255" fills it.
inline std::uint8_t* PutCommaNumber(std::uint8_t* target, std::uint8_t value) {
    std::memcpy(target, kCommaNumbers[value].text, 4);
    return target + kCommaNumbers[value].length;
}

template <>
struct PixelCode<PixelLayout::Rgb666High> {
    static constexpr unsigned kBytes = 3;
    static constexpr unsigned kMaxText = 12;  // ",252,252,252"
    static void Bytes(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        target[0] = first & 0xFC;
        target[1] = green & 0xFC;
        target[2] = last & 0xFC;
    }
    static std::uint8_t* Text(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        const unsigned pair = SixBitChannel(first) * 64u + SixBitChannel(green);
        std::memcpy(target, kHighRedGreenTexts.words[pair].data(), 8);
        return PutCommaNumber(target + kHighRedGreenTexts.lengths[pair], last & 0xFC);
    }
};

// The 16-bit value as its high byte and low byte.
constexpr std::uint8_t High565(std::uint8_t first, std::uint8_t green) {
    return static_cast<std::uint8_t>((first & 0xF8) | green >> 5);
}
constexpr std::uint8_t Low565(std::uint8_t green, std::uint8_t last) {
    return static_cast<std::uint8_t>((green << 3 & 0xE0) | last >> 3);
}

template <bool kLowByteFirst>
struct Code565 {
    static constexpr unsigned kBytes = 2;
    static constexpr unsigned kMaxText = 8;  // ",255,255"
    static void Bytes(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        target[kLowByteFirst ? 1 : 0] = High565(first, green);
        target[kLowByteFirst ? 0 : 1] = Low565(green, last);
    }
    static std::uint8_t* Text(std::uint8_t* target, std::uint8_t first, std::uint8_t green, std::uint8_t last) {
        const std::uint8_t high = High565(first, green);
        const std::uint8_t low = Low565(green, last);
        target = PutCommaNumber(target, kLowByteFirst ? low : high);
        return PutCommaNumber(target, kLowByteFirst ? high : low);
    }
};

template <>
struct PixelCode<PixelLayout::Rgb565> : Code565<false> {};
template <>
struct PixelCode<PixelLayout::Rgb565Le> : Code565<true> {};

// One pixel of a run of red, green, blue triples, in the order the wiring wants.
template <bool kBlueFirst>
struct Wiring {
    static std::uint8_t First(const std::uint8_t* rgb) { return rgb[kBlueFirst ? 2 : 0]; }
    static std::uint8_t Last(const std::uint8_t* rgb) { return rgb[kBlueFirst ? 0 : 2]; }
};

void AppendCommaNumber(OutputBuffer& buffer, std::uint8_t value) {
    buffer.Append(kCommaNumbers[value].text, kCommaNumbers[value].length);
}

void AppendText(OutputBuffer& buffer, const char* text) { buffer.Append(text, std::strlen(text)); }

// Calls `emit(rgb, count)` for consecutive runs of the picture's pixels, top row first, each run
// holding red, green, blue triples of one row, with kRunMargin readable bytes either side.
template <typename Emit>
void ForEachPixelRun(const Picture& picture, std::uint16_t width, std::uint16_t height, Emit emit) {
    std::uint8_t space[kRunMargin + 3 * kRunPixels + kRunMargin];
    std::memset(space, 0, kRunMargin);
    std::memset(space + kRunMargin + 3 * kRunPixels, 0, kRunMargin);
    std::uint8_t* const rgb = space + kRunMargin;
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; column += kRunPixels) {
            const std::uint32_t count = width - column < kRunPixels ? width - column : kRunPixels;
            picture.ReadRun(column, row, count, rgb);
            emit(rgb, count);
        }
    }
}

// The pixels of a run that the layout's block encoder takes, if it has one.
template <PixelLayout kLayout, bool kBlueFirst>
std::uint32_t EncodeBlocks([[maybe_unused]] const std::uint8_t* rgb, [[maybe_unused]] std::uint32_t count,
                           [[maybe_unused]] std::uint8_t* target) {
#if defined(__GNUC__)
    if constexpr (kLayout == PixelLayout::Rgb565 || kLayout == PixelLayout::Rgb565Le)
        return run_bytes::Encode565<kBlueFirst, kLayout == PixelLayout::Rgb565Le>(rgb, count, target);
    else if constexpr (kBlueFirst)
        return run_bytes::SwapOuterChannels<kLayout == PixelLayout::Rgb666High>(rgb, count, target);
#endif
    return 0;
}

std::uint16_t Side(std::uint32_t side) { return static_cast<std::uint16_t>(side); }

// The array's name may be longer than the buffer takes in one piece.
void AppendName(OutputBuffer& buffer, const std::string& name) {
    constexpr std::size_t kPiece = 1024;
    for (std::size_t at = 0; at < name.size(); at += kPiece)
        buffer.Append(name.data() + at, name.size() - at < kPiece ? name.size() - at : kPiece);
}

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteRaw(const Picture& picture, bool withSizePrefix, std::FILE* out) {
    using Code = PixelCode<kLayout>;
    using Wired = Wiring<kBlueFirst>;
    const std::uint16_t width = Side(picture.Width());
    const std::uint16_t height = Side(picture.Height());
    OutputBuffer buffer(out);
    if (withSizePrefix) {
        buffer.Put(static_cast<std::uint8_t>(height >> 8));
        buffer.Put(static_cast<std::uint8_t>(height & 0xFF));
        buffer.Put(static_cast<std::uint8_t>(width >> 8));
        buffer.Put(static_cast<std::uint8_t>(width & 0xFF));
    }
    ForEachPixelRun(picture, width, height, [&](const std::uint8_t* rgb, std::uint32_t count) {
        const std::size_t bytes = std::size_t{Code::kBytes} * count;
        std::uint8_t* target = buffer.Reserve(bytes);
        if constexpr (kLayout == PixelLayout::Rgb666 && !kBlueFirst) {
            // Byte for byte, which the compiler turns into whole-vector work.
            for (std::size_t i = 0; i < bytes; ++i) target[i] = SixBitChannel(rgb[i]);
        } else if constexpr (kLayout == PixelLayout::Rgb666High && !kBlueFirst) {
            for (std::size_t i = 0; i < bytes; ++i) target[i] = rgb[i] & 0xFC;
        } else {
            for (std::uint32_t i = EncodeBlocks<kLayout, kBlueFirst>(rgb, count, target); i < count; ++i) {
                const std::uint8_t* pixel = rgb + 3 * i;
                Code::Bytes(target + Code::kBytes * i, Wired::First(pixel), pixel[1], Wired::Last(pixel));
            }
        }
        buffer.Commit(bytes);
    });
    return buffer.Finish();
}

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteText(const Picture& picture, const std::string& arrayName, std::FILE* out) {
    using Code = PixelCode<kLayout>;
    using Wired = Wiring<kBlueFirst>;
    const auto append = [](std::uint8_t* target, const std::uint8_t* rgb) {
        return Code::Text(target, Wired::First(rgb), rgb[1], Wired::Last(rgb));
    };
    const std::uint16_t width = Side(picture.Width());
    const std::uint16_t height = Side(picture.Height());
    OutputBuffer buffer(out);
    AppendText(buffer, "\nconst unsigned char ");
    AppendName(buffer, arrayName);
    AppendText(buffer, "[]={ ");
    // The first number follows "{ " directly, without a comma.
    const CommaNumber& first = kCommaNumbers[height >> 8];
    buffer.Append(first.text + 1, first.length - 1u);
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(height & 0xFF));
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(width >> 8));
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(width & 0xFF));

    // Line breaks count pixels of the whole picture, not of each row.
    unsigned lineCounter = 0;
    ForEachPixelRun(picture, width, height, [&](const std::uint8_t* rgb, std::uint32_t count) {
        // The longest text and a line break per pixel, and room for the last whole word.
        constexpr std::size_t kPerPixel = Code::kMaxText + 1;
        static_assert(kPerPixel * kRunPixels + kSlack <= OutputBuffer::kCapacity);
        std::uint8_t* const start = buffer.Reserve(kPerPixel * count + kSlack);
        std::uint8_t* target = start;
        const std::uint8_t* const end = rgb + 3u * count;
        // Finish the line an earlier run began, then go a whole line at a time.
        for (; lineCounter != 0 && rgb != end; rgb += 3) {
            target = append(target, rgb);
            if (++lineCounter == kPixelsPerLine) {
                lineCounter = 0;
                *target++ = '\n';
            }
        }
        for (; end - rgb >= 3 * kPixelsPerLine; rgb += 3 * kPixelsPerLine) {
            for (unsigned i = 0; i < kPixelsPerLine; ++i) target = append(target, rgb + 3 * i);
            *target++ = '\n';
        }
        for (; rgb != end; rgb += 3) {
            target = append(target, rgb);
            ++lineCounter;
        }
        buffer.Commit(static_cast<std::size_t>(target - start));
    });
    AppendText(buffer, " };\n");
    return buffer.Finish();
}

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteIn(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.format == OutputFormat::ArrayText)
        return WriteText<kLayout, kBlueFirst>(picture, options.arrayName, out);
    return WriteRaw<kLayout, kBlueFirst>(picture, options.sizePrefix, out);
}

template <PixelLayout kLayout>
bool WriteIn(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    return options.blueFirst ? WriteIn<kLayout, true>(picture, options, out)
                             : WriteIn<kLayout, false>(picture, options, out);
}

bool WriteUndithered(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.compression == Compression::Rle && options.format == OutputFormat::RawColourStream)
        return WriteCompressedStream(picture, options.layout, options.blueFirst, out);
    switch (options.layout) {
    case PixelLayout::Rgb666High:
        return WriteIn<PixelLayout::Rgb666High>(picture, options, out);
    case PixelLayout::Rgb565:
        return WriteIn<PixelLayout::Rgb565>(picture, options, out);
    case PixelLayout::Rgb565Le:
        return WriteIn<PixelLayout::Rgb565Le>(picture, options, out);
    case PixelLayout::Rgb666:
        break;
    }
    return WriteIn<PixelLayout::Rgb666>(picture, options, out);
}

}  // namespace

int WriteDisplayData(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    std::unique_ptr<DitheredPicture> dithered;
    if (options.dither) {
        // The dithered picture shows each pixel at one of the layout's levels, which the writers then
        // cut without loss.
        dithered = DitheredPicture::Make(picture, options.layout);
        if (!dithered) return ENOMEM;
    }
    // The C library's reason is read right where the write failed, and travels on as a value.
    errno = 0;
    if (WriteUndithered(dithered ? *dithered : picture, options, out)) return 0;
    return errno != 0 ? errno : EIO;
}

bool WriteRawColourStream(const Picture& picture, bool withSizePrefix, std::FILE* out) {
    return WriteRaw<PixelLayout::Rgb666, false>(picture, withSizePrefix, out);
}

bool WriteArrayText(const Picture& picture, std::FILE* out) {
    return WriteText<PixelLayout::Rgb666, false>(picture, "pic", out);
}
