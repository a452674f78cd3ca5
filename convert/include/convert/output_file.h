// The one policy for output files of both front ends: what may be opened, and what is taken back
// when an output could not be finished.
#pragma once

#include <string>

// True when both names reach the same existing file (links followed). Opening an output that is the
// picture itself for writing would empty the picture.
bool IsSameFile(const std::string& first, const std::string& second);

// Takes back what a failed write left under `path`, so that no partial output can pass for a finished
// conversion. Whatever the name leads to is removed when it is a regular file: a plain file under
// the name, or through a symbolic link the file that received the bytes (the link itself stays).
// Anything else (a device such as /dev/full, a pipe, a missing file) holds nothing partial of ours
// and is left alone.
void RemovePartialOutput(const std::string& path);
