// Output file policy on the portable file-system calls.
#include "convert/output_file.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool IsSameFile(const std::string& first, const std::string& second) {
    std::error_code unknown;
    return fs::equivalent(first, second, unknown) && !unknown;
}

void RemovePartialOutput(const std::string& path) {
    std::error_code unknown;
    // status() follows links: it tells what actually received the bytes.
    if (!fs::is_regular_file(fs::status(path, unknown))) return;
    const fs::path target = fs::canonical(path, unknown);
    if (!unknown) fs::remove(target, unknown);
}
