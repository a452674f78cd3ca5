// Loads run in a child process (a gtest death test), so that an address-space cap or a timer binds
// only the child: the child's exit code is the status its load left, or 100 for an answered image.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>

#include "bitmap/bitmap.h"
#include "sanitizer_build.h"

// The sanitizer runtime reserves terabytes of address space of its own, so no cap can be set there.
#ifdef VANDREL_UNDER_ASAN
inline constexpr bool kAddressCapWorks = false;
#else
inline constexpr bool kAddressCapWorks = true;
#endif

inline constexpr std::uint64_t kSmallAddressCap = std::uint64_t{512} << 20;

struct ChildLimits {
    std::uint64_t addressSpace = 0;  // bytes; 0 for no cap
    unsigned seconds = 0;            // SIGALRM ends the child after this long; 0 for no timer
};

// Use as EXPECT_EXIT(ExitWithStatusOf(limits, load), testing::ExitedWithCode(status), ""), where
// `load` answers a new image or nullptr. A child killed by its timer exits by signal and so fails.
template <typename Load>
[[noreturn]] void ExitWithStatusOf(ChildLimits limits, Load load) {
    if (limits.addressSpace != 0) {
        const rlimit cap{static_cast<rlim_t>(limits.addressSpace), static_cast<rlim_t>(limits.addressSpace)};
        setrlimit(RLIMIT_AS, &cap);
    }
    if (limits.seconds != 0) alarm(limits.seconds);
    // No destructor runs after _exit, so nothing here may rely on one; an answered image is left.
    BitmapImage* image = load();
    _exit(image != nullptr ? 100 : LastBitmapStatus());
}
