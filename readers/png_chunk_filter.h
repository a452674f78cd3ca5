// The bytes of a PNG file as libspng is given them: every ancillary chunk but transparency left out
// unread, so text, profiles and the like can neither inflate nor be held.
#pragma once

#include <cstdint>
#include <cstdio>

struct spng_ctx;

class PngChunkFilter {
public:
    explicit PngChunkFilter(std::FILE* file) : file_(file) {}

    // libspng's read function (spng_rw_fn): exactly `length` bytes into `destination`, or an SPNG_IO_ error.
    static int Read(spng_ctx* context, void* self, void* destination, std::size_t length);

private:
    int Fill(std::uint8_t* destination, std::size_t length);
    // Reads the next chunk's length and type; skips the chunk when it is left out.
    int NextChunk();

    std::FILE* file_;
    // The file signature is passed on first.
    std::uint64_t passing_ = 8;
    // A kept chunk's length and type, waiting to be passed on.
    std::uint8_t header_[8] = {};
    std::size_t headerLeft_ = 0;
};
