// The command line's options as one table: parsing, --help, the messages for missing or wrong values
// and the manual page are all made from these rows, so an option cannot be in one and not the others.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/options.h"

// A command line while it is read: help and version win over everything else, so they are kept aside.
struct ParsedArguments {
    CommandLine line;
    bool helpWanted = false;
    bool versionWanted = false;
};

// One of the words an option with a fixed set of values takes.
struct OptionChoice {
    std::string_view name;
    // Shown under the option in --help and the manual page; empty lists the word in the value's place.
    std::string_view meaning;
    // The setting it stands for, as the option's enum value.
    int value;
};

// The value as the setter receives it: the text, and for a choice option the chosen word's value.
struct OptionValue {
    const std::string& text;
    int choice;
};

// Applies a value (or a switch) to the arguments; answers why the value cannot be used, if it cannot.
using OptionSetter = std::optional<std::string> (*)(const OptionValue& value, ParsedArguments& parsed);

struct OptionRow {
    std::string_view longName;  // without the leading "--"
    char shortName = 0;         // 0 for none
    // The value's placeholder in --help ("PATH"); empty for a switch. Choice options whose words have
    // no meaning show the words instead ("90|180|270").
    std::string_view valueName = {};
    // What "option 'X' needs ..." says when the value is missing; for a choice option, the noun that
    // names one of its words ("layout").
    std::string_view needs = {};
    std::string_view help = {};
    std::span<const OptionChoice> choices = {};
    // An empty value counts as a missing one (paths).
    bool emptyRefused = false;
    OptionSetter set = nullptr;

    bool TakesValue() const { return !valueName.empty() || !choices.empty(); }
    bool ChoicesHaveMeanings() const { return !choices.empty() && !choices.front().meaning.empty(); }
};

std::span<const OptionRow> OptionTable();

// The row spelled `name` ("--layout" or "-o"), or none.
const OptionRow* OptionNamed(std::string_view name);

// The choices of `row` worded for a message: "a, b or c".
std::string ChoiceList(const OptionRow& row);

// The text after "option '--x' needs " for a missing value.
std::string ValueNeeded(const OptionRow& row);

// The placeholder shown after the option's names: "NAME", or "90|180|270" for choices without meanings.
std::string ValuePlaceholder(const OptionRow& row);
