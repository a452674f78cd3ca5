// The whole program short of main(): parse the arguments, convert every picture, answer the exit code.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

inline constexpr int kExitConverted = 0;   // every picture converted
inline constexpr int kExitSomeFailed = 1;  // at least one picture failed; the others were converted
inline constexpr int kExitUsage = 2;       // the command line cannot be used; nothing was converted

// `arguments` are those after the program name. Help, version and "-o -" output go to `out`;
// every failure is one line on `err`, starting with the program name.
int RunCommandLine(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);
