// Large-page advice for pixel blocks; Linux only, a no-op elsewhere.
#include "memory_advice.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void AdviseLargeBlock(void* block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only the whole 2 MiB pages inside the block can be advised. Worked out in 64 bits: with 32-bit
    // addresses, rounding up a block near the top of the address space would wrap to its bottom.
    constexpr std::uint64_t kLargePage = std::uint64_t{2} << 20;
    const std::uint64_t begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uint64_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uint64_t last = (begin + bytes) & ~(kLargePage - 1);
    if (last > first) {
        void* const start = reinterpret_cast<void*>(static_cast<std::uintptr_t>(first));
        madvise(start, static_cast<std::size_t>(last - first), MADV_HUGEPAGE);
    }
#else
    (void)block;
    (void)bytes;
#endif
}
