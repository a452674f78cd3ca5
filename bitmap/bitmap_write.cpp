// WriteBitmapFile: saves an image as a BMP file: header field by field, then the colour table and
// the pixel block each in a single request straight from the image's buffers.
#include <cstddef>
#include <cstdio>

#include "bitmap.h"
#include "bitmap_fields.h"
#include "bitmap_status.h"

namespace {

// Header, colour table (8-bit images only) and pixel rows, in file order, without gaps.
bool WriteContents(const BitmapImage& image, std::FILE* stream) {
    if (WriteBitmapHeader(&image, stream) != BitmapOk) return false;
    if (image.palette != nullptr && std::fwrite(image.palette, 1, kPaletteBytes, stream) != kPaletteBytes) {
        return false;
    }
    const std::size_t pixelBytes = image.imageSize;
    if (pixelBytes > 0 && std::fwrite(image.pixels, 1, pixelBytes, stream) != pixelBytes) return false;
    return true;
}

}  // namespace

void WriteBitmapFile(const BitmapImage* image, const char* path) {
    if (path == nullptr) {
        SetBitmapStatus(BitmapInvalidArgument);
        return;
    }
    // Checked before the open, which would create or empty the destination for nothing.
    if (image == nullptr) {
        SetBitmapStatus(BitmapIoError);
        return;
    }
    std::FILE* stream = std::fopen(path, "wb");
    if (stream == nullptr) {
        SetBitmapStatus(BitmapFileNotFound);
        return;
    }
    const bool written = WriteContents(*image, stream);
    // The close flushes the stream's buffer; a small file can fail only there (a full disk), and
    // that must not pass for a saved file.
    const bool closed = std::fclose(stream) == 0;
    SetBitmapStatus(written && closed ? BitmapOk : BitmapIoError);
}
