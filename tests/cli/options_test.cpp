// Command-line parsing: option spellings, what ends in a usage error, and what help and version win over.
#include <gtest/gtest.h>

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
    const std::vector<std::pair<std::string, PixelLayout>> layouts{{"rgb666", PixelLayout::Rgb666},
                                                                   {"rgb666-high", PixelLayout::Rgb666High},
                                                                   {"rgb565", PixelLayout::Rgb565}};
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
