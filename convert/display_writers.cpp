// The raw colour stream and array text writers. Pixels are fetched a run of a row at a time and the
// decimal text comes from tables, so that a large picture converts at close to the speed of copying it.
#include "display_writers.h"

#include <array>
#include <cstring>

#include "output_buffer.h"

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

// Puts ",R,G,B" for one pixel at `target` and answers the end of the text. Up to 4 bytes past
// the end may be overwritten.
inline std::uint8_t* AppendPixelText(std::uint8_t* target, const std::uint8_t* rgb) {
    const RedGreenText& redGreen = kRedGreenTexts[SixBitChannel(rgb[0]) * 64u + SixBitChannel(rgb[1])];
    std::memcpy(target, redGreen.word, sizeof redGreen.word);
    target += redGreen.word[7];
    const BlueText& blue = kBlueTexts[SixBitChannel(rgb[2])];
    std::memcpy(target, blue.word, sizeof blue.word);
    return target + blue.word[3];
}

void AppendCommaNumber(OutputBuffer& buffer, std::uint8_t value) {
    buffer.Append(kCommaNumbers[value].text, kCommaNumbers[value].length);
}

void AppendText(OutputBuffer& buffer, const char* text) { buffer.Append(text, std::strlen(text)); }

// Calls `emit(rgb, count)` for consecutive runs of the picture's pixels, top row first, each run
// holding red, green, blue triples of one row.
template <typename Emit>
void ForEachPixelRun(const Picture& picture, std::uint16_t width, std::uint16_t height, Emit emit) {
    std::uint8_t rgb[3 * kRunPixels];
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; column += kRunPixels) {
            const std::uint32_t count = width - column < kRunPixels ? width - column : kRunPixels;
            picture.ReadRun(column, row, count, rgb);
            emit(rgb, count);
        }
    }
}

std::uint16_t Side(std::uint32_t side) { return static_cast<std::uint16_t>(side); }

}  // namespace

bool WriteRawColourStream(const Picture& picture, bool withSizePrefix, std::FILE* out) {
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
        const std::size_t bytes = 3u * count;
        std::uint8_t* target = buffer.Reserve(bytes);
        for (std::size_t i = 0; i < bytes; ++i) target[i] = SixBitChannel(rgb[i]);
        buffer.Commit(bytes);
    });
    return buffer.Finish();
}

bool WriteArrayText(const Picture& picture, std::FILE* out) {
    const std::uint16_t width = Side(picture.Width());
    const std::uint16_t height = Side(picture.Height());
    OutputBuffer buffer(out);
    // The first number follows "{ " directly, without a comma.
    AppendText(buffer, "\nconst unsigned char pic[]={ ");
    const CommaNumber& first = kCommaNumbers[height >> 8];
    buffer.Append(first.text + 1, first.length - 1u);
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(height & 0xFF));
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(width >> 8));
    AppendCommaNumber(buffer, static_cast<std::uint8_t>(width & 0xFF));

    // Line breaks count pixels of the whole picture, not of each row.
    unsigned lineCounter = 0;
    ForEachPixelRun(picture, width, height, [&](const std::uint8_t* rgb, std::uint32_t count) {
        // Nine characters and a line break per pixel at most, and room for the last whole word.
        static_assert(10 * kRunPixels + 8 <= OutputBuffer::kCapacity);
        std::uint8_t* const start = buffer.Reserve(10u * count + 8u);
        std::uint8_t* target = start;
        const std::uint8_t* const end = rgb + 3u * count;
        // Finish the line an earlier run began, then go a whole line at a time.
        for (; lineCounter != 0 && rgb != end; rgb += 3) {
            target = AppendPixelText(target, rgb);
            if (++lineCounter == kPixelsPerLine) {
                lineCounter = 0;
                *target++ = '\n';
            }
        }
        for (; end - rgb >= 3 * kPixelsPerLine; rgb += 3 * kPixelsPerLine) {
            for (unsigned i = 0; i < kPixelsPerLine; ++i) target = AppendPixelText(target, rgb + 3 * i);
            *target++ = '\n';
        }
        for (; rgb != end; rgb += 3) {
            target = AppendPixelText(target, rgb);
            ++lineCounter;
        }
        buffer.Commit(static_cast<std::size_t>(target - start));
    });
    AppendText(buffer, " };\n");
    return buffer.Finish();
}

bool WriteDisplayData(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.format == OutputFormat::ArrayText) return WriteArrayText(picture, out);
    return WriteRawColourStream(picture, options.sizePrefix, out);
}
