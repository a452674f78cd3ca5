// The pieces from which the results text is built, exactly as the user sees them.
#pragma once

namespace results {
inline constexpr char kAborted[] = "Colour depth must be 24\r\nAborted";
inline constexpr char kTooLarge[] = "Width and height must be at most 65535\r\nAborted";
inline constexpr char kDepthLine[] = "-> Colour Depth 24\r\n";
inline constexpr char kSizeLineLead[] = "->";
inline constexpr char kSizeLineFormat[] = "Width %d Height %d \r\n";
inline constexpr char kOutputLead[] = "-> Output=";
inline constexpr char kCannotCreate[] = "\r\nError can't create output file";
inline constexpr char kWriteFailed[] = "\r\nError writing output file";
inline constexpr char kDone[] = "-> DONE";
}  // namespace results
