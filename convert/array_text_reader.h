// Reading back the C array text this program writes, in either style: the array's values and, for the
// stdint style, the sides its NAME_WIDTH and NAME_HEIGHT macros give.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ArrayText {
    std::vector<std::uint16_t> values;  // the initialiser's values, in order
    bool words = false;                 // a uint16_t array: one value a pixel
    std::optional<std::uint32_t> width;
    std::optional<std::uint32_t> height;
};

// The array of `text`, or nothing with the reason in `failure`.
std::optional<ArrayText> ReadArrayText(std::string_view text, std::string& failure);
