// Reading the BMP header one little-endian field at a time, independent of the host's byte order.
#include "bitmap_fields.h"

bool ReadLe32(std::uint32_t* destination, std::FILE* stream) {
    if (!destination || !stream) return false;
    std::uint8_t b[4];
    if (std::fread(b, 4, 1, stream) != 1) return false;
    *destination =
        std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
    return true;
}

bool ReadLe16(std::uint16_t* destination, std::FILE* stream) {
    if (!destination || !stream) return false;
    std::uint8_t b[2];
    if (std::fread(b, 2, 1, stream) != 1) return false;
    *destination = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
}

namespace {
// The signed header fields are stored with the same bits as their unsigned file value.
bool ReadLe32(std::int32_t* destination, std::FILE* stream) {
    std::uint32_t value;
    if (!ReadLe32(&value, stream)) return false;
    *destination = static_cast<std::int32_t>(value);
    return true;
}
}  // namespace

BitmapStatus ReadBitmapHeader(BitmapImage* image, std::FILE* stream) {
    if (!image || !stream) return BitmapInvalidArgument;
    BitmapImage& h = *image;
    const bool complete =
        ReadLe16(&h.magic, stream) && ReadLe32(&h.fileSize, stream) && ReadLe16(&h.reserved1, stream) &&
        ReadLe16(&h.reserved2, stream) && ReadLe32(&h.dataOffset, stream) && ReadLe32(&h.headerSize, stream) &&
        ReadLe32(&h.width, stream) && ReadLe32(&h.height, stream) && ReadLe16(&h.planes, stream) &&
        ReadLe16(&h.bitsPerPixel, stream) && ReadLe32(&h.compression, stream) && ReadLe32(&h.imageSize, stream) &&
        ReadLe32(&h.xResolution, stream) && ReadLe32(&h.yResolution, stream) && ReadLe32(&h.coloursUsed, stream) &&
        ReadLe32(&h.coloursImportant, stream);
    return complete ? BitmapOk : BitmapIoError;
}
