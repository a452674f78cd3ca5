// Writes the vandrel-convert(1) manual page from the option table and the words of --help, so the page
// lists exactly the options the program takes, each under one heading. Run at build time only.
// Usage: vandrel-manual-page OUTPUT "MONTH YEAR" SECTIONS (hand-written roff appended at the end)
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "help_text.h"
#include "option_table.h"

namespace {

// Text as roff shows it literally: backslashes and hyphens escaped, no line read as a request.
std::string Roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Heading(const OptionRow& row) {
    std::string heading;
    if (row.shortName) heading += "\\fB\\-" + std::string{row.shortName} + "\\fR, ";
    heading += "\\fB\\-\\-" + Roff(row.longName) + "\\fR";
    if (row.ChoicesHaveMeanings() || row.choices.empty()) {
        if (row.TakesValue()) heading += " \\fI" + Roff(row.valueName) + "\\fR";
        return heading;
    }
    for (std::size_t i = 0; i < row.choices.size(); ++i)
        heading += std::string(i == 0 ? " " : "|") + "\\fI" + Roff(row.choices[i].name) + "\\fR";
    return heading;
}

std::string OptionsSection() {
    std::string page = ".SH OPTIONS\n";
    for (const OptionRow& row : OptionTable()) {
        page += ".TP\n" + Heading(row) + "\n" + Roff(row.help) + "\n";
        if (!row.ChoicesHaveMeanings()) continue;
        std::size_t nameWidth = 0;
        for (const OptionChoice& choice : row.choices) nameWidth = std::max(nameWidth, choice.name.size());
        page += ".RS\n";
        for (const OptionChoice& choice : row.choices)
            page += ".TP " + std::to_string(nameWidth + 2) + "\n.B " + Roff(choice.name) + "\n" + Roff(choice.meaning) +
                    "\n";
        page += ".RE\n";
    }
    return page;
}

std::string ManualPage(const std::string& date) {
    std::string version = VersionText();
    version.pop_back();
    std::string page =
        ".\\\" Made by vandrel-manual-page from the command line's option table; do not edit.\n"
        ".TH VANDREL\\-CONVERT 1 \"" +
        Roff(date) + "\" \"" + Roff(version) +
        "\" \"User Commands\"\n"
        ".SH NAME\nvandrel\\-convert \\- convert pictures into data for 6\\-bit\\-per\\-channel colour "
        "displays\n.SH SYNOPSIS\n.B vandrel\\-convert\n[\\fIOPTION\\fR]... \\fIPICTURE\\fR...\n"
        ".SH DESCRIPTION\n";
    const auto paragraphs = DescriptionParagraphs();
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) page += ".PP\n";
        page += Roff(paragraphs[i]) + "\n";
    }
    page += OptionsSection();
    page += ".SH \"EXIT STATUS\"\n" + Roff(ExitStatusParagraph()) + "\n";
    return page;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vandrel-manual-page OUTPUT DATE SECTIONS\n");
        return 2;
    }
    std::ifstream sections(argv[3], std::ios::binary);
    std::ostringstream appended;
    appended << sections.rdbuf();
    if (!sections) {
        std::fprintf(stderr, "vandrel-manual-page: cannot read %s\n", argv[3]);
        return 1;
    }
    const std::string page = ManualPage(argv[2]) + appended.str();
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out && std::fwrite(page.data(), 1, page.size(), out) == page.size();
    if (!out || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "vandrel-manual-page: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
