// MemoryFile: an anonymous memory file reached through /proc/self/fd, or a file in /dev/shm (or the
// temporary folder) where anonymous memory files are not available.
#include "memory_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

MemoryFile::MemoryFile() {
#ifdef MFD_CLOEXEC
    fd_ = memfd_create("vandrel-fuzz", MFD_CLOEXEC);
    if (fd_ >= 0) {
        path_ = "/proc/self/fd/" + std::to_string(fd_);
        if (access(path_.c_str(), R_OK | W_OK) == 0) return;
        close(fd_);
        fd_ = -1;
    }
#endif
    const char* folders[] = {"/dev/shm", std::getenv("TMPDIR"), "/tmp"};
    for (const char* folder : folders) {
        if (!folder) continue;
        std::string pattern = std::string(folder) + "/vandrel-fuzz-XXXXXX";
        fd_ = mkstemp(pattern.data());
        if (fd_ >= 0) {
            path_ = pattern;
            unlinkOnClose_ = true;
            return;
        }
    }
    std::fprintf(stderr, "MemoryFile: no scratch file could be created\n");
    std::abort();
}

MemoryFile::~MemoryFile() {
    if (fd_ >= 0) close(fd_);
    if (unlinkOnClose_) unlink(path_.c_str());
}

bool MemoryFile::Assign(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(fd_, 0) != 0) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

std::string MemoryFile::Contents() const {
    struct stat status {};
    if (fstat(fd_, &status) != 0) return {};
    std::string contents(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t got = pread(fd_, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    contents.resize(done);
    return contents;
}
