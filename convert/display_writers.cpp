// The raw colour stream and array text writers in every pixel layout, wiring and C style. Each
// combination is a template of its own, made from the layout's description, so none pays for another's;
// pixels are fetched a run of a row at a time and leave through a fixed-size buffer.
#include "convert/display_writers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>
#include <vector>

#include "array_text.h"
#include "convert/compressed_stream.h"
#include "convert/dither.h"
#include "output_buffer.h"
#include "pixel_runs.h"
#include "pixel_text.h"
#include "run_bytes.h"

namespace {

std::uint16_t Side(std::uint32_t side) { return static_cast<std::uint16_t>(side); }

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteRaw(const Picture& picture, bool withSizePrefix, std::FILE* out) {
    constexpr unsigned kBytes = Describe(kLayout).bytes;
    static_assert(kBytes * kRunPixels <= OutputBuffer::kCapacity);
    const std::uint16_t width = Side(picture.Width());
    const std::uint16_t height = Side(picture.Height());
    OutputBuffer buffer(out);
    if (withSizePrefix) {
        buffer.Put(static_cast<std::uint8_t>(height >> 8));
        buffer.Put(static_cast<std::uint8_t>(height & 0xFF));
        buffer.Put(static_cast<std::uint8_t>(width >> 8));
        buffer.Put(static_cast<std::uint8_t>(width & 0xFF));
    }
    ForEachRun(picture, width, height, [&](std::uint32_t, std::uint32_t, const std::uint8_t* rgb, std::uint32_t count) {
        const std::size_t bytes = std::size_t{kBytes} * count;
        run_bytes::EncodeRun<kLayout, kBlueFirst>(rgb, count, buffer.Reserve(bytes));
        buffer.Commit(bytes);
    });
    return buffer.Finish();
}

// The window's size prefix inside the array: the first number directly after "{ ".
void PutTextPrefix(OutputBuffer& buffer, std::uint16_t width, std::uint16_t height) {
    std::uint8_t* const start = buffer.Reserve(16 + pixel_text::kSlack);
    std::uint8_t* target = pixel_text::PutNumber(start, static_cast<std::uint8_t>(height >> 8));
    target = pixel_text::PutCommaNumber(target, static_cast<std::uint8_t>(height & 0xFF));
    target = pixel_text::PutCommaNumber(target, static_cast<std::uint8_t>(width >> 8));
    target = pixel_text::PutCommaNumber(target, static_cast<std::uint8_t>(width & 0xFF));
    buffer.Commit(static_cast<std::size_t>(target - start));
}

// Every pixel's text, Text::kPerLine pixels to a line, each line begun with Text::kLineStart and ended
// with a line break; lines count pixels of the whole picture, not of each row. Answers whether the
// last line is left open.
template <typename Text>
bool PutPixelLines(OutputBuffer& buffer, const Picture& picture, std::uint16_t width, std::uint16_t height) {
    constexpr std::size_t kLineStartLength = sizeof Text::kLineStart - 1;
    // The longest text and a line's start and end per pixel, and room for the last whole word.
    constexpr std::size_t kPerPixel = Text::kMaxText + kLineStartLength + 1;
    static_assert(kPerPixel * kRunPixels + pixel_text::kSlack <= OutputBuffer::kCapacity);
    const auto startLine = [](std::uint8_t* target) {
        if constexpr (kLineStartLength != 0) std::memcpy(target, Text::kLineStart, kLineStartLength);
        return target + kLineStartLength;
    };
    unsigned column = 0;
    ForEachRun(picture, width, height, [&](std::uint32_t, std::uint32_t, const std::uint8_t* rgb, std::uint32_t count) {
        std::uint8_t* const start = buffer.Reserve(kPerPixel * count + pixel_text::kSlack);
        std::uint8_t* target = start;
        const std::uint8_t* const end = rgb + 3u * count;
        // Finish the line an earlier run began, then go a whole line at a time.
        for (; column != 0 && rgb != end; rgb += 3) {
            target = Text::Put(target, rgb);
            if (++column == Text::kPerLine) {
                column = 0;
                *target++ = '\n';
            }
        }
        for (; end - rgb >= 3 * std::ptrdiff_t{Text::kPerLine}; rgb += 3 * Text::kPerLine) {
            target = startLine(target);
            for (unsigned i = 0; i < Text::kPerLine; ++i) target = Text::Put(target, rgb + 3 * i);
            *target++ = '\n';
        }
        if (rgb != end) target = startLine(target);
        for (; rgb != end; rgb += 3, ++column) target = Text::Put(target, rgb);
        buffer.Commit(static_cast<std::size_t>(target - start));
    });
    return column != 0;
}

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteText(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    const std::uint16_t width = Side(picture.Width());
    const std::uint16_t height = Side(picture.Height());
    OutputBuffer buffer(out);
    PutArrayHead(buffer, options, IsSixteenBit(kLayout), width, height);
    bool lineOpen = false;
    if (options.cStyle == CStyle::Stdint) {
        lineOpen = PutPixelLines<pixel_text::HexPixel<kLayout, kBlueFirst>>(buffer, picture, width, height);
    } else {
        PutTextPrefix(buffer, width, height);
        PutPixelLines<pixel_text::DecimalPixel<kLayout, kBlueFirst>>(buffer, picture, width, height);
    }
    PutArrayTail(buffer, options.cStyle, lineOpen, width == 0 || height == 0);
    return buffer.Finish();
}

template <PixelLayout kLayout, bool kBlueFirst>
bool WriteIn(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.format == OutputFormat::ArrayText) return WriteText<kLayout, kBlueFirst>(picture, options, out);
    return WriteRaw<kLayout, kBlueFirst>(picture, options.sizePrefix, out);
}

