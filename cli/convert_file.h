// Converting one picture from the command line: the shared conversion path, placed and worded for
// the command line.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/options.h"

// Converts the picture at `inputPath` as `settings` say, through the same path and writers as the
// window, so the bytes are the window's. The output goes beside the picture unless the settings name
// a path; "-" is `standardOutput`. Answers nothing on success, or the message for the user: the input
// path, ": " and the cause. A failed conversion leaves no output or preview file of its own behind.
std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionSettings& settings,
                                       std::FILE* standardOutput);
