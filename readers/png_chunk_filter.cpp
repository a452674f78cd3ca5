// PNG decoders may ignore ancillary chunks; the colours here are converted as stored, so only tRNS
// among them changes a pixel.
#include "png_chunk_filter.h"

#include <spng.h>

#include <cstring>

namespace {

bool Kept(const std::uint8_t* type) {
    const bool critical = (type[0] & 0x20u) == 0;
    return critical || std::memcmp(type, "tRNS", 4) == 0;
}

}  // namespace

int PngChunkFilter::Read(spng_ctx*, void* self, void* destination, std::size_t length) {
    return static_cast<PngChunkFilter*>(self)->Fill(static_cast<std::uint8_t*>(destination), length);
}

int PngChunkFilter::Fill(std::uint8_t* destination, std::size_t length) {
    while (length > 0) {
        if (headerLeft_ > 0) {
            const std::size_t step = length < headerLeft_ ? length : headerLeft_;
            std::memcpy(destination, header_ + (8 - headerLeft_), step);
            headerLeft_ -= step;
            destination += step;
            length -= step;
            continue;
        }
        if (passing_ > 0) {
            const std::size_t step = length < passing_ ? length : static_cast<std::size_t>(passing_);
            if (std::fread(destination, 1, step, file_) != step)
                return std::ferror(file_) ? SPNG_IO_ERROR : SPNG_IO_EOF;
            passing_ -= step;
            destination += step;
            length -= step;
            continue;
        }
        if (const int error = NextChunk()) return error;
    }
    return 0;
}

int PngChunkFilter::NextChunk() {
    for (;;) {
        if (std::fread(header_, 1, 8, file_) != 8) return std::ferror(file_) ? SPNG_IO_ERROR : SPNG_IO_EOF;
        const std::uint32_t length = std::uint32_t{header_[0]} << 24 | std::uint32_t{header_[1]} << 16 |
                                     std::uint32_t{header_[2]} << 8 | header_[3];
        // A length past the format's largest is passed on for libspng to refuse.
        if (Kept(header_ + 4) || length > 0x7FFFFFFFu) {
            headerLeft_ = 8;
            passing_ = std::uint64_t{length} + 4u;  // data and CRC
            return 0;
        }
        // Skipped by seeking; a chunk cut off shows as the end of the file at the next read.
        if (std::fseek(file_, static_cast<long>(length) + 4, SEEK_CUR) != 0) return SPNG_IO_ERROR;
    }
}