// The writer of every layout in kPixelLayouts, by its index.
using Writer = bool (*)(const Picture&, const OutputOptions&, std::FILE*);

template <std::size_t... kIndex>
constexpr std::array<Writer, 2 * kPixelLayoutCount> MakeWriters(std::index_sequence<kIndex...>) {
    return {WriteIn<kPixelLayouts[kIndex].layout, false>..., WriteIn<kPixelLayouts[kIndex].layout, true>...};
}

constexpr std::array<Writer, 2 * kPixelLayoutCount> kWriters =
    MakeWriters(std::make_index_sequence<kPixelLayoutCount>());

// Bytes already in memory, handed to the array text a piece at a time.
class HeldBytes final : public ByteSource {
public:
    explicit HeldBytes(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::size_t count = std::min(capacity, bytes_.size() - at_);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), count, buffer);
        at_ += count;
        return count;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
};

// The compressed stream as the .bmc file, or as the bytes of the array text of either C style.
bool WriteCompressed(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.format == OutputFormat::RawColourStream)
        return WriteCompressedStream(picture, options.layout, options.blueFirst, out);
    std::vector<std::uint8_t> stream;
    const auto keep = [&stream](const std::uint8_t* bytes, std::size_t count) {
        stream.insert(stream.end(), bytes, bytes + count);
        return true;
    };
    if (!EncodeCompressedStream(picture, options.layout, options.blueFirst, keep)) return false;
    HeldBytes source(stream);
    const int error = WriteByteArrayText(source, Side(picture.Width()), Side(picture.Height()), options, out);
    errno = error;
    return error == 0;
}

bool WriteUndithered(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    if (options.compression == Compression::Rle) return WriteCompressed(picture, options, out);
    const auto index = static_cast<std::size_t>(options.layout);
    if (index >= kPixelLayoutCount) {
        errno = EINVAL;
        return false;
    }
    return kWriters[index + (options.blueFirst ? kPixelLayoutCount : 0)](picture, options, out);
}

}  // namespace

int WriteDisplayData(const Picture& picture, const OutputOptions& options, std::FILE* out) {
    std::unique_ptr<DitheredPicture> dithered;
    if (options.dither) {
        // The dithered picture shows each pixel at one of the layout's levels, which the writers then
        // cut without loss.
        dithered = DitheredPicture::Make(picture, KeptBits(options.layout, options.blueFirst));
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
    return WriteText<PixelLayout::Rgb666, false>(picture, OutputOptions{}, out);
}
