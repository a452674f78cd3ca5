// The pieces from which the results text is built, exactly as the user sees them.
#pragma once

#include <string>

#include "convert/picture.h"

namespace results {
inline constexpr char kAborted[] = "Colour depth must be 24\r\nAborted";
// Worded from the conversion's own limit, so that the text cannot fall behind the rule.
inline std::string TooLargeText() {
    return "Width and height must be at most " + std::to_string(kLargestSide) + "\r\nAborted";
}
inline constexpr char kDepthLine[] = "-> Colour Depth 24\r\n";
inline constexpr char kSizeLineLead[] = "->";
inline constexpr char kSizeLineFormat[] = "Width %d Height %d \r\n";
inline constexpr char kOutputLead[] = "-> Output=";
inline constexpr char kCannotCreate[] = "\r\nError can't create output file";
inline constexpr char kWriteFailed[] = "\r\nError writing output file";
inline constexpr char kDone[] = "-> DONE";
}  // namespace results
