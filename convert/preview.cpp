// Building and saving the preview with the bitmap module's own creation and writing.
#include "convert/preview.h"

#include <array>
#include <cerrno>

#include "convert/dither.h"
#include "convert/output_file.h"

namespace {

template <unsigned kBits>
constexpr std::array<std::uint8_t, 256> MakeShownChannels() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value)
        table[value] = ShownChannel(static_cast<std::uint8_t>(value), kBits);
    return table;
}

constexpr std::array<std::uint8_t, 256> kShown6 = MakeShownChannels<6>();
constexpr std::array<std::uint8_t, 256> kShown5 = MakeShownChannels<5>();

const std::uint8_t* ShownChannels(unsigned bits) { return bits == 5 ? kShown5.data() : kShown6.data(); }

}  // namespace

BitmapImagePtr MakePreview(const Picture& picture, PixelLayout layout, Turn shown) {
    // Red and blue keep as many bits as each other, so the wiring's order changes nothing shown.
    const std::uint8_t* const outer = ShownChannels(OuterChannelBits(layout));
    const std::uint8_t* const green = ShownChannels(GreenChannelBits(layout));
    const std::uint32_t width = picture.Width();
    const std::uint32_t height = picture.Height();
    const std::uint32_t shownWidth = shown.swapsSides ? height : width;
    const std::uint32_t shownHeight = shown.swapsSides ? width : height;
    BitmapImagePtr preview(CreateBitmap(shownWidth, shownHeight, 24));
    if (!preview) return nullptr;
    // The picture is read in its own order, as dithering needs; each pixel goes where the turn shows it.
    const Turn placing = shown.Inverse();
    constexpr std::uint32_t kRun = 1024;
    std::uint8_t rgb[3 * kRun];
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; x += kRun) {
            const std::uint32_t count = width - x < kRun ? width - x : kRun;
            picture.ReadRun(x, y, count, rgb);
            for (std::uint32_t i = 0; i < count; ++i) {
                std::uint32_t shownX, shownY;
                placing.SourceOf(x + i, y, shownWidth, shownHeight, shownX, shownY);
                SetPixelRgb(preview.get(), shownX, shownY, outer[rgb[3 * i]], green[rgb[3 * i + 1]],
                            outer[rgb[3 * i + 2]]);
            }
        }
    }
    return preview;
}

PreviewResult WritePreview(const Picture& picture, const std::string& path, const OutputOptions& options,
                           Turn shown) {
    PreviewResult result;
    std::unique_ptr<DitheredPicture> dithered;
    if (options.dither) {
        dithered = DitheredPicture::Make(picture, options.layout);
        if (!dithered) {
            result.status = BitmapOutOfMemory;
            return result;
        }
    }
    const BitmapImagePtr preview = MakePreview(dithered ? *dithered : picture, options.layout, shown);
    if (!preview) {
        result.status = LastBitmapStatus();
        return result;
    }
    result.made = true;
    errno = 0;
    WriteBitmapFile(preview.get(), path.c_str());
    result.status = LastBitmapStatus();
    if (result.status == BitmapOk) return result;
    result.systemError = errno;
    // Only a file that was opened can hold a partial picture; after a failed open nothing of ours is there.
    if (result.status == BitmapIoError) RemovePartialOutput(path);
    return result;
}
