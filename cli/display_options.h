// The command line's options for the display itself: the pixel layout, blue-first wiring, the array's
// name and dithering.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "convert/display_writers.h"

// --bgr and --dither: applies `argument` when it is one of them, and answers whether it was.
bool ApplyDisplayFlag(std::string_view argument, OutputOptions& output);

// Whether `name` (without any "=value") is --layout or --name; each takes a value.
bool IsDisplayValueOption(std::string_view name);

// Applies option `name` with `value` to `output`; answers why the value cannot be used, if it cannot.
std::optional<std::string> ApplyDisplayOption(std::string_view name, const std::string& value,
                                              OutputOptions& output);

// Why `name` cannot name the array of C array text, or nothing when it is a C identifier.
std::string ArrayNameProblem(const std::string& name);
