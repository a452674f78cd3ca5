// Parsing of the display options, and the check that an array name is a C identifier.
#include "display_options.h"

#include <algorithm>
#include <array>

namespace {

// C's keywords, C23's among them: a header declaring an array by one of these names does not compile.
constexpr std::array<std::string_view, 59> kKeywords{
    "alignas", "alignof", "auto", "bool", "break", "case", "char", "const", "constexpr", "continue",
    "default", "do", "double", "else", "enum", "extern", "false", "float", "for", "goto", "if", "inline",
    "int", "long", "nullptr", "register", "restrict", "return", "short", "signed", "sizeof", "static",
    "static_assert", "struct", "switch", "thread_local", "true", "typedef", "typeof", "typeof_unqual",
    "union", "unsigned", "void", "volatile", "while", "_Alignas", "_Alignof", "_Atomic", "_BitInt",
    "_Bool", "_Complex", "_Decimal128", "_Decimal32", "_Decimal64", "_Generic", "_Imaginary",
    "_Noreturn", "_Static_assert", "_Thread_local"};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string ArrayNameProblem(const std::string& name) {
    if (name.empty()) return "the array name is empty; give a C identifier such as 'logo'";
    const std::string quoted = "the array name '" + name + "'";
    if (IsDigit(name[0])) return quoted + " starts with a digit; a C identifier starts with a letter or '_'";
    const auto wrong = std::find_if(name.begin(), name.end(), [](char c) { return !IsLetter(c) && !IsDigit(c); });
    if (wrong != name.end()) {
        // A byte of a longer character or a control character would print as nonsense.
        std::string what = "a character";
        if (*wrong > ' ' && *wrong <= '~') what = std::string{'\'', *wrong, '\''};
        return quoted + " holds " + what +
               " that a C identifier cannot hold; use only the letters A-Z and a-z, the digits 0-9 and '_'";
    }
    if (std::find(kKeywords.begin(), kKeywords.end(), name) != kKeywords.end())
        return quoted + " is a C keyword; choose another name";
    return {};
}

bool ApplyDisplayFlag(std::string_view argument, OutputOptions& output) {
    if (argument == "--bgr") {
        output.blueFirst = true;
        return true;
    }
    if (argument == "--dither") {
        output.dither = true;
        return true;
    }
    return false;
}

bool IsDisplayValueOption(std::string_view name) {
    return name == "--layout" || name == "--name" || name == "--compress";
}

std::optional<std::string> ApplyDisplayOption(std::string_view name, const std::string& value,
                                              OutputOptions& output) {
    if (name == "--name") {
        std::string problem = ArrayNameProblem(value);
        if (!problem.empty()) return problem;
        output.arrayName = value;
        return std::nullopt;
    }
    if (name == "--compress") {
        if (value != "rle" && value != "none") return "unknown compression '" + value + "'; choose rle or none";
        output.compression = value == "rle" ? Compression::Rle : Compression::None;
        return std::nullopt;
    }
    const auto layout = PixelLayoutNamed(value);
    if (!layout) return "unknown layout '" + value + "'; choose " + kPixelLayoutChoices;
    output.layout = *layout;
    return std::nullopt;
}
