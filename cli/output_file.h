// Taking back an output that could not be finished, and the system's reasons for failures.
#pragma once

#include <string>

// Removes what a failed write left at `path`, but only when it is a regular file: a device or pipe
// named as the output (say /dev/full) holds nothing partial and must never be deleted. Through a
// symbolic link, the file that received the bytes is the one removed.
void RemovePartialFile(const std::string& path);

// "Reason" text of an OS error number, for messages.
std::string OsErrorText(int error);
