// Runs the built vandrel-convert through the shell and collects its exit code and both streams.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_files.h"

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// `arguments` are shell words; `before` runs in the same subshell first (a cd, a ulimit).
inline ProgramRun RunProgram(const ScratchDir& dir, const std::string& arguments, const std::string& before = "") {
    const std::string out = dir.file("run.stdout");
    const std::string err = dir.file("run.stderr");
    const std::string command =
        "(" + before + " exec '" VANDREL_CONVERT_PROGRAM "' " + arguments + ") >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ProgramRun run;
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}
