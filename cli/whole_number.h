// Decimal option values, read whole: a typo never passes for a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The decimal number `text` spells, digits only, when it is at most `largest`; nothing otherwise.
inline std::optional<std::uint64_t> ParseWholeNumber(std::string_view text, std::uint64_t largest) {
    if (text.empty()) return std::nullopt;
    std::uint64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
        if (number > largest) return std::nullopt;
    }
    return number;
}
