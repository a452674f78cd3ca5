// Internal: allocations sized in 64 bits. Where size_t is 32 bits a size worked out for a block could
// wrap to a small number and the block come out shorter than what is then written into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Whether `bytes` survives the conversion to size_t on this target.
inline bool FitsSizeT(std::uint64_t bytes) { return static_cast<std::size_t>(bytes) == bytes; }

// malloc, calloc and realloc of `bytes`: nullptr when the size does not fit size_t or the memory is
// not there. A block of 0 bytes is given one, since malloc(0) may answer nullptr, which would pass
// for no memory.
inline void* AllocateBlock(std::uint64_t bytes) {
    if (!FitsSizeT(bytes)) return nullptr;
    return std::malloc(bytes > 0 ? static_cast<std::size_t>(bytes) : 1u);
}

inline void* AllocateZeroedBlock(std::uint64_t bytes) {
    if (!FitsSizeT(bytes)) return nullptr;
    return std::calloc(bytes > 0 ? static_cast<std::size_t>(bytes) : 1u, 1);
}

// The block is left as it was when nullptr is answered.
inline void* ResizeBlock(void* block, std::uint64_t bytes) {
    if (!FitsSizeT(bytes)) return nullptr;
    return std::realloc(block, bytes > 0 ? static_cast<std::size_t>(bytes) : 1u);
}
