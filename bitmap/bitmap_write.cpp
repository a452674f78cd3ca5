// WriteBitmapFile: saves an image as a BMP file: header field by field, then the colour table and
// the pixel block each in a single request straight from the image's buffers, where dataOffset says.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"
#include "bitmap_status.h"

namespace {

bool WriteZeros(std::FILE* stream, std::uint32_t count) {
    static constexpr std::uint8_t zeros[4096] = {};
    while (count > 0) {
        const std::size_t chunk = count < sizeof zeros ? count : sizeof zeros;
        if (std::fwrite(zeros, 1, chunk, stream) != chunk) return false;
        count -= static_cast<std::uint32_t>(chunk);
    }
    return true;
}

// Header, colour table (when the image has one) and pixel rows, in file order, laid out as the
// header's dataOffset says so that the reader finds the pixels where they were written: the table
// shortened or a gap of zeros before the pixels where dataOffset asks for it.
bool WriteContents(const BitmapImage& image, std::FILE* stream) {
    if (WriteBitmapHeader(&image, stream) != BitmapOk) return false;
    const BitmapLayout layout = LayoutOf(image.dataOffset, image.palette != nullptr);
    const std::size_t tableBytes = layout.tableBytes;
    if (tableBytes > 0 && std::fwrite(image.palette, 1, tableBytes, stream) != tableBytes) return false;
    if (!WriteZeros(stream, layout.gapBytes)) return false;
    const std::size_t pixelBytes = image.imageSize;
    if (pixelBytes > 0 && std::fwrite(image.pixels, 1, pixelBytes, stream) != pixelBytes) return false;
    return true;
}

// Opens as "wb" does, except that a named pipe nobody reads fails at once (ENXIO) instead of waiting
// for a reader for ever; once open, writes wait for a slow reader as they always did.
std::FILE* OpenForWriting(const char* path) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    const int flags = fcntl(fd, F_GETFL);
    std::FILE* stream = nullptr;
    if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) stream = fdopen(fd, "wb");
    if (stream == nullptr) close(fd);
    return stream;
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
    std::FILE* stream = OpenForWriting(path);
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
