// The array name must be a C identifier; the attribute must leave the declaration whole.
#include "display_options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// C's keywords, C23's among them: a header declaring an array by one of these names does not compile.
// clang-format off
constexpr std::array<std::string_view, 59> kKeywords{
    "alignas", "alignof", "auto", "bool", "break", "case", "char", "const", "constexpr", "continue",
    "default", "do", "double", "else", "enum", "extern", "false", "float", "for", "goto", "if", "inline",
    "int", "long", "nullptr", "register", "restrict", "return", "short", "signed", "sizeof", "static",
    "static_assert", "struct", "switch", "thread_local", "true", "typedef", "typeof", "typeof_unqual",
    "union", "unsigned", "void", "volatile", "while", "_Alignas", "_Alignof", "_Atomic", "_BitInt",
    "_Bool", "_Complex", "_Decimal128", "_Decimal32", "_Decimal64", "_Generic", "_Imaginary",
    "_Noreturn", "_Static_assert", "_Thread_local"};
// clang-format on

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

namespace {

// What an attribute's character would do to the declaration, outside quotes; nothing when harmless.
std::string_view BreakingCharacter(char c) {
    switch (c) {
    case ';': return "';', which ends the declaration";
    case '{':
    case '}': return "a brace, which opens or closes the initialiser";
    case '=': return "'=', which starts the initialiser";
    case '\\': return "a backslash, which can join the next line";
    default: return {};
    }
}

// The attribute's brackets and quotes, read as the compiler would: answers what does not close.
std::string UnbalancedPart(const std::string& attribute) {
    std::string open;  // the closing bracket each open one waits for
    char quote = 0;
    for (std::size_t i = 0; i < attribute.size(); ++i) {
        const char c = attribute[i];
        if (quote) {
            if (c == '\\')
                ++i;
            else if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '(' || c == '[') {
            open += c == '(' ? ')' : ']';
        } else if (c == ')' || c == ']') {
            if (open.empty() || open.back() != c) return std::string("an unmatched '") + c + "'";
            open.pop_back();
        } else if (c == ',' && open.empty()) {
            return "a ',' outside brackets, which declares another name";
        } else if (const auto what = BreakingCharacter(c); !what.empty()) {
            return std::string(what);
        }
    }
    if (quote) return "an unclosed quote";
    if (!open.empty()) return "an unclosed bracket";
    return {};
}

}  // namespace

std::string CAttributeProblem(const std::string& attribute) {
    const std::string accepted = "; give one such as PROGMEM or __attribute__((aligned(4)))";
    if (attribute.empty()) return "the attribute is empty" + accepted;
    const std::string quoted = "the attribute '" + attribute + "'";
    if (std::any_of(attribute.begin(), attribute.end(), [](char c) { return c < ' ' || c > '~'; }))
        return quoted + " holds a line break, another control character or a byte outside ASCII" + accepted;
    for (const std::string_view mark : {"/*", "*/", "//"})
        if (attribute.find(mark) != std::string::npos)
            return quoted + " holds the comment mark '" + std::string(mark) + "'" + accepted;
    if (const std::string part = UnbalancedPart(attribute); !part.empty()) return quoted + " holds " + part + accepted;
    return {};
}
