// Converting one picture from the command line: the shared conversion path, placed and worded for
// the command line.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/options.h"
#include "written_outputs.h"

// Converts the picture at `inputPath` as `settings` say, through the same path and writers as the
// window, so the bytes are the window's. The output goes beside the picture unless the settings name
// a path; "-" is `standardOutput`. An output or preview that would replace a file in `written` is
// refused before the picture is read; what a converted picture wrote is added to `written`.
// Answers nothing on success, or the message for the user: the input path, ": " and the cause. A
// failed conversion leaves no output or preview file of its own behind.
std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionSettings& settings,
                                       std::FILE* standardOutput, WrittenOutputs& written);
