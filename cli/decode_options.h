// The command-line options for pictures decoded by Qt: the background under transparency and the
// memory limit of a decode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "readers/qt_decode.h"

// Whether `name` (without any "=value") is one of these options; each takes a value.
bool IsDecodeOption(std::string_view name);

// Applies option `name` with `value` to `settings`; answers why the value cannot be used, if it cannot.
std::optional<std::string> ApplyDecodeOption(std::string_view name, const std::string& value,
                                             DecodeSettings& settings);
