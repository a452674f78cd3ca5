// Dispatch of the parsed command line and the batch loop.
#include "cli/run_command_line.h"

#include "cli/options.h"
#include "convert_file.h"
#include "read_back_file.h"

namespace {

// Help and version are the program's answer; one that cannot be delivered is a failure.
int PrintAnswer(const std::string& text, std::FILE* out, std::FILE* err) {
    std::fputs(text.c_str(), out);
    if (std::fflush(out) == 0 && !std::ferror(out)) return kExitConverted;
    std::fprintf(err, "%s: cannot write to standard output\n", kProgramName);
    return kExitSomeFailed;
}

// --decode: one output read back into the BMP that -o names.
int ReadBackFiles(const CommandLine& line, std::FILE* err) {
    if (line.inputs.size() != 1 || !line.settings.outputPath || *line.settings.outputPath == "-") {
        std::fprintf(err, "%s: --decode reads one output back into the BMP file that -o names\n", kProgramName);
        return kExitUsage;
    }
    if (const auto message = ReadBackFile(line.inputs.front(), *line.settings.outputPath, line.settings)) {
        std::fprintf(err, "%s: %s\n", kProgramName, message->c_str());
        return kExitSomeFailed;
    }
    return kExitConverted;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
    case CommandLineAction::ShowHelp: return PrintAnswer(UsageText(), out, err);
    case CommandLineAction::ShowVersion: return PrintAnswer(VersionText(), out, err);
    case CommandLineAction::UsageError:
        std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kProgramName, line.usageError.c_str(),
                     kProgramName);
        return kExitUsage;
    case CommandLineAction::ReadBack: return ReadBackFiles(line, err);
    case CommandLineAction::Convert: break;
    }

    // A batch goes on past a failed picture; the exit code remembers it.
    int exitCode = kExitConverted;
    WrittenOutputs written;
    for (const std::string& input : line.inputs) {
        if (const auto message = ConvertFile(input, line.settings, out, written)) {
            std::fprintf(err, "%s: %s\n", kProgramName, message->c_str());
            exitCode = kExitSomeFailed;
        }
    }
    return exitCode;
}
