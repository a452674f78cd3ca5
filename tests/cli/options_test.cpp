// Command-line parsing: option spellings, what ends in a usage error, and what help and version win over.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

#include "cli/options.h"

namespace {
CommandLine Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }
}  // namespace

TEST(cli_options, defaults_are_the_raw_stream_with_size_beside_the_picture) {
    const CommandLine line = Parse({"a.bmp", "b.bmp"});
    EXPECT_EQ(line.action, CommandLineAction::Convert);
    EXPECT_EQ(line.settings.output.format, OutputFormat::RawColourStream);
    EXPECT_TRUE(line.settings.output.sizePrefix);
    EXPECT_FALSE(line.settings.outputPath);
    EXPECT_FALSE(line.settings.previewPath);
    EXPECT_EQ(line.inputs, (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST(cli_options, format_and_prefix_switches_anywhere_on_the_line) {
    const CommandLine line = Parse({"a.bmp", "--no-size", "--header"});
    EXPECT_EQ(line.settings.output.format, OutputFormat::ArrayText);
    EXPECT_FALSE(line.settings.output.sizePrefix);
    EXPECT_EQ(line.inputs, (std::vector<std::string>{"a.bmp"}));
}

TEST(cli_options, every_spelling_of_a_path_option) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"-o", "out.bmc", "a.bmp"},
                                                                       {"-oout.bmc", "a.bmp"},
                                                                       {"--output", "out.bmc", "a.bmp"},
                                                                       {"--output=out.bmc", "a.bmp"}}) {
        const CommandLine line = Parse(arguments);
        ASSERT_EQ(line.action, CommandLineAction::Convert) << arguments[0];
        EXPECT_EQ(line.settings.outputPath, "out.bmc") << arguments[0];
        EXPECT_EQ(line.inputs, (std::vector<std::string>{"a.bmp"})) << arguments[0];
    }
    EXPECT_EQ(Parse({"--preview=p.bmp", "a.bmp"}).settings.previewPath, "p.bmp");
    EXPECT_EQ(Parse({"--preview", "p.bmp", "a.bmp"}).settings.previewPath, "p.bmp");
    // "-" is standard output for -o, and a plain name where a picture is expected.
    EXPECT_EQ(Parse({"-o", "-", "a.bmp"}).settings.outputPath, "-");
    EXPECT_EQ(Parse({"-"}).inputs, (std::vector<std::string>{"-"}));
}

TEST(cli_options, background_and_memory_limit_for_decoded_pictures) {
    EXPECT_EQ(Parse({"a.bmp"}).settings.decoding.background, (RgbColour{0, 0, 0}));
    EXPECT_EQ(Parse({"a.bmp"}).settings.decoding.memoryLimitMiB, 1024u);
    const CommandLine line = Parse({"--background", "FF80a0", "--max-memory=1048576", "a.bmp"});
    EXPECT_EQ(line.action, CommandLineAction::Convert);
    EXPECT_EQ(line.settings.decoding.background, (RgbColour{255, 128, 160}));
    EXPECT_EQ(line.settings.decoding.memoryLimitMiB, 1048576u);
}

TEST(cli_options, double_dash_ends_the_options) {
    const CommandLine line = Parse({"--", "--header", "-o"});
    EXPECT_EQ(line.action, CommandLineAction::Convert);
    EXPECT_EQ(line.settings.output.format, OutputFormat::RawColourStream);
    EXPECT_EQ(line.inputs, (std::vector<std::string>{"--header", "-o"}));
}

