// The command line's --size WxH: the picture's sides on the display, either one left to follow the
// picture's aspect ratio.
#pragma once

#include <optional>
#include <string>

#include "convert/display_geometry.h"

// Applies `value` to the geometry's width and height, or answers why it cannot be used.
std::optional<std::string> ApplySize(const std::string& value, DisplayGeometry& geometry);
