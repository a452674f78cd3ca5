// Reading outputs back: which kind of output the bytes are, their sides and pixel bytes, and the image
// the display shows. Compressed streams go through the firmware decoder itself.
#include "convert/read_back.h"

#include <string_view>

#include "array_text_reader.h"
#include "convert/pixel_bytes.h"
#include "vandrel/decode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

ReadBackResult Failed(std::string why) { return {nullptr, std::move(why)}; }

// Appends a row of layout bytes to the image as the display shows it.
void ShowRow(BitmapImage* image, std::uint32_t y, PixelLayout layout, bool blueFirst, const std::uint8_t* bytes) {
    const std::uint32_t width = BitmapWidth(image);
    std::vector<std::uint8_t> rgb(3 * std::size_t{width});
    ShownPixels(layout, blueFirst, bytes, width, rgb.data());
    for (std::uint32_t x = 0; x < width; ++x) SetPixelRgb(image, x, y, rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
}

ReadBackResult NewImage(std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0) return Failed("describes a picture without pixels");
    BitmapImagePtr image(CreateBitmap(width, height, 24));
    if (!image) return Failed("needs more memory than there is for its picture");
    return {std::move(image), {}};
}

ReadBackResult ShowPixels(std::uint32_t width, std::uint32_t height, PixelLayout layout, bool blueFirst,
                          const std::uint8_t* pixels) {
    ReadBackResult result = NewImage(width, height);
    const std::size_t rowBytes = std::size_t{BytesPerPixel(layout)} * width;
    for (std::uint32_t y = 0; result.shown && y < height; ++y)
        ShowRow(result.shown.get(), y, layout, blueFirst, pixels + y * rowBytes);
    return result;
}

PixelLayout LayoutOfStream(std::uint8_t id) {
    switch (id) {
    case VANDREL_LAYOUT_RGB666_HIGH: return PixelLayout::Rgb666High;
    case VANDREL_LAYOUT_RGB565: return PixelLayout::Rgb565;
    case VANDREL_LAYOUT_RGB565_LE: return PixelLayout::Rgb565Le;
    }
    return PixelLayout::Rgb666;
}

bool IsCompressed(const std::uint8_t* bytes, std::size_t size) {
    return size >= 4 && std::string_view(reinterpret_cast<const char*>(bytes), 4) == VANDREL_STREAM_MAGIC;
}

ReadBackResult ShowCompressed(const std::uint8_t* bytes, std::size_t size) {
    vandrel_decoder decoder;
    int code = vandrel_decode_open(&decoder, bytes, size);
    if (code != 0) return Failed(std::string("is not a stream this program reads: ") + vandrel_decode_error(code));
    const PixelLayout layout = LayoutOfStream(decoder.layout);
    ReadBackResult result = NewImage(decoder.width, decoder.height);
    std::vector<std::uint8_t> row(std::size_t{decoder.bytes_per_pixel} * decoder.width);
    for (std::uint32_t y = 0; result.shown && y < decoder.height; ++y) {
        if ((code = vandrel_decode_row(&decoder, row.data())) != 0)
            return Failed("has a compressed stream that cannot be read: " + std::string(vandrel_decode_error(code)));
        ShowRow(result.shown.get(), y, layout, decoder.blue_first != 0, row.data());
    }
    return result;
}

std::string Sized(std::size_t count, std::uint32_t width, std::uint32_t height, PixelLayout layout) {
    return "holds " + std::to_string(count) + " pixel bytes, but " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels at " + std::to_string(BytesPerPixel(layout)) + " bytes a pixel take " +
           std::to_string(std::size_t{BytesPerPixel(layout)} * width * height) +
           "; give the --layout it was written with";
}

// Pixel bytes after a height-then-width prefix, as raw streams and the window's array carry them.
ReadBackResult ShowPrefixed(const std::uint8_t* bytes, std::size_t size, PixelLayout layout, bool blueFirst) {
    if (size < 4) return Failed("is too short for the size prefix of a raw colour stream");
    const std::uint32_t height = bytes[0] << 8 | bytes[1];
    const std::uint32_t width = bytes[2] << 8 | bytes[3];
    if (size - 4 != std::size_t{BytesPerPixel(layout)} * width * height)
        return Failed(Sized(size - 4, width, height, layout));
    return ShowPixels(width, height, layout, blueFirst, bytes + 4);
}

ReadBackResult ShowArray(const ArrayText& array, PixelLayout layout, bool blueFirst) {
    Bytes bytes;
    if (!array.words) {
        bytes.assign(array.values.begin(), array.values.end());
        if (IsCompressed(bytes.data(), bytes.size())) return ShowCompressed(bytes.data(), bytes.size());
        if (!array.width || !array.height) return ShowPrefixed(bytes.data(), bytes.size(), layout, blueFirst);
    } else {
        if (!IsSixteenBit(layout)) return Failed("holds 16-bit words: give --layout rgb565 or rgb565-le");
        for (std::uint16_t word : array.values) {
            const bool lowFirst = layout == PixelLayout::Rgb565Le;
            bytes.push_back(static_cast<std::uint8_t>(lowFirst ? word : word >> 8));
            bytes.push_back(static_cast<std::uint8_t>(lowFirst ? word >> 8 : word));
        }
    }
    if (!array.width || !array.height || *array.width > 0xFFFF || *array.height > 0xFFFF)
        return Failed("has no usable _WIDTH and _HEIGHT macros");
    if (bytes.size() != std::size_t{BytesPerPixel(layout)} * *array.width * *array.height)
        return Failed(Sized(bytes.size(), *array.width, *array.height, layout));
    return ShowPixels(*array.width, *array.height, layout, blueFirst, bytes.data());
}

// C text is printable and declares an array; anything else is taken for a raw stream.
bool LooksLikeText(const Bytes& bytes) {
    for (std::uint8_t b : bytes)
        if (b != '\n' && b != '\r' && b != '\t' && (b < 0x20 || b > 0x7E)) return false;
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()).find("[]") !=
           std::string_view::npos;
}

}  // namespace

ReadBackResult ReadOutputBack(const Bytes& bytes, PixelLayout layout, bool blueFirst) {
    if (IsCompressed(bytes.data(), bytes.size())) return ShowCompressed(bytes.data(), bytes.size());
    if (!LooksLikeText(bytes)) return ShowPrefixed(bytes.data(), bytes.size(), layout, blueFirst);
    std::string failure;
    const std::optional<ArrayText> array =
        ReadArrayText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), failure);
    if (!array) return Failed(failure);
    return ShowArray(*array, layout, blueFirst);
}
