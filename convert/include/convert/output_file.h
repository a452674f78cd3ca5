// The one policy for output files of both front ends: how they are opened and closed, what may be
// opened, and what is taken back when an output could not be finished.
#pragma once

#include <cstdio>
#include <string>

struct OpenedOutput {
    std::FILE* file = nullptr;  // the caller closes it with CloseOutputFile
    int systemError = 0;        // why it could not be opened, when file is nullptr
};

// Opens `path` for binary writing as "wb" does (created, or an existing file cut to length 0),
// except that a named pipe nobody reads is refused with ENXIO instead of waited on for ever.
OpenedOutput OpenOutputFile(const std::string& path);

// Closes the file; 0, or the system's error number for a failed final flush (EIO when it gave none).
int CloseOutputFile(std::FILE* file);

// True when both names reach the same existing file (links followed). Opening an output that is the
// picture itself for writing would empty the picture.
bool IsSameFile(const std::string& first, const std::string& second);

// Takes back what a failed write left under `path`, so that no partial output can pass for a finished
// conversion. Whatever the name leads to is emptied and removed when it is a regular file: a plain
// file under the name, or through a symbolic link the file that received the bytes (the link itself
// stays); emptied first, since another hard link to it would otherwise keep the partial bytes.
// Anything else (a device such as /dev/full, a pipe, a missing file) holds nothing partial of ours
// and is left alone.
void RemovePartialOutput(const std::string& path);
