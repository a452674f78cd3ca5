// The C text around an array's elements in each style: everything before the first element and after
// the last, shared by the picture's array and by arrays of bytes made elsewhere.
#pragma once

#include <cstdint>

#include "convert/display_writers.h"
#include "output_buffer.h"

void AppendText(OutputBuffer& buffer, const char* text);

// Window: "\nconst unsigned char NAME[]={ ", the first element to follow without a comma.
// Stdint: the include guard, <stdint.h>, the size macros and "static const TYPE NAME[] ATTRIBUTE = {",
// TYPE uint16_t for word elements, else uint8_t, then a line break.
void PutArrayHead(OutputBuffer& buffer, const OutputOptions& options, bool wordElements, std::uint16_t width,
                  std::uint16_t height);

// Window: " };\n". Stdint: a line break when the last line of elements is not full, then "};" and the
// guard's end. C has no empty arrays: a stdint array without elements gets a single 0 (its size macros
// say that it holds no pixel).
void PutArrayTail(OutputBuffer& buffer, CStyle style, bool lineOpen, bool empty);
