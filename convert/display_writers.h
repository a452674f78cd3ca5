// The two output formats for 6-bit-per-channel displays. Both read the picture a run of a row at a
// time and stream through a fixed-size buffer, so no output-sized buffer is ever built.
#pragma once

#include <cstdint>
#include <cstdio>

#include "picture.h"

// 8-bit channel to the display's 6 bits: the remainder of a division by 4 is dropped.
constexpr std::uint8_t SixBitChannel(std::uint8_t value) { return static_cast<std::uint8_t>(value >> 2); }

enum class OutputFormat { RawColourStream, ArrayText };

// How the display data is written.
struct OutputOptions {
    OutputFormat format = OutputFormat::RawColourStream;
    // The height and width prefix of the raw colour stream; the array text always carries it.
    bool sizePrefix = true;
};

// The writers take the picture's sides as 16-bit values: callers refuse larger pictures first (the
// size prefix could not describe them). Each answers false when any byte could not be handed to `out`.

// Raw colour stream ("bmc"): optionally the size prefix (height high, height low, width high,
// width low), then red, green, blue of every pixel from the top row down, one byte each.
bool WriteRawColourStream(const Picture& picture, bool withSizePrefix, std::FILE* out);

// Array text ("h"): C source initialising `pic` with the size prefix and the same values, six pixels
// to a line, LF line breaks.
bool WriteArrayText(const Picture& picture, std::FILE* out);

// The writer that `options` choose.
bool WriteDisplayData(const Picture& picture, const OutputOptions& options, std::FILE* out);
