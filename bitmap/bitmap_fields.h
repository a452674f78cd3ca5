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