TEST(cli_options, usage_errors_say_what_is_wrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--bogus", "a.bmp"}, "unknown option '--bogus'"},
        {{"-x", "a.bmp"}, "unknown option '-x'"},
        {{"--header=yes", "a.bmp"}, "unknown option '--header=yes'"},
        {{"a.bmp", "-o"}, "option '-o' needs a path"},
        {{"a.bmp", "--preview"}, "option '--preview' needs a path"},
        {{"--output=", "a.bmp"}, "option '--output' needs a path"},
        {{"--header"}, "no picture given"},
        {{"-o", "x.bmc", "a.bmp", "b.bmp"}, "-o names one output, but 2 pictures were given"},
        {{"--preview", "p.bmp", "a.bmp", "b.bmp"}, "--preview names one preview, but 2 pictures were given"},
        {{"--preview", "-", "a.bmp"}, "the preview must be written to a file, not to '-'"},
        {{"a.bmp", "--background"}, "option '--background' needs a value"},
        {{"--background=fff", "a.bmp"},
         "option '--background' needs six hex digits RRGGBB, such as ffffff for white, not 'fff'"},
        {{"--background", "#ffffff", "a.bmp"},
         "option '--background' needs six hex digits RRGGBB, such as ffffff for white, not '#ffffff'"},
        {{"--max-memory", "0", "a.bmp"},
         "option '--max-memory' needs a whole number of MiB from 1 to 1048576, not '0'"},
        {{"--max-memory=1048577", "a.bmp"},
         "option '--max-memory' needs a whole number of MiB from 1 to 1048576, not '1048577'"},
        {{"--max-memory", "12k", "a.bmp"},
         "option '--max-memory' needs a whole number of MiB from 1 to 1048576, not '12k'"},
    };
    for (const auto& [arguments, reason] : cases) {
        const CommandLine line = Parse(arguments);
        EXPECT_EQ(line.action, CommandLineAction::UsageError) << reason;
        EXPECT_EQ(line.usageError, reason);
    }
}

TEST(cli_options, help_and_version_need_no_picture) {
    EXPECT_EQ(Parse({"--help"}).action, CommandLineAction::ShowHelp);
    EXPECT_EQ(Parse({"a.bmp", "b.bmp", "-o", "x", "-h"}).action, CommandLineAction::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).action, CommandLineAction::ShowVersion);
}

TEST(cli_options, display_options_in_every_spelling) {
    const CommandLine line = Parse({"--layout", "rgb565-le", "--bgr", "--dither", "--name=logo_2", "a.bmp"});
    ASSERT_EQ(line.action, CommandLineAction::Convert) << line.usageError;
    EXPECT_EQ(line.settings.output.layout, PixelLayout::Rgb565Le);
    EXPECT_TRUE(line.settings.output.blueFirst);
    EXPECT_TRUE(line.settings.output.dither);
    EXPECT_EQ(line.settings.output.arrayName, "logo_2");
    const std::vector<std::pair<std::string, PixelLayout>> layouts{
        {"rgb666", PixelLayout::Rgb666}, {"rgb666-high", PixelLayout::Rgb666High}, {"rgb565", PixelLayout::Rgb565}};
    for (const auto& [name, layout] : layouts)
        EXPECT_EQ(Parse({"--layout=" + name, "a.bmp"}).settings.output.layout, layout);
    // Without the options: the window's layout, red first, undithered, "pic".
    const OutputOptions plain = Parse({"a.bmp"}).settings.output;
    EXPECT_EQ(plain.layout, PixelLayout::Rgb666);
    EXPECT_FALSE(plain.blueFirst || plain.dither);
    EXPECT_EQ(plain.arrayName, "pic");
}

