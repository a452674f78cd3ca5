// The raw colour stream and array text writers.
#include "display_writers.h"

#include <array>

#include "output_buffer.h"

namespace {

// ",N" for every byte value, so the array text needs no general-purpose number formatting.
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

void AppendCommaNumber(OutputBuffer& buffer, std::uint8_t value) {
    buffer.Append(kCommaNumbers[value].text, kCommaNumbers[value].length);
}

void AppendText(OutputBuffer& buffer, const char* text) { buffer.Append(text, std::strlen(text)); }

constexpr unsigned kPixelsPerLine = 6;

}  // namespace

bool WriteRawColourStream(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                          bool withSizePrefix, std::FILE* out) {
    OutputBuffer buffer(out);
    if (withSizePrefix) {
        buffer.Put(static_cast<std::uint8_t>(height >> 8));
        buffer.Put(static_cast<std::uint8_t>(height & 0xFF));
        buffer.Put(static_cast<std::uint8_t>(width >> 8));
        buffer.Put(static_cast<std::uint8_t>(width & 0xFF));
    }
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            std::uint8_t red = 0, green = 0, blue = 0;
            GetPixelRgb(image, column, row, &red, &green, &blue);
            buffer.Put(SixBitChannel(red));
            buffer.Put(SixBitChannel(green));
            buffer.Put(SixBitChannel(blue));
        }
    }
    return buffer.Finish();
}

bool WriteArrayText(const BitmapImage* image, std::uint16_t width, std::uint16_t height,
                    std::FILE* out) {
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
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            std::uint8_t red = 0, green = 0, blue = 0;
            GetPixelRgb(image, column, row, &red, &green, &blue);
            AppendCommaNumber(buffer, SixBitChannel(red));
            AppendCommaNumber(buffer, SixBitChannel(green));
            AppendCommaNumber(buffer, SixBitChannel(blue));
            if (++lineCounter >= kPixelsPerLine) {
                lineCounter = 0;
                buffer.Put('\n');
            }
        }
    }
    AppendText(buffer, " };\n");
    return buffer.Finish();
}
