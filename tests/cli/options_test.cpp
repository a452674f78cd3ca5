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
