// Building and saving the preview with the bitmap module's own creation and writing.
#include "preview.h"

#include <cerrno>

#include "output_file.h"

BitmapImagePtr MakePreview(const Picture& picture) {
    const std::uint32_t width = picture.Width();
    const std::uint32_t height = picture.Height();
    BitmapImagePtr preview(CreateBitmap(width, height, 24));
    if (!preview) return nullptr;
    constexpr std::uint32_t kRun = 1024;
    std::uint8_t rgb[3 * kRun];
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; x += kRun) {
            const std::uint32_t count = width - x < kRun ? width - x : kRun;
            picture.ReadRun(x, y, count, rgb);
            for (std::uint32_t i = 0; i < count; ++i)
                SetPixelRgb(preview.get(), x + i, y, PreviewChannel(rgb[3 * i]), PreviewChannel(rgb[3 * i + 1]),
                            PreviewChannel(rgb[3 * i + 2]));
        }
    }
    return preview;
}

PreviewResult WritePreview(const Picture& picture, const std::string& path) {
    PreviewResult result;
    const BitmapImagePtr preview = MakePreview(picture);
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
