// Internal: what the platform can tell about an open input stream. The only platform-specific code of
// the module lives behind this function.
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
