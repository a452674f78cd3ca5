// Field-level BMP stream helpers shared by the reader and the writer. They answer their result and
// never touch the module's last status.
#pragma once

#include <cstdint>
#include <cstdio>

#include "bitmap/bitmap.h"

inline constexpr std::uint16_t kBitmapMagic = 0x4D42;
inline constexpr std::uint32_t kBitmapHeaderBytes = 54;
inline constexpr std::uint32_t kInfoHeaderBytes = 40;
inline constexpr std::uint32_t kPaletteBytes = 1024;

// Where a file's colour table ends and its pixels start, as its dataOffset says; one rule for the
// reader and the writer, so that every file written reads back as the image it came from.
struct BitmapLayout {
    std::uint32_t tableBytes;  // colour-table bytes in the file, whole entries only
    std::uint32_t gapBytes;    // bytes between the table (or the header) and the pixels
};

// `withTable`: whether the file carries a colour table at all. A dataOffset past the usual start of
// the pixels leaves a gap before them; one between the header and the end of a full table leaves room
// for a shorter table. A dataOffset inside the header cannot be right, and is ignored: the pixels then
// follow the header and full table as they always did.
inline BitmapLayout LayoutOf(std::uint32_t dataOffset, bool withTable) {
    const std::uint32_t fullTable = withTable ? kPaletteBytes : 0u;
    const std::uint32_t usualStart = kBitmapHeaderBytes + fullTable;
    if (dataOffset <= kBitmapHeaderBytes) return {fullTable, 0};
    if (dataOffset >= usualStart) return {fullTable, dataOffset - usualStart};
    const std::uint32_t room = dataOffset - kBitmapHeaderBytes;
    return {room / 4u * 4u, room % 4u};
}

// Reads one little-endian field; false (destination untouched) when either argument is absent or
// the whole field did not arrive.
bool ReadLe32(std::uint32_t* destination, std::FILE* stream);
bool ReadLe16(std::uint16_t* destination, std::FILE* stream);

// Fills the sixteen header fields in file order: BitmapOk, BitmapIoError at the first field not read
// in full (earlier fields keep their values), or BitmapInvalidArgument when image or stream is
// absent. Validates nothing.
BitmapStatus ReadBitmapHeader(BitmapImage* image, std::FILE* stream);

// Writes one little-endian field as a single item; false when the stream is absent or the item was
// not written in full.
bool WriteLe32(std::uint32_t value, std::FILE* stream);
bool WriteLe16(std::uint16_t value, std::FILE* stream);

// Writes the sixteen header fields as the record holds them: BitmapOk, BitmapIoError at the first
// failed field, or BitmapInvalidArgument when image or stream is absent.
BitmapStatus WriteBitmapHeader(const BitmapImage* image, std::FILE* stream);
