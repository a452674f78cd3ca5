// The words of --help around the option table's rows, shared with the manual page, and the wrapping
// that lays them out.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the program does and reads, one paragraph each, before the options.
std::span<const std::string_view> DescriptionParagraphs();
// The exit codes and what each means, after the options.
std::string_view ExitStatusParagraph();

// `text` broken at spaces into lines of at most `width` characters (a longer word stays whole).
std::vector<std::string> WrapWords(std::string_view text, std::size_t width);
