// WriteBitmapFile: saves an image as a BMP file: header field by field, then the colour table and
// the pixel block each in a single request straight from the image's buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"
#include "bitmap_status.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Header, the whole colour table (when the image has one) and the pixel rows, back to back. The file's
// dataOffset says where the rows really are, whatever the record holds: a record's value may point
// anywhere, and a file that says otherwise would be read from the wrong place.
bool WriteContents(const BitmapImage& image, std::FILE* stream) {
    const std::size_t tableBytes = image.palette != nullptr ? kPaletteBytes : 0u;
    BitmapImage header = image;  // its fields only; the buffers below are the image's own
    header.dataOffset = static_cast<std::uint32_t>(kBitmapHeaderBytes + tableBytes);
    if (WriteBitmapHeader(&header, stream) != BitmapOk) return false;
    if (tableBytes > 0 && std::fwrite(image.palette, 1, tableBytes, stream) != tableBytes) return false;
    const std::size_t pixelBytes = image.imageSize;
    if (pixelBytes > 0 && std::fwrite(image.pixels, 1, pixelBytes, stream) != pixelBytes) return false;
    return true;
}

// Opens as "wb" does, except that a named pipe nobody reads fails at once (ENXIO) instead of waiting
// for a reader for ever; once open, writes wait for a slow reader as they always did.
std::FILE* OpenForWriting(const char* path) {
#ifdef _WIN32
    return std::fopen(path, "wb");
#else
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    const int flags = fcntl(fd, F_GETFL);
    std::FILE* stream = nullptr;
    if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) stream = fdopen(fd, "wb");
    if (stream == nullptr) close(fd);
    return stream;
#endif
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
