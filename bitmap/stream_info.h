// Internal: opening an input stream, and what the platform can tell about it. The only
// platform-specific code of the module lives behind these two functions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

struct StreamInfo {
    bool isDirectory = false;
    // Bytes from the current position to the end, when the stream is a regular file.
    std::optional<std::uint64_t> remainingBytes;
};

StreamInfo QueryStream(std::FILE* stream);

// Opens `path` for binary reading as fopen(path, "rb") does, except that a named pipe is opened
// without waiting for a writer: one that has none reads as a stream that ends at once.
std::FILE* OpenForReading(const char* path);
