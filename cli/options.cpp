// Command-line parsing from the option table: "--opt VALUE", "--opt=VALUE", "-o PATH", "-oPATH",
// "--" ends the options and a lone "-" is a name.
#include "cli/options.h"

#include <algorithm>
#include <string_view>

#include "option_table.h"

namespace {

CommandLine UsageError(std::string reason) {
    CommandLine line;
    line.action = CommandLineAction::UsageError;
    line.usageError = std::move(reason);
    return line;
}

// An argument that starts with '-': its row, the name as spelled and a value given within it.
struct OptionUse {
    const OptionRow* row = nullptr;
    std::string spelling;
    std::optional<std::string> attached;
};

OptionUse ReadOptionArgument(const std::string& argument) {
    if (const OptionRow* row = OptionNamed(argument)) return {row, argument, std::nullopt};
    const auto equals = argument.find('=');
    if (argument.starts_with("--") && equals != std::string::npos) {
        const OptionRow* row = OptionNamed(std::string_view(argument).substr(0, equals));
        if (row && row->TakesValue()) return {row, argument.substr(0, equals), argument.substr(equals + 1)};
    } else if (!argument.starts_with("--")) {
        const OptionRow* row = OptionNamed(std::string_view(argument).substr(0, 2));
        if (row && row->TakesValue()) return {row, argument.substr(0, 2), argument.substr(2)};
    }
    return {};
}

// Checks the value against the row's words and hands it to the row's setter.
std::optional<std::string> ApplyOption(const OptionUse& use, const std::string& value, ParsedArguments& parsed) {
    const OptionRow& row = *use.row;
    if (row.emptyRefused && value.empty()) return "option '" + use.spelling + "' needs " + ValueNeeded(row);
    int choice = 0;
    if (!row.choices.empty()) {
        const auto chosen = std::find_if(row.choices.begin(), row.choices.end(),
                                         [&](const OptionChoice& c) { return c.name == value; });
        if (chosen == row.choices.end())
            return "unknown " + std::string(row.needs) + " '" + value + "'; choose " + ChoiceList(row);
        choice = chosen->value;
    }
    return row.set(OptionValue{value, choice}, parsed);
}

// Options that only make sense together, and the counts of pictures and outputs.
std::optional<std::string> CombinationProblem(const CommandLine& line) {
    const ConversionSettings& settings = line.settings;
    const std::size_t count = line.inputs.size();
    if (line.action == CommandLineAction::ReadBack) {
        if (count != 1) return "--decode reads one output, but " + std::to_string(count) + " were given";
        if (!settings.outputPath) return "--decode needs -o PICTURE.bmp, the BMP file to write";
        if (*settings.outputPath == "-") return "--decode writes a BMP file, not to '-'";
        if (settings.previewPath) return "--preview does not go with --decode, whose output is the picture";
        return std::nullopt;
    }
    if (count == 0) return "no picture given";
    if (count > 1 && settings.outputPath)
        return "-o names one output, but " + std::to_string(count) + " pictures were given";
    if (count > 1 && settings.previewPath)
        return "--preview names one preview, but " + std::to_string(count) + " pictures were given";
    if (settings.output.compression != Compression::None && !settings.output.sizePrefix)
        return "--no-size does not go with --compress, whose header carries the sides";
    if (settings.output.cStyle != CStyle::Window && settings.output.format != OutputFormat::ArrayText)
        return "--c-style shapes the C array text: add --header";
    if (!settings.output.cAttribute.empty() && settings.output.cStyle != CStyle::Stdint)
        return "--c-attribute goes into the stdint header: add --c-style stdint";
    return std::nullopt;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.line.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionUse use = ReadOptionArgument(argument);
        if (!use.row) return UsageError("unknown option '" + argument + "'");
        std::optional<std::string> value = use.attached;
        if (use.row->TakesValue() && !value) {
            if (i + 1 == arguments.size())
                return UsageError("option '" + use.spelling + "' needs " + ValueNeeded(*use.row));
            value = arguments[++i];
        }
        if (auto reason = ApplyOption(use, value.value_or(std::string()), parsed)) return UsageError(*reason);
    }

    if (parsed.helpWanted || parsed.versionWanted) {
        parsed.line.action = parsed.helpWanted ? CommandLineAction::ShowHelp : CommandLineAction::ShowVersion;
        return parsed.line;
    }
    if (auto reason = CombinationProblem(parsed.line)) return UsageError(*reason);
    return parsed.line;
}

std::string VersionText() { return std::string(kProgramName) + " " VANDREL_VERSION "\n"; }
