// --decode: one output of this program read back into a 24-bit BMP of what the display shows.
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"

// Reads the output at `inputPath` (raw colour stream, C text or compressed stream) in the layout and
// wiring of `settings` and writes the picture the display shows to `picturePath`. Answers nothing on
// success, or the message for the user: the input path, ": " and the cause. A failure leaves no file.
std::optional<std::string> ReadBackFile(const std::string& inputPath, const std::string& picturePath,
                                        const ConversionSettings& settings);
