// --size WxH: both sides checked whole, so "10", "x" or a side out of range never passes for a size.
#include "geometry_options.h"

#include "whole_number.h"

#include <cstdint>
#include <string_view>

namespace {

constexpr std::uint32_t kLargestSide = 65535;

// A side of 1 to 65535 in decimal, 0 for a side left out, or nothing when the text is neither.
std::optional<std::uint32_t> ParseSide(std::string_view text) {
    if (text.empty()) return 0;
    const auto side = ParseWholeNumber(text, kLargestSide);
    if (!side || *side < 1) return std::nullopt;
    return static_cast<std::uint32_t>(*side);
}

}  // namespace

std::optional<std::string> ApplySize(const std::string& value, DisplayGeometry& geometry) {
    const auto cross = value.find('x');
    const std::string_view text = value;
    const auto width = cross == std::string::npos ? std::nullopt : ParseSide(text.substr(0, cross));
    const auto height = cross == std::string::npos ? std::nullopt : ParseSide(text.substr(cross + 1));
    if (!width || !height || (*width == 0 && *height == 0))
        return "option '--size' needs WxH, each side from 1 to 65535 and at most one left out (320x240, 320x, "
               "x240), not '" +
               value + "'";
    geometry.width = *width;
    geometry.height = *height;
    return std::nullopt;
}
