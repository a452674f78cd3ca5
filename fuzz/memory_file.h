// A scratch file that lives in memory but has a path, so path-taking loaders can be fed bytes without
// touching the disk on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // A path that opens the file afresh, from offset 0, with fopen.
    const char* path() const { return path_.c_str(); }

    // Replaces the whole content; false when it could not be written.
    bool Assign(const std::uint8_t* data, std::size_t size);

    // The current content, for files written through path().
    std::string Contents() const;

private:
    int fd_ = -1;
    std::string path_;
    bool unlinkOnClose_ = false;
};
