// What both front ends check before converting a picture and before opening its output.
#pragma once

#include <cstdint>
#include <string>

// Only 24-bit pictures are converted.
inline constexpr std::uint16_t kConvertibleDepth = 24;
// The size prefix carries each side in 16 bits; a larger picture cannot be described truthfully.
inline constexpr std::uint32_t kLargestSide = 0xFFFF;

// True when both names reach the same existing file (links followed). Opening an output that is the
// picture itself for writing would empty the picture.
bool IsSameFile(const std::string& first, const std::string& second);
