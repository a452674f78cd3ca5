// Fails the 32-bit run when the compiler flags did not give a 32-bit size_t after all.
#include <cstddef>
#include <cstdio>

int main() {
    std::printf("size_t: %zu bits\n", sizeof(std::size_t) * 8);
    return sizeof(std::size_t) == 4 ? 0 : 1;
}
