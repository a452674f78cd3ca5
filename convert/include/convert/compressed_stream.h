// The compressed stream: a header naming the format, its version, the layout, the wiring and the sides,
// then runs, literals and copies from the row above of whole pixels (README, "Compressed stream").
// firmware/include/vandrel/decode.h decodes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "picture.h"
#include "pixel_layout.h"

// Takes the stream's bytes a piece at a time; answers false when it could not keep them.
using StreamSink = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

// Encodes the picture (sides of at most 65535) in `layout`. The operations are chosen for the fewest
// bytes, so the stream is never larger than plain run-length coding of the same pixels (runs and
// literals of up to 128 pixels with a one-byte count) plus the header, nor than the raw pixels plus
// the header plus one byte per 128 pixels. Answers false when the sink refused bytes, or with errno
// ENOMEM when the encoder's two bytes per pixel of choices could not be allocated.
bool EncodeCompressedStream(const Picture& picture, PixelLayout layout, bool blueFirst, const StreamSink& sink);

// The same into a C stream.
bool WriteCompressedStream(const Picture& picture, PixelLayout layout, bool blueFirst, std::FILE* out);
