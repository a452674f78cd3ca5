// The project's own readers, for the kinds Qt's decoders get wrong or read unbounded: every PNG, and
// the uncompressed and bit-field BMPs the bitmap module refuses. Qt's decoders keep the rest.
#pragma once

#include <optional>
#include <string>

#include "qt_decode.h"

// The picture, or the refusal, when the file at `path` is of a kind these readers take; nothing
// otherwise (and for anything but a regular file). Never throws.
std::optional<LoadedPicture> ReadPngOrBmp(const std::string& path, BitmapStatus moduleStatus,
                                          const DecodeSettings& settings);