TEST(cli_options, array_names_must_be_c_identifiers) {
    for (const std::string name : {"_", "a", "Logo", "_pic9", "int8", "Bool"})
        EXPECT_EQ(Parse({"--name", name, "a.bmp"}).settings.output.arrayName, name) << name;
    const std::string digits = "; a C identifier starts with a letter or '_'";
    const std::string letters =
        " that a C identifier cannot hold; use only the letters A-Z and a-z, the digits 0-9 and '_'";
    const std::vector<std::pair<std::string, std::string>> refused{
        {"", "the array name is empty; give a C identifier such as 'logo'"},
        {"3d", "the array name '3d' starts with a digit" + digits},
        {"my-logo", "the array name 'my-logo' holds '-'" + letters},
        {"a b", "the array name 'a b' holds a character" + letters},
        {"caf\xc3\xa9", "the array name 'caf\xc3\xa9' holds a character" + letters},
        {"int", "the array name 'int' is a C keyword; choose another name"},
        {"_Bool", "the array name '_Bool' is a C keyword; choose another name"},
    };
    for (const auto& [name, reason] : refused) {
        const CommandLine line = Parse({"--name=" + name, "a.bmp"});
        EXPECT_EQ(line.action, CommandLineAction::UsageError) << name;
        EXPECT_EQ(line.usageError, reason);
    }
    EXPECT_EQ(Parse({"a.bmp", "--name"}).usageError, "option '--name' needs a name for the array");
    EXPECT_EQ(Parse({"--layout", "rgb555", "a.bmp"}).usageError,
              "unknown layout 'rgb555'; choose rgb666, rgb666-high, rgb565 or rgb565-le");
    EXPECT_EQ(Parse({"a.bmp", "--layout"}).usageError,
              "option '--layout' needs a layout: rgb666, rgb666-high, rgb565 or rgb565-le");
}

TEST(cli_options, fitting_turning_and_firmware_options_set_their_fields) {
    const CommandLine line = Parse({"--size", "320x240", "--fit=cover", "--filter", "nearest", "--rotate", "270",
                                    "--flip=vertical", "--ignore-orientation", "--header", "--c-style", "stdint",
                                    "--c-attribute", "PROGMEM", "--compress=rle", "a.bmp"});
    ASSERT_EQ(line.action, CommandLineAction::Convert) << line.usageError;
    const DisplayGeometry& geometry = line.settings.geometry;
    EXPECT_EQ(geometry.width, 320u);
    EXPECT_EQ(geometry.height, 240u);
    EXPECT_EQ(geometry.fit, Fit::Cover);
    EXPECT_EQ(geometry.filter, ScaleFilter::Nearest);
    EXPECT_EQ(geometry.rotation, Rotation::Clockwise270);
    EXPECT_EQ(geometry.flip, Flip::Vertical);
    EXPECT_FALSE(line.settings.decoding.applyOrientation);
    EXPECT_EQ(line.settings.output.cStyle, CStyle::Stdint);
    EXPECT_EQ(line.settings.output.cAttribute, "PROGMEM");
    EXPECT_EQ(line.settings.output.compression, Compression::Rle);
    // A side left out follows the other; the largest side is 65535.
    const std::vector<std::tuple<std::string, std::uint32_t, std::uint32_t>> sizes{
        {"320x", 320, 0}, {"x240", 0, 240}, {"65535x1", 65535, 1}};
    for (const auto& [size, width, height] : sizes) {
        const DisplayGeometry parsed = Parse({"--size=" + size, "a.bmp"}).settings.geometry;
        EXPECT_EQ(parsed.width, width) << size;
        EXPECT_EQ(parsed.height, height) << size;
    }
    for (const std::string attribute : {"__attribute__((aligned(4)))", "__attribute__((section(\".extflash\")))"})
        EXPECT_EQ(
            Parse({"--header", "--c-style=stdint", "--c-attribute", attribute, "a.bmp"}).settings.output.cAttribute,
            attribute);
}

TEST(cli_options, decode_reads_one_output_into_the_picture_named_by_o) {
    const CommandLine line = Parse({"--decode", "logo.bmc", "-o", "seen.bmp"});
    EXPECT_EQ(line.action, CommandLineAction::ReadBack);
    EXPECT_EQ(line.inputs, (std::vector<std::string>{"logo.bmc"}));
    EXPECT_EQ(line.settings.outputPath, "seen.bmp");
}

