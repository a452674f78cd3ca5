// Building and saving the preview with the bitmap module's own creation and writing.
#include "preview.h"

#include <cerrno>

#include "bitmap_failure.h"
#include "output_file.h"

BitmapImage* MakePreview(const BitmapImage* picture) {
    const std::uint32_t width = BitmapWidth(picture);
    const std::uint32_t height = BitmapHeight(picture);
    // Without a picture the size queries have already left the module's "invalid argument" status.
    if (!picture) return nullptr;
    BitmapImage* preview = CreateBitmap(width, height, 24);
    if (!preview) return nullptr;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t red = 0, green = 0, blue = 0;
            GetPixelRgb(picture, x, y, &red, &green, &blue);
            SetPixelRgb(preview, x, y, PreviewChannel(red), PreviewChannel(green), PreviewChannel(blue));
        }
    }
    return preview;
}

std::optional<std::string> WritePreview(const BitmapImage* picture, const std::string& path) {
    BitmapImage* preview = MakePreview(picture);
    if (!preview) return "cannot make the preview: " + BitmapFailureText();

    errno = 0;
    WriteBitmapFile(preview, path.c_str());
    const int osError = errno;
    const BitmapStatus status = LastBitmapStatus();
    // Taken before FreeBitmap, which leaves a status of its own.
    const std::string statusText = status == BitmapOk ? "" : BitmapFailureText();
    FreeBitmap(preview);
    if (status == BitmapOk) return std::nullopt;

    // Only a file that was opened can hold a partial picture; after a failed open there is nothing
    // of ours at the path.
    if (status == BitmapIoError) RemovePartialFile(path);
    std::string cause = "cannot write the preview " + path + ": " + statusText;
    if (osError != 0) cause += " (" + OsErrorText(osError) + ")";
    return cause;
}
