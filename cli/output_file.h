// File-system questions around output files: is a path the same file as another, and taking back
// an output that could not be finished.
#pragma once

#include <string>

// True when both paths exist and name the same file (through links too).
bool SameFile(const std::string& first, const std::string& second);

// Removes what a failed write left at `path`, but only when it is a regular file: a device or pipe
// named as the output (say /dev/full) holds nothing partial and must never be deleted. Through a
// symbolic link, the file that received the bytes is the one removed.
void RemovePartialFile(const std::string& path);

// "Reason" text of an OS error number, for messages.
std::string OsErrorText(int error);