TEST(cli_options, wrong_values_and_combinations_of_the_new_options) {
    const std::string size =
        "option '--size' needs WxH, each side from 1 to 65535 and at most one left out "
        "(320x240, 320x, x240), not '";
    const std::string accepted = "; give one such as PROGMEM or __attribute__((aligned(4)))";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--size", "0x10"}, size + "0x10'"},
        {{"--size", "70000x10"}, size + "70000x10'"},
        {{"--size", "10"}, size + "10'"},
        {{"--size", "x"}, size + "x'"},
        {{"--size", "-5x10"}, size + "-5x10'"},
        {{"--size"}, "option '--size' needs WxH, such as 320x240, 320x or x240"},
        {{"--rotate", "45"}, "unknown rotation '45'; choose 90, 180 or 270"},
        {{"--fit", "fill"}, "unknown fit 'fill'; choose contain, cover or stretch"},
        {{"--filter=cubic"}, "unknown filter 'cubic'; choose smooth or nearest"},
        {{"--flip", "both"}, "unknown flip 'both'; choose horizontal or vertical"},
        {{"--c-style", "arduino"}, "unknown C style 'arduino'; choose window or stdint"},
        {{"--compress", "lz4"}, "unknown compression 'lz4'; choose rle"},
        {{"--flip"}, "option '--flip' needs a flip: horizontal or vertical"},
        {{"--c-attribute="}, "the attribute is empty" + accepted},
        {{"--c-attribute", "PROGMEM;"}, "the attribute 'PROGMEM;' holds ';', which ends the declaration" + accepted},
        {{"--c-attribute", "a{"}, "the attribute 'a{' holds a brace, which opens or closes the initialiser" + accepted},
        {{"--c-attribute", "a=b"}, "the attribute 'a=b' holds '=', which starts the initialiser" + accepted},
        {{"--c-attribute", "a, b"},
         "the attribute 'a, b' holds a ',' outside brackets, which declares another name" + accepted},
        {{"--c-attribute", "/* x"}, "the attribute '/* x' holds the comment mark '/*'" + accepted},
        {{"--c-attribute", "x */"}, "the attribute 'x */' holds the comment mark '*/'" + accepted},
        {{"--c-attribute", "x // y"}, "the attribute 'x // y' holds the comment mark '//'" + accepted},
        {{"--c-attribute", "a\nb"},
         "the attribute 'a\nb' holds a line break, another control character or a byte outside ASCII" + accepted},
        {{"--c-attribute", "__attribute__((aligned(4))"},
         "the attribute '__attribute__((aligned(4))' holds an unclosed bracket" + accepted},
        {{"--c-attribute", "f(a))"}, "the attribute 'f(a))' holds an unmatched ')'" + accepted},
        {{"--c-attribute", "section(\".x)"}, "the attribute 'section(\".x)' holds an unclosed quote" + accepted},
        {{"--compress", "rle", "--no-size", "a.bmp"},
         "--no-size does not go with --compress, whose header carries the sides"},
        {{"--c-style", "stdint", "a.bmp"}, "--c-style shapes the C array text: add --header"},
        {{"--header", "--c-attribute", "PROGMEM", "a.bmp"},
         "--c-attribute goes into the stdint header: add --c-style stdint"},
        {{"--decode", "a.bmc"}, "--decode needs -o PICTURE.bmp, the BMP file to write"},
        {{"--decode", "-o", "x.bmp", "a.bmc", "b.bmc"}, "--decode reads one output, but 2 were given"},
        {{"--decode", "-o", "x.bmp"}, "--decode reads one output, but 0 were given"},
        {{"--decode", "-o-", "a.bmc"}, "--decode writes a BMP file, not to '-'"},
    };
    for (const auto& [arguments, reason] : cases) {
        const CommandLine line = Parse(arguments);
        EXPECT_EQ(line.action, CommandLineAction::UsageError) << reason;
        EXPECT_EQ(line.usageError, reason);
    }
}

// The README shows the option list of --help; both come from the option table only if they agree.
TEST(cli_options, readme_lists_the_options_as_help_does) {
    std::ifstream file(VANDREL_README);
    ASSERT_TRUE(file) << VANDREL_README;
    const std::string readme{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::string start = "```\nvandrel-convert [OPTION]... PICTURE...\n\n";
    const auto begin = readme.find(start);
    ASSERT_NE(begin, std::string::npos) << "the README has no block starting with the usage line";
    const auto end = readme.find("```\n", begin + start.size());
    EXPECT_EQ(readme.substr(begin + start.size(), end - begin - start.size()), OptionListText());
}
