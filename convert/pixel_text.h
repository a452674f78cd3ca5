// The text of one pixel in each C style, worked out from the layout's description: decimal bytes for
// the window's array, hexadecimal words or bytes for the stdint header. Numbers come from tables and are
// stored as whole words, so that a large picture converts at close to the speed of writing its text.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "run_bytes.h"

namespace pixel_text {

// ",N" for every byte value; the text is copied as a whole 4-byte word.
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

inline constexpr std::array<CommaNumber, 256> kCommaNumbers = MakeCommaNumbers();

inline std::uint8_t* PutCommaNumber(std::uint8_t* target, std::uint8_t value) {
    std::memcpy(target, kCommaNumbers[value].text, 4);
    return target + kCommaNumbers[value].length;
}

// "N" without the comma, for the first element after "{ ".
inline std::uint8_t* PutNumber(std::uint8_t* target, std::uint8_t value) {
    std::memcpy(target, kCommaNumbers[value].text + 1, 4);
    return target + kCommaNumbers[value].length - 1;
}

// Text pieces of a pixel write whole words and may store up to this many bytes past the text's end,
// which the next piece overwrites or which is never handed over.
inline constexpr std::size_t kSlack = 8;

// Up to 8 characters as one word in memory order, so that a look-up is one load and one store. A text
// of up to 7 characters keeps its length in the word's last byte.
struct TextWord {
    std::uint64_t word = 0;

    static constexpr unsigned BitsOf(unsigned at) {
        return std::endian::native == std::endian::little ? 8 * at : 8 * (7 - at);
    }
    constexpr void Set(unsigned at, char c) { word |= std::uint64_t{static_cast<std::uint8_t>(c)} << BitsOf(at); }
    constexpr unsigned At(unsigned at) const { return static_cast<std::uint8_t>(word >> BitsOf(at)); }

    // Stores the word and answers the end of its text, whose length is in the last byte.
    std::uint8_t* PutWithLength(std::uint8_t* target) const {
        std::memcpy(target, &word, 8);
        return target + At(7);
    }
};

// ",A,B" of the first two bytes of a channel-byte pixel, indexed by the two channels' levels: one
// look-up and one 8-byte copy instead of two of each. Texts of 8 characters (",252,252") keep their
// lengths aside.
template <PixelLayout kLayout>
struct PairTexts {
    static constexpr run_bytes::ChannelByte kByte = run_bytes::ChannelOfByte(run_bytes::WiredLayout(kLayout, false), 0);
    static constexpr unsigned kLevelBits = 8 - kByte.down;
    static constexpr unsigned kLongest = 2 * kCommaNumbers[(0xFFu >> kByte.down) << kByte.up].length;
    static constexpr bool kLengthInWord = kLongest <= 7;

    std::array<TextWord, (1u << 2 * kLevelBits)> words{};
    std::array<std::uint8_t, (kLengthInWord ? 1 : 1u << 2 * kLevelBits)> lengths{};

    static constexpr PairTexts Make() {
        PairTexts table{};
        for (unsigned pair = 0; pair < table.words.size(); ++pair) {
            const CommaNumber& a = kCommaNumbers[(pair >> kLevelBits) << kByte.up];
            const CommaNumber& b = kCommaNumbers[(pair & ((1u << kLevelBits) - 1)) << kByte.up];
            for (unsigned i = 0; i < a.length; ++i) table.words[pair].Set(i, a.text[i]);
            for (unsigned i = 0; i < b.length; ++i) table.words[pair].Set(a.length + i, b.text[i]);
            const auto length = static_cast<std::uint8_t>(a.length + b.length);
            if constexpr (kLengthInWord)
                table.words[pair].Set(7, static_cast<char>(length));
            else
                table.lengths[pair] = length;
        }
        return table;
    }

