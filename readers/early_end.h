// Whether a picture file stops before the data its own structure promises. Some of Qt's decoders
// (BMP, JPEG, GIF, XBM) fill what is missing with black or grey and report success, so a cut-off file is
// caught here, from the file's own bytes, before it is decoded.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

// Reads `file` from its start. Answers why the file ends early, in words for the user (e.g. "its
// pixel data needs 1078 bytes, the file has 900"), or nothing when it is whole or of a kind this does
// not judge (the decoder's own answer then stands). Leaves the read position anywhere.
std::optional<std::string> FileEndsEarly(std::FILE* file);

// How a BMP file stores its pixels, as far as run-length compression goes.
enum class RunLength { None, BottomUp, TopDown };

// Reads `file` from its start; None for anything but a BMP with run-length compression.
RunLength BitmapRunLength(std::FILE* file);
