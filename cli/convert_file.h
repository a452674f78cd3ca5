// Converting one picture from the command line: load, check, write the output and the preview.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "options.h"

// Where the output of `inputPath` goes by default: into the picture's own folder, named by the same
// rule as the window's output ("pics/logo.bmp" gives "pics/logo.bmc" or "pics/logo.h").
std::string DefaultOutputPath(const std::string& inputPath, OutputFormat format);

// Converts the picture at `inputPath` as `request` says, with the window's own writers, so the bytes
// are the window's. `standardOutput` receives the output when the request names "-".
// Answers nothing on success, or the message for the user: the input path, ": " and the cause.
// A failed conversion leaves no output or preview file of its own behind.
std::optional<std::string> ConvertFile(const std::string& inputPath, const ConversionRequest& request,
                                       std::FILE* standardOutput);
