// --help: the description, then each row of the option table with its value's words, then the exit
// codes, wrapped for an 80-column terminal.
#include "help_text.h"

#include <algorithm>
#include <array>

#include "cli/options.h"
#include "option_table.h"

namespace {

constexpr std::size_t kLineWidth = 79;
// Where the help of an option starts; a longer option puts it on the next line.
constexpr std::size_t kHelpColumn = 24;

constexpr std::array<std::string_view, 2> kDescription{
    "Converts pictures into data for colour displays with 6 bits per channel. Each output is written beside "
    "its picture and named after it, the last three characters of its name replaced by the extension: "
    "logo.bmp gives logo.bmc or logo.h.",
    "Pictures: BMP of every kind (uncompressed 8, 24 and 32-bit ones with a 40-byte header convert exactly as "
    "in the window; any header size, top-down, bit fields, 1 to 32 bits; run-length through Qt), PNG (every "
    "kind, 16-bit channels rounded), JPEG, GIF (first frame), PBM/PGM/PPM and TGA (every kind), and the other "
    "kinds Qt reads here (TIFF, WebP, ICO, XPM, ...); not SVG or ICNS. Colours are taken as stored (no colour "
    "profile or gamma is applied); transparency is laid over the background. A file that ends early is "
    "refused. (The window program reads only uncompressed 24-bit "
    "BMP pictures with a 40-byte header.)",
};

// "  -o, --output PATH" or "  --layout NAME": the names and the value's placeholder.
std::string OptionNames(const OptionRow& row) {
    std::string names = "  ";
    if (row.shortName) {
        names += '-';
        names += row.shortName;
        names += ", ";
    }
    names += "--";
    names += row.longName;
    if (row.TakesValue()) {
        names += ' ';
        names += ValuePlaceholder(row);
    }
    return names;
}

// `lines` after `first` (which ends where the text may start), the rest indented to `column`.
void AppendIndented(std::string& text, std::string first, const std::vector<std::string>& lines, std::size_t column) {
    if (first.size() + 2 > column) {
        text += first + "\n";
        first.clear();
    }
    for (const std::string& line : lines) {
        first.resize(column, ' ');
        text += first + line + "\n";
        first.clear();
    }
}

}  // namespace

std::span<const std::string_view> DescriptionParagraphs() { return kDescription; }

std::string_view ExitStatusParagraph() {
    return "0 when every picture was converted, 1 when any failed (the others are still converted), 2 when "
           "the command line is wrong.";
}

std::vector<std::string> WrapWords(std::string_view text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    while (!text.empty()) {
        const auto space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string OptionListText() {
    std::string text;
    for (const OptionRow& row : OptionTable()) {
        AppendIndented(text, OptionNames(row), WrapWords(row.help, kLineWidth - kHelpColumn), kHelpColumn);
        if (!row.ChoicesHaveMeanings()) continue;
        std::size_t nameWidth = 0;
        for (const OptionChoice& choice : row.choices) nameWidth = std::max(nameWidth, choice.name.size());
        const std::size_t column = kHelpColumn + 2 + nameWidth + 2;
        for (const OptionChoice& choice : row.choices) {
            std::string first(kHelpColumn + 2, ' ');
            AppendIndented(text, first + std::string(choice.name), WrapWords(choice.meaning, kLineWidth - column),
                           column);
        }
    }
    return text;
}

std::string UsageText() {
    std::string text = std::string("Usage: ") + kProgramName + " [OPTION]... PICTURE...\n";
    for (const std::string_view paragraph : kDescription) {
        for (const std::string& line : WrapWords(paragraph, kLineWidth)) text += line + "\n";
        text += "\n";
    }
    text += OptionListText() + "\n";
    for (const std::string& line : WrapWords("Exit status: " + std::string(ExitStatusParagraph()), kLineWidth))
        text += line + "\n";
    return text;
}
