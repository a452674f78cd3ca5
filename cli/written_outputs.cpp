// Earlier outputs of a batch, compared by file identity (device and inode) where the file exists.
#include "written_outputs.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace {

std::string NormalPath(const std::string& path) {
    std::error_code unknown;
    const std::filesystem::path absolute = std::filesystem::absolute(path, unknown);
    return (unknown ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

}  // namespace

std::optional<WrittenFile> WrittenOutputs::Find(const std::string& path) const {
    if (path.empty()) return std::nullopt;
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) return std::nullopt;
    const std::string normal = exists ? std::string() : NormalPath(path);
    for (const Entry& entry : entries_) {
        const bool same = exists ? entry.known && entry.device == status.st_dev && entry.inode == status.st_ino
                                 : entry.path == normal;
        if (same) return entry.file;
    }
    return std::nullopt;
}

void WrittenOutputs::Add(const std::string& path, WrittenFile file) {
    if (path.empty()) return;
    Entry entry{NormalPath(path), false, 0, 0, std::move(file)};
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        entry.known = true;
        entry.device = status.st_dev;
        entry.inode = status.st_ino;
    }
    entries_.push_back(std::move(entry));
}
