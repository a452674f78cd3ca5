// Whether this test build runs under the address sanitizer, which reserves terabytes of address
// space of its own: tests that lower the address-space limit cannot run there.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define VANDREL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANDREL_UNDER_ASAN 1
#endif
#endif
