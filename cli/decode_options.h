// The command-line options for pictures decoded by Qt: the background under transparency and the
// memory limit of a decode.
#pragma once

#include <optional>
#include <string>

#include "readers/qt_decode.h"

// --background RRGGBB and --max-memory MIB: each applies `value` to `settings`, or answers why the
// value cannot be used.
std::optional<std::string> ApplyBackground(const std::string& value, DecodeSettings& settings);
std::optional<std::string> ApplyMemoryLimit(const std::string& value, DecodeSettings& settings);
