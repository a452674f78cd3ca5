// vandrel-convert: converts pictures of every kind Qt reads into display data from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/run_command_line.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCommandLine(arguments, stdout, stderr);
}
