// --background RRGGBB and --max-memory MIB: values checked whole, so a typo never passes for a colour
// or a limit.
#include "decode_options.h"

#include "whole_number.h"

#include <cstdint>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<RgbColour> ParseColour(const std::string& value) {
    if (value.size() != 6) return std::nullopt;
    std::uint8_t channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(value[2 * i]), low = HexDigit(value[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        channels[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return RgbColour{channels[0], channels[1], channels[2]};
}

std::optional<std::uint64_t> ParseMiB(const std::string& value) {
    const auto number = ParseWholeNumber(value, kLargestMemoryLimitMiB);
    if (!number || *number < 1) return std::nullopt;
    return number;
}

}  // namespace

std::optional<std::string> ApplyBackground(const std::string& value, DecodeSettings& settings) {
    const auto colour = ParseColour(value);
    if (!colour)
        return "option '--background' needs six hex digits RRGGBB, such as ffffff for white, not '" + value + "'";
    settings.background = *colour;
    return std::nullopt;
}

std::optional<std::string> ApplyMemoryLimit(const std::string& value, DecodeSettings& settings) {
    const auto mib = ParseMiB(value);
    if (!mib)
        return "option '--max-memory' needs a whole number of MiB from 1 to " + std::to_string(kLargestMemoryLimitMiB) +
               ", not '" + value + "'";
    settings.memoryLimitMiB = *mib;
    return std::nullopt;
}
