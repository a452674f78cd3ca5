// BMPs this project reads itself: bit fields of any width (scaled, not shifted), 16-bit 5-5-5, and
// palettes at every header size, with the pixel data offset and the palette's real length honoured.
#pragma once

#include <cstdio>
#include <optional>

#include "rgb_picture.h"

// Reads the BMP in `file` (`length` bytes); nothing when it is not a kind this reader takes.
std::optional<LoadedPicture> ReadBmp(std::FILE* file, std::uint64_t length, BitmapStatus moduleStatus,
                                     const DecodeSettings& settings);