    std::uint8_t* Put(std::uint8_t* target, unsigned pair) const {
        if constexpr (kLengthInWord) {
            return words[pair].PutWithLength(target);
        } else {
            std::memcpy(target, &words[pair].word, 8);
            return target + lengths[pair];
        }
    }
};

template <PixelLayout kLayout>
inline constexpr PairTexts<kLayout> kPairTexts = PairTexts<kLayout>::Make();

// ",C" of the last byte of a channel-byte pixel, indexed by its channel's level.
template <PixelLayout kLayout>
inline constexpr auto kLevelTexts = [] {
    constexpr run_bytes::ChannelByte kByte = PairTexts<kLayout>::kByte;
    std::array<TextWord, (0x100u >> kByte.down)> table{};
    for (unsigned level = 0; level < table.size(); ++level) {
        const CommaNumber& number = kCommaNumbers[level << kByte.up];
        for (unsigned i = 0; i < number.length; ++i) table[level].Set(i, number.text[i]);
        table[level].Set(7, static_cast<char>(number.length));
    }
    return table;
}();

// The window's array: ",A,B,C" of the pixel's bytes in decimal, six pixels to a line.
template <PixelLayout kLayout, bool kBlueFirst>
struct DecimalPixel {
    static constexpr unsigned kBytes = Describe(kLayout).bytes;
    static constexpr unsigned kMaxText = 4 * kBytes;
    static constexpr unsigned kPerLine = 6;
    static constexpr char kLineStart[] = "";

    static std::uint8_t* Put(std::uint8_t* target, const std::uint8_t* rgb) {
        if constexpr (run_bytes::kChannelBytes<kLayout, kBlueFirst>) {
            constexpr run_bytes::Wired w = run_bytes::WiredLayout(kLayout, kBlueFirst);
            constexpr run_bytes::ChannelByte a = run_bytes::ChannelOfByte(w, 0);
            constexpr run_bytes::ChannelByte b = run_bytes::ChannelOfByte(w, 1);
            constexpr run_bytes::ChannelByte c = run_bytes::ChannelOfByte(w, 2);
            constexpr unsigned kLevelBits = PairTexts<kLayout>::kLevelBits;
            const unsigned pair = unsigned{rgb[a.channel]} >> a.down << kLevelBits | unsigned{rgb[b.channel]} >> b.down;
            target = kPairTexts<kLayout>.Put(target, pair);
            return kLevelTexts<kLayout>[rgb[c.channel] >> c.down].PutWithLength(target);
        } else {
            std::uint8_t bytes[4];
            run_bytes::PutPixel<kLayout, kBlueFirst>(rgb, bytes);
            for (unsigned k = 0; k < kBytes; ++k) target = PutCommaNumber(target, bytes[k]);
            return target;
        }
    }
};

// Two uppercase hexadecimal digits for every byte value.
inline constexpr std::array<std::array<char, 2>, 256> kHexDigits = [] {
    std::array<std::array<char, 2>, 256> table{};
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (unsigned value = 0; value < 256; ++value) table[value] = {kDigits[value >> 4], kDigits[value & 15]};
    return table;
}();

// " 0xHH," for byte values, or " 0xHHHH," for 16-bit words.
inline std::uint8_t* PutHexByte(std::uint8_t* target, std::uint8_t value) {
    std::memcpy(target, " 0x", 3);
    std::memcpy(target + 3, kHexDigits[value].data(), 2);
    target[5] = ',';
    return target + 6;
}

inline std::uint8_t* PutHexWord(std::uint8_t* target, std::uint16_t value) {
    std::memcpy(target, " 0x", 3);
    std::memcpy(target + 3, kHexDigits[value >> 8].data(), 2);
    std::memcpy(target + 5, kHexDigits[value & 0xFF].data(), 2);
    target[7] = ',';
    return target + 8;
}

// The stdint header: one hexadecimal word a pixel for 16-bit layouts, whatever their byte order, so
// that the compiler stores it in the machine's own; the bytes of other layouts. Lines of 8 words or
// 12 bytes, indented by four spaces.
template <PixelLayout kLayout, bool kBlueFirst>
struct HexPixel {
    static constexpr unsigned kBytes = Describe(kLayout).bytes;
    static constexpr unsigned kMaxText = IsSixteenBit(kLayout) ? 8 : 6 * kBytes;
    static constexpr unsigned kPerLine = IsSixteenBit(kLayout) ? 8 : 12 / kBytes;
    static constexpr char kLineStart[] = "   ";

    static std::uint8_t* Put(std::uint8_t* target, const std::uint8_t* rgb) {
        if constexpr (IsSixteenBit(kLayout)) {
            return PutHexWord(target, static_cast<std::uint16_t>(run_bytes::PixelValue<kLayout, kBlueFirst>(rgb)));
        } else {
            std::uint8_t bytes[4];
            run_bytes::PutPixel<kLayout, kBlueFirst>(rgb, bytes);
            for (unsigned k = 0; k < kBytes; ++k) target = PutHexByte(target, bytes[k]);
            return target;
        }
    }
};

}  // namespace pixel_text
