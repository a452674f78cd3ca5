// Building and saving the preview with the bitmap module's own creation and writing.
#include "convert/preview.h"

#include <array>
#include <cerrno>

#include "convert/dither.h"
#include "convert/output_file.h"
#include "pixel_runs.h"

namespace {

// What each 8-bit value shows as at every bit count a channel may keep (1 to 8).
using ShownTable = std::array<std::uint8_t, 256>;

constexpr std::array<ShownTable, 9> kShownTables = [] {
    std::array<ShownTable, 9> tables{};
    for (unsigned bits = 1; bits <= 8; ++bits)
        for (unsigned value = 0; value < 256; ++value)
            tables[bits][value] = ShownChannel(static_cast<std::uint8_t>(value), bits);
    return tables;
}();

}  // namespace

BitmapImagePtr MakePreview(const Picture& picture, PixelLayout layout, bool blueFirst, Turn shown) {
    const ChannelBits bits = KeptBits(layout, blueFirst);
    const ShownTable& red = kShownTables[bits.red];
    const ShownTable& green = kShownTables[bits.green];
    const ShownTable& blue = kShownTables[bits.blue];
    const std::uint32_t shownWidth = shown.swapsSides ? picture.Height() : picture.Width();
    const std::uint32_t shownHeight = shown.swapsSides ? picture.Width() : picture.Height();
    BitmapImagePtr preview(CreateBitmap(shownWidth, shownHeight, 24));
    if (!preview) return nullptr;
    // The picture is read in its own order, as dithering needs; each pixel goes where the turn shows it.
    const Turn placing = shown.Inverse();
    ForEachRun(picture, [&](std::uint32_t x, std::uint32_t y, const std::uint8_t* rgb, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t shownX, shownY;
            placing.SourceOf(x + i, y, shownWidth, shownHeight, shownX, shownY);
            SetPixelRgb(preview.get(), shownX, shownY, red[rgb[3 * i]], green[rgb[3 * i + 1]], blue[rgb[3 * i + 2]]);
        }
    });
    return preview;
}

PreviewResult WritePreview(const Picture& picture, const std::string& path, const OutputOptions& options, Turn shown) {
    PreviewResult result;
    std::unique_ptr<DitheredPicture> dithered;
    if (options.dither) {
        dithered = DitheredPicture::Make(picture, KeptBits(options.layout, options.blueFirst));
        if (!dithered) {
            result.status = BitmapOutOfMemory;
            return result;
        }
    }
    const BitmapImagePtr preview =
        MakePreview(dithered ? *dithered : picture, options.layout, options.blueFirst, shown);
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
