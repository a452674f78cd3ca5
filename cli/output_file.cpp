// Output file helpers on POSIX file-system calls.
#include "output_file.h"

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

void RemovePartialFile(const std::string& path) {
    struct stat target {};
    if (stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return;
    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::canonical(path, ignored);
    if (!ignored) std::filesystem::remove(file, ignored);
}

std::string OsErrorText(int error) { return std::strerror(error); }
