// Portable file identity for the output checks.
#include "output_checks.h"

#include <filesystem>
#include <system_error>

bool IsSameFile(const std::string& first, const std::string& second) {
    std::error_code unknown;
    return std::filesystem::equivalent(first, second, unknown) && !unknown;
}
