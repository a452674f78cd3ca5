// Command-line parsing: short and long options in the usual forms, "--" ends the options.
#include "cli/options.h"

#include <string_view>

#include "display_options.h"
#include "decode_options.h"

namespace {

CommandLine UsageError(std::string reason) {
    CommandLine line;
    line.action = CommandLineAction::UsageError;
    line.usageError = std::move(reason);
    return line;
}

// The options that take a value, in each spelling they accept.
enum class ValueOption { None, Output, Preview };

ValueOption ValueOptionNamed(std::string_view name) {
    if (name == "-o" || name == "--output") return ValueOption::Output;
    if (name == "--preview") return ValueOption::Preview;
    return ValueOption::None;
}

// What a value option takes, for "option 'NAME' needs ..." when its value is missing.
std::string ValueWanted(std::string_view name) {
    if (name == "--layout") return std::string("a layout: ") + kPixelLayoutChoices;
    if (name == "--name") return "a name for the array";
    if (IsDecodeOption(name)) return "a value";
    return "a path";
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool helpWanted = false;
    bool versionWanted = false;
    bool optionsEnded = false;
    bool readBack = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // A lone "-" is a name, not an option.
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            line.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            helpWanted = true;
            continue;
        }
        if (argument == "--version") {
            versionWanted = true;
            continue;
        }
        if (argument == "--header") {
            line.settings.output.format = OutputFormat::ArrayText;
            continue;
        }
        if (argument == "--decode") {
            readBack = true;
            continue;
        }
        if (argument == "--no-size") {
            line.settings.output.sizePrefix = false;
            continue;
        }
        if (ApplyDisplayFlag(argument, line.settings.output)) continue;

        // Value options: "--output PATH", "--output=PATH", "-o PATH" and "-oPATH".
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (argument.starts_with("-o") && argument.size() > 2) {
            name = "-o";
            value = argument.substr(2);
        }
        const ValueOption option = ValueOptionNamed(name);
        if (option == ValueOption::None && !IsDisplayValueOption(name) && !IsDecodeOption(name))
            return UsageError("unknown option '" + argument + "'");
        if (!value) {
            if (i + 1 == arguments.size()) return UsageError("option '" + name + "' needs " + ValueWanted(name));
            value = arguments[++i];
        }
        // The display's layout and array name, and the options for decoded pictures, check their values.
        if (IsDisplayValueOption(name)) {
            if (auto reason = ApplyDisplayOption(name, *value, line.settings.output)) return UsageError(*reason);
            continue;
        }
        if (IsDecodeOption(name)) {
            if (auto reason = ApplyDecodeOption(name, *value, line.settings.decoding)) return UsageError(*reason);
            continue;
        }
        if (value->empty()) return UsageError("option '" + name + "' needs a path");
        if (option == ValueOption::Output) {
            line.settings.outputPath = *value;
        } else {
            // A preview is a BMP file written by the bitmap module, which writes to paths only.
            if (*value == "-") return UsageError("the preview must be written to a file, not to '-'");
            line.settings.previewPath = *value;
        }
    }

    if (helpWanted) {
        line.action = CommandLineAction::ShowHelp;
        return line;
    }
    if (versionWanted) {
        line.action = CommandLineAction::ShowVersion;
        return line;
    }
    if (line.inputs.empty()) return UsageError("no picture given");
    if (readBack) line.action = CommandLineAction::ReadBack;
    if (line.settings.output.compression != Compression::None && !line.settings.output.sizePrefix)
        return UsageError("--no-size cannot be used with --compress: the compressed stream's header carries the sides");
    if (line.inputs.size() > 1 && line.settings.outputPath)
        return UsageError("-o names one output, but " + std::to_string(line.inputs.size()) +
                          " pictures were given");
    if (line.inputs.size() > 1 && line.settings.previewPath)
        return UsageError("--preview names one preview, but " + std::to_string(line.inputs.size()) +
                          " pictures were given");
    return line;
}

std::string UsageText() {
    return std::string("Usage: ") + kProgramName + " [OPTION]... PICTURE...\n" +
           "Converts pictures into data for colour displays with 6 bits per channel. Each output is\n"
           "written beside its picture and named after it, the last three characters of its name\n"
           "replaced by the extension: logo.bmp gives logo.bmc or logo.h.\n"
           "\n"
           "Pictures: BMP of every kind (uncompressed 8, 24 and 32-bit ones with a 40-byte header\n"
           "convert exactly as in the window; any header size, top-down, bit fields, run-length,\n"
           "1 to 32 bits through Qt), PNG, JPEG, GIF (first frame), PBM/PGM/PPM, and the other\n"
           "kinds Qt reads here (TIFF, WebP, ICO, XPM, ...); not SVG or ICNS. Colours are taken\n"
           "as stored (no colour profile or gamma is applied); transparency is laid over the\n"
           "background. A file that ends early is refused. (The window program reads only\n"
           "uncompressed 24-bit BMP pictures with a 40-byte header.)\n"
           "\n"
           "  --header           write C array text (.h) instead of the raw colour stream (.bmc)\n"
           "  --no-size          leave the height and width prefix out of the raw colour stream\n"
           "  --layout NAME      the bytes of each pixel, for .bmc and .h alike:\n"
           "                       rgb666       three bytes, each channel's 6 bits at the bottom\n"
           "                                    (the default, as the window writes)\n"
           "                       rgb666-high  three bytes, each channel's 6 bits at the top\n"
           "                       rgb565       two bytes of 5-bit red, 6-bit green, 5-bit blue,\n"
           "                                    high byte first\n"
           "                       rgb565-le    the same two bytes, low byte first\n"
           "  --bgr              blue first: blue takes red's place in the layout\n"
           "  --name IDENT       call the array of the .h text IDENT (a C identifier) instead of pic\n"
           "  --dither           spread each pixel's rounding error over its neighbours\n"
           "                     (Floyd-Steinberg), so that gradients do not band\n"
           "  -o, --output PATH  write the output to PATH instead (one picture only);\n"
           "                     '-' writes it to standard output\n"
           "  --preview PATH     also write PATH, a 24-bit BMP of the picture with its colours\n"
           "                     reduced as the display shows them (one picture only)\n"
           "  --background RRGGBB  colour under transparent pixels, six hex digits (default\n"
           "                     000000: black, an unlit display)\n"
           "  --max-memory MIB   most memory a decoded picture may hold, in MiB (default 1024);\n"
           "                     larger pictures are refused before decoding\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n"
           "\n"
           "Exit status: 0 when every picture was converted, 1 when any failed (the others are\n"
           "still converted), 2 when the command line is wrong.\n";
}

std::string VersionText() { return std::string(kProgramName) + " " VANDREL_VERSION "\n"; }
