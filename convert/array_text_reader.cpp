// A small reader for the C text this program writes: comments are dropped, the first array's
// initialiser is read as decimal or hexadecimal numbers, and macros ending in _WIDTH or _HEIGHT give
// the sides.
#include "array_text_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string WithoutComments(std::string_view text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 1;
            kept += ' ';
        } else if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n') ++i;
            kept += '\n';
        } else {
            kept += text[i];
        }
    }
    return kept;
}

// A C integer literal (decimal, or hexadecimal after 0x; u and l suffixes allowed) of at most 32 bits.
std::optional<std::uint32_t> Number(std::string_view token) {
    while (!token.empty() && (token.back() == 'u' || token.back() == 'U' || token.back() == 'l' || token.back() == 'L'))
        token.remove_suffix(1);
    int base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        token.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (token.empty() || error != std::errc() || end != token.data() + token.size()) return std::nullopt;
    return value;
}

// The value of "#define <something>SUFFIX value", if the text has one.
std::optional<std::uint32_t> Macro(const std::string& text, std::string_view suffix) {
    for (std::size_t at = text.find("#define"); at != std::string::npos; at = text.find("#define", at + 1)) {
        const std::size_t lineEnd = text.find('\n', at);
        const std::string_view line = std::string_view(text).substr(at, lineEnd - at);
        const std::size_t nameEnd = line.find(suffix);
        if (nameEnd == std::string_view::npos) continue;
        std::string_view rest = line.substr(nameEnd + suffix.size());
        if (rest.empty() || !std::isspace(static_cast<unsigned char>(rest[0]))) continue;
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.remove_suffix(1);
        return Number(rest);
    }
    return std::nullopt;
}

}  // namespace

std::optional<ArrayText> ReadArrayText(std::string_view original, std::string& failure) {
    const std::string text = WithoutComments(original);
    const std::size_t brackets = text.find("[]");
    const std::size_t open = text.find('{', brackets == std::string::npos ? 0 : brackets);
    const std::size_t close = text.find('}', open == std::string::npos ? 0 : open);
    if (brackets == std::string::npos || open == std::string::npos || close == std::string::npos) {
        failure = "holds no array of this program's C text";
        return std::nullopt;
    }
    ArrayText array;
    const std::size_t statement = text.rfind(';', brackets);
    const std::size_t start = statement == std::string::npos ? 0 : statement;
    const std::string declaration = text.substr(start, brackets - start);
    array.words = declaration.find("uint16_t") != std::string::npos;
    const std::uint32_t largest = array.words ? 0xFFFF : 0xFF;
    std::size_t at = open + 1;
    while (at < close) {
        const std::size_t comma = std::min(text.find(',', at), close);
        std::string_view token = std::string_view(text).substr(at, comma - at);
        while (!token.empty() && std::isspace(static_cast<unsigned char>(token.front()))) token.remove_prefix(1);
        while (!token.empty() && std::isspace(static_cast<unsigned char>(token.back()))) token.remove_suffix(1);
        at = comma + 1;
        if (token.empty() && comma == close) break;  // a trailing comma
        const std::optional<std::uint32_t> value = Number(token);
        if (!value || *value > largest) {
            failure = "has '" + std::string(token.substr(0, 20)) + "' in its array, not a " +
                      (array.words ? "16-bit" : "byte") + " value";
            return std::nullopt;
        }
        array.values.push_back(static_cast<std::uint16_t>(*value));
    }
    array.width = Macro(text, "_WIDTH");
    array.height = Macro(text, "_HEIGHT");
    return array;
}
