// The files one call of the program has written so far, so that a later picture of the same batch
// never replaces one of them ("pic.gif pic.pgm" would both be converted to "pic.bmc").
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

enum class WrittenKind { Output, Preview };

struct WrittenFile {
    WrittenKind kind = WrittenKind::Output;
    std::string picture;  // the input it was written for
};

class WrittenOutputs {
public:
    // What was written earlier where writing `path` would go: the same file where `path` exists, else
    // the same path. A device or pipe under `path` is never replaced by writing to it, so it matches
    // nothing; nor does an empty path (standard output).
    std::optional<WrittenFile> Find(const std::string& path) const;
    // Remembers that `path` now holds what was written for `file.picture`.
    void Add(const std::string& path, WrittenFile file);

private:
    struct Entry {
        std::string path;  // absolute, without "." and ".." steps
        bool known = false;
        dev_t device = 0;
        ino_t inode = 0;
        WrittenFile file;
    };
    std::vector<Entry> entries_;
};
