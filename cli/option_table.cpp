// The rows of the command line's options: names, value, help text and what each sets. The order here
// is the order of --help and the manual page.
#include "option_table.h"

#include <array>

#include "decode_options.h"
#include "display_options.h"
#include "geometry_options.h"

namespace {

using Reason = std::optional<std::string>;

// A problem text from the checks, as the setters' answer.
Reason Refused(std::string problem) {
    if (problem.empty()) return std::nullopt;
    return problem;
}

constexpr std::array kLayouts{
    OptionChoice{"rgb666", "three bytes, each channel's 6 bits at the bottom (the default, as the window writes)",
                 static_cast<int>(PixelLayout::Rgb666)},
    OptionChoice{"rgb666-high", "three bytes, each channel's 6 bits at the top",
                 static_cast<int>(PixelLayout::Rgb666High)},
    OptionChoice{"rgb565", "two bytes of 5-bit red, 6-bit green, 5-bit blue, high byte first",
                 static_cast<int>(PixelLayout::Rgb565)},
    OptionChoice{"rgb565-le", "the same two bytes, low byte first", static_cast<int>(PixelLayout::Rgb565Le)},
};
constexpr std::array kCStyles{
    OptionChoice{"window", "the window's text: unsigned char bytes with the size prefix (the default)",
                 static_cast<int>(CStyle::Window)},
    OptionChoice{"stdint",
                 "a header for firmware: uint16_t words for rgb565 layouts, uint8_t bytes otherwise, "
                 "NAME_WIDTH and NAME_HEIGHT macros",
                 static_cast<int>(CStyle::Stdint)},
};
constexpr std::array kCompressions{OptionChoice{"rle", "", static_cast<int>(Compression::Rle)}};
constexpr std::array kFits{
    OptionChoice{"contain", "the whole picture, centred on the --background (the default)",
                 static_cast<int>(Fit::Contain)},
    OptionChoice{"cover", "the display filled, the overflow cut equally from both sides", static_cast<int>(Fit::Cover)},
    OptionChoice{"stretch", "each side scaled on its own", static_cast<int>(Fit::Stretch)},
};
constexpr std::array kFilters{
    OptionChoice{"smooth", "area average when shrinking, linear when enlarging, in linear light (the default)",
                 static_cast<int>(ScaleFilter::Smooth)},
    OptionChoice{"nearest", "each pixel one of the picture's: whole-factor enlargements stay crisp",
                 static_cast<int>(ScaleFilter::Nearest)},
};
constexpr std::array kRotations{OptionChoice{"90", "", static_cast<int>(Rotation::Clockwise90)},
                                OptionChoice{"180", "", static_cast<int>(Rotation::Clockwise180)},
                                OptionChoice{"270", "", static_cast<int>(Rotation::Clockwise270)}};
constexpr std::array kFlips{OptionChoice{"horizontal", "", static_cast<int>(Flip::Horizontal)},
                            OptionChoice{"vertical", "", static_cast<int>(Flip::Vertical)}};

OutputOptions& Output(ParsedArguments& parsed) { return parsed.line.settings.output; }
DisplayGeometry& Geometry(ParsedArguments& parsed) { return parsed.line.settings.geometry; }

// Designated initialisers keep each row readable; a row names only what it has.
constexpr std::array kOptions{
    OptionRow{.longName = "header",
              .help = "write C array text (.h) instead of the raw colour stream (.bmc)",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  Output(p).format = OutputFormat::ArrayText;
                  return std::nullopt;
              }},
    OptionRow{.longName = "no-size",
              .help = "leave the height and width prefix out of the raw colour stream (not with --compress)",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  Output(p).sizePrefix = false;
                  return std::nullopt;
              }},
    OptionRow{.longName = "layout",
              .valueName = "NAME",
              .needs = "layout",
              .help = "the bytes of each pixel, for .bmc and .h alike:",
              .choices = kLayouts,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Output(p).layout = static_cast<PixelLayout>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "bgr",
              .help = "blue first: blue takes red's place in the layout",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  Output(p).blueFirst = true;
                  return std::nullopt;
              }},
    OptionRow{.longName = "name",
              .valueName = "IDENT",
              .needs = "a name for the array",
              .help = "call the array of the .h text IDENT (a C identifier) instead of pic",
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  if (auto problem = Refused(ArrayNameProblem(v.text))) return problem;
                  Output(p).arrayName = v.text;
                  return std::nullopt;
              }},
    OptionRow{.longName = "dither",
              .help = "spread each pixel's rounding error over its neighbours (Floyd-Steinberg), so that "
                      "gradients do not band",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  Output(p).dither = true;
                  return std::nullopt;
              }},
    OptionRow{.longName = "c-style",
              .valueName = "STYLE",
              .needs = "C style",
              .help = "the C text that --header writes:",
              .choices = kCStyles,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Output(p).cStyle = static_cast<CStyle>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "c-attribute",
              .valueName = "TEXT",
              .needs = "a text such as PROGMEM",
              .help = "put TEXT, such as PROGMEM or __attribute__((aligned(4))), into the array's declaration "
                      "(with --c-style stdint)",
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  if (auto problem = Refused(CAttributeProblem(v.text))) return problem;
                  Output(p).cAttribute = v.text;
                  return std::nullopt;
              }},
    OptionRow{.longName = "compress",
              .needs = "compression",
              .help = "run-length code the pixels behind a header that vandrel/decode.h reads, for .bmc and .h "
                      "alike (not with --no-size)",
              .choices = kCompressions,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Output(p).compression = static_cast<Compression>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "size",
              .valueName = "WxH",
              .needs = "WxH, such as 320x240, 320x or x240",
              .help = "the picture's sides on the display, each 1 to 65535; a side left out (320x, x240) "
                      "follows the picture's aspect ratio",
              .set = [](const OptionValue& v, ParsedArguments& p) { return ApplySize(v.text, Geometry(p)); }},
    OptionRow{.longName = "fit",
              .valueName = "HOW",
              .needs = "fit",
              .help = "how the picture meets both sides of --size:",
              .choices = kFits,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Geometry(p).fit = static_cast<Fit>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "filter",
              .valueName = "FILTER",
              .needs = "filter",
              .help = "how --size scales:",
              .choices = kFilters,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Geometry(p).filter = static_cast<ScaleFilter>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "rotate",
              .needs = "rotation",
              .help = "turn the stored pixels clockwise after --size, for a panel mounted turned",
              .choices = kRotations,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Geometry(p).rotation = static_cast<Rotation>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "flip",
              .needs = "flip",
              .help = "mirror the stored pixels after --rotate",
              .choices = kFlips,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  Geometry(p).flip = static_cast<Flip>(v.choice);
                  return std::nullopt;
              }},
    OptionRow{.longName = "ignore-orientation",
              .help = "take the picture as stored instead of turning it upright by its orientation tag (EXIF)",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  p.line.settings.decoding.applyOrientation = false;
                  return std::nullopt;
              }},
    OptionRow{.longName = "output",
              .shortName = 'o',
              .valueName = "PATH",
              .needs = "a path",
              .help = "write the output to PATH instead (one picture only); '-' writes it to standard output",
              .emptyRefused = true,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  p.line.settings.outputPath = v.text;
                  return std::nullopt;
              }},
    OptionRow{.longName = "preview",
              .valueName = "PATH",
              .needs = "a path",
              .help = "also write PATH, a 24-bit BMP of the picture with its colours reduced as the display "
                      "shows them (one picture only)",
              .emptyRefused = true,
              .set = [](const OptionValue& v, ParsedArguments& p) -> Reason {
                  // A preview is a BMP file written by the bitmap module, which writes to paths only.
                  if (v.text == "-") return "the preview must be written to a file, not to '-'";
                  p.line.settings.previewPath = v.text;
                  return std::nullopt;
              }},
    OptionRow{.longName = "decode",
              .help = "read back one output of this program (.bmc or .h, with the --layout, --bgr, --rotate and "
                      "--flip it was written with) into the 24-bit BMP that -o names, as --preview shows it",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  p.line.action = CommandLineAction::ReadBack;
                  return std::nullopt;
              }},
    OptionRow{.longName = "background",
              .valueName = "RRGGBB",
              .needs = "a value",
              .help = "colour under transparent pixels and around a contained picture, six hex digits "
                      "(default 000000: black, an unlit display)",
              .set = [](const OptionValue& v,
                        ParsedArguments& p) { return ApplyBackground(v.text, p.line.settings.decoding); }},
    OptionRow{.longName = "max-memory",
              .valueName = "MIB",
              .needs = "a value",
              .help = "most memory a decoded picture, with a fitted one that --rotate 90 or 270 holds, may "
                      "take, in MiB (default 1024); larger pictures are refused before decoding",
              .set = [](const OptionValue& v,
                        ParsedArguments& p) { return ApplyMemoryLimit(v.text, p.line.settings.decoding); }},
    OptionRow{.longName = "help",
              .shortName = 'h',
              .help = "show this help and exit",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  p.helpWanted = true;
                  return std::nullopt;
              }},
    OptionRow{.longName = "version",
              .help = "show the version and exit",
              .set = [](const OptionValue&, ParsedArguments& p) -> Reason {
                  p.versionWanted = true;
                  return std::nullopt;
              }},
};

}  // namespace

std::span<const OptionRow> OptionTable() { return kOptions; }

const OptionRow* OptionNamed(std::string_view name) {
    for (const OptionRow& row : kOptions) {
        if (name.starts_with("--") && name.substr(2) == row.longName) return &row;
        if (row.shortName && name.size() == 2 && name[0] == '-' && name[1] == row.shortName) return &row;
    }
    return nullptr;
}

std::string ChoiceList(const OptionRow& row) {
    std::string list;
    for (std::size_t i = 0; i < row.choices.size(); ++i) {
        if (i > 0) list += i + 1 == row.choices.size() ? " or " : ", ";
        list += row.choices[i].name;
    }
    return list;
}

std::string ValueNeeded(const OptionRow& row) {
    if (row.choices.empty()) return std::string(row.needs);
    return "a " + std::string(row.needs) + ": " + ChoiceList(row);
}

std::string ValuePlaceholder(const OptionRow& row) {
    if (!row.valueName.empty()) return std::string(row.valueName);
    std::string words;
    for (const OptionChoice& choice : row.choices) {
        if (!words.empty()) words += '|';
        words += choice.name;
    }
    return words;
}
