// The two output formats for colour displays, in each pixel layout their controllers take. Both read
// the picture a run of a row at a time and stream through a fixed-size buffer, so no output-sized
// buffer is ever built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "picture.h"
#include "pixel_layout.h"

// 8-bit channel to the display's 6 bits: the remainder of a division by 4 is dropped.
constexpr std::uint8_t SixBitChannel(std::uint8_t value) { return static_cast<std::uint8_t>(value >> 2); }

enum class OutputFormat { RawColourStream, ArrayText };

// The C text of the array: the window's, or a header for firmware with stdint types and size macros.
enum class CStyle { Window, Stdint };

// Compression of the pixel bytes (with a header that describes them) for .bmc and .h alike.
enum class Compression { None, Rle };

// How the display data is written.
struct OutputOptions {
    OutputFormat format = OutputFormat::RawColourStream;
    // The height and width prefix of the raw colour stream; the array text always carries it.
    bool sizePrefix = true;
    // The bytes of each pixel. The window always writes Rgb666, red first, into an array named "pic".
    PixelLayout layout = PixelLayout::Rgb666;
    // Blue takes red's place, for panels wired blue first.
    bool blueFirst = false;
    // The array text's array; callers make sure it is a C identifier.
    std::string arrayName = "pic";
    // Error diffusion towards the layout's levels instead of cutting each pixel on its own.
    bool dither = false;
    CStyle cStyle = CStyle::Window;
    // Put into the array's declaration (PROGMEM, an alignment, a section); callers check it.
    std::string cAttribute;
    Compression compression = Compression::None;
};

// The writers take the picture's sides as 16-bit values: callers refuse larger pictures first (the
// size prefix could not describe them). Each answers false when any byte could not be handed to `out`.

// Raw colour stream ("bmc"): optionally the size prefix (height high, height low, width high,
// width low), then the bytes of every pixel from the top row down.
// Array text ("h"), LF line breaks, in one of two C styles:
// - Window: C source initialising `const unsigned char NAME[]` with the size prefix and the same bytes
//   in decimal, six pixels to a line.
// - Stdint: a header for firmware that compiles as C99 and C++ and can be included beside others: an
//   include guard NAME_H, <stdint.h>, NAME_WIDTH and NAME_HEIGHT macros (the name upper-cased), and
//   `static const uint16_t NAME[] ATTRIBUTE = {` with one hexadecimal word a pixel for two-byte layouts
//   (the 16-bit value, whatever the layout's byte order, so the compiler stores it in the machine's
//   order and aligned), or `static const uint8_t NAME[] ATTRIBUTE = {` with the bytes of the others.

// The writer, layout, style and array name that `options` choose, dithered on request. Answers 0 when
// every byte was handed to `out` and flushed, else the system's error number (EIO where the C library
// gave none; ENOMEM when the two rows of error for dithering cannot be allocated).
int WriteDisplayData(const Picture& picture, const OutputOptions& options, std::FILE* out);

// The window's layout: red, green, blue of every pixel, each cut to 6 bits, one byte each; the array
// is named `pic`.
bool WriteRawColourStream(const Picture& picture, bool withSizePrefix, std::FILE* out);
bool WriteArrayText(const Picture& picture, std::FILE* out);

// Bytes made elsewhere (such as a compressed stream), handed over a piece at a time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Puts up to `capacity` bytes at `buffer` and answers how many; 0 when there are no more. A source
    // that fails on the way answers 0 and keeps the failure for its owner to check.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};

// Array text whose elements are the bytes of `source`, in options.cStyle with options.arrayName and
// options.cAttribute; the layout and the size prefix play no part (the bytes carry what they need).
// Window style: `const unsigned char NAME[]={ ` and the bytes in decimal, 18 to a line. Stdint style:
// the header above with `static const uint8_t NAME[]`, 12 bytes to a line, and NAME_WIDTH and
// NAME_HEIGHT from `width` and `height`. Answers 0, or the system's error number as WriteDisplayData.
int WriteByteArrayText(ByteSource& source, std::uint16_t width, std::uint16_t height, const OutputOptions& options,
                       std::FILE* out);
