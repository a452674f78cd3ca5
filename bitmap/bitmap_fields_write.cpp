// Writing the BMP header one little-endian field at a time, bytes assembled by arithmetic so the
// host's own byte order never shows in the file.
#include <cstdint>
#include <cstdio>

#include "bitmap/bitmap.h"
#include "bitmap_fields.h"

bool WriteLe32(std::uint32_t value, std::FILE* stream) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value & 0xFFu),
        static_cast<std::uint8_t>((value >> 8) & 0xFFu),
        static_cast<std::uint8_t>((value >> 16) & 0xFFu),
        static_cast<std::uint8_t>((value >> 24) & 0xFFu),
    };
    if (stream == nullptr) return false;
    return std::fwrite(bytes, sizeof bytes, 1, stream) == 1;
}

bool WriteLe16(std::uint16_t value, std::FILE* stream) {
    const std::uint8_t bytes[2] = {
        static_cast<std::uint8_t>(value & 0xFFu),
        static_cast<std::uint8_t>((value >> 8) & 0xFFu),
    };
    if (stream == nullptr) return false;
    return std::fwrite(bytes, sizeof bytes, 1, stream) == 1;
}

BitmapStatus WriteBitmapHeader(const BitmapImage* image, std::FILE* stream) {
    if (image == nullptr || stream == nullptr) return BitmapInvalidArgument;
    // File order; the values go out exactly as the record holds them, nothing is recomputed.
    // The signed trailing fields are written as their 32-bit two's-complement patterns.
    const bool written = WriteLe16(image->magic, stream) && WriteLe32(image->fileSize, stream) &&
                         WriteLe16(image->reserved1, stream) && WriteLe16(image->reserved2, stream) &&
                         WriteLe32(image->dataOffset, stream) && WriteLe32(image->headerSize, stream) &&
                         WriteLe32(image->width, stream) && WriteLe32(image->height, stream) &&
                         WriteLe16(image->planes, stream) && WriteLe16(image->bitsPerPixel, stream) &&
                         WriteLe32(image->compression, stream) && WriteLe32(image->imageSize, stream) &&
                         WriteLe32(static_cast<std::uint32_t>(image->xResolution), stream) &&
                         WriteLe32(static_cast<std::uint32_t>(image->yResolution), stream) &&
                         WriteLe32(static_cast<std::uint32_t>(image->coloursUsed), stream) &&
                         WriteLe32(static_cast<std::uint32_t>(image->coloursImportant), stream);
    return written ? BitmapOk : BitmapIoError;
}
