// What the command line asks for: the output format, where outputs go, and the pictures to convert.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/display_geometry.h"
#include "convert/display_writers.h"
#include "readers/qt_decode.h"

// How every picture of a run is to be converted.
struct ConversionSettings {
    OutputOptions output;
    // Fitting, turning and mirroring for the display.
    DisplayGeometry geometry;
    // Where the output goes instead of beside the picture; "-" is standard output.
    std::optional<std::string> outputPath;
    // A 24-bit BMP showing the picture with the display's 6-bit colours.
    std::optional<std::string> previewPath;
    // For pictures the bitmap module does not read: background, memory limit.
    DecodeSettings decoding;
};

enum class CommandLineAction {
    Convert,
    // --decode: the one input is this program's output, turned back into a 24-bit BMP at outputPath.
    ReadBack,
    ShowHelp,
    ShowVersion,
    UsageError,
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::Convert;
    ConversionSettings settings;
    std::vector<std::string> inputs;
    // Why the command line cannot be used (UsageError only), without the program name.
    std::string usageError;
};

inline constexpr char kProgramName[] = "vandrel-convert";

// Reads the arguments that follow the program name. Never fails otherwise than through UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help and of --version, each ending in a line break.
std::string UsageText();
// The options' part of --help, as the README shows it too.
std::string OptionListText();
std::string VersionText();
