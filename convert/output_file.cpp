// Output file policy on the POSIX open and the portable file-system calls.
#include "convert/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Some C libraries leave errno alone on a failed flush; an unexplained failure is still an I/O error.
int SystemErrorOr(int error) { return error != 0 ? error : EIO; }

}  // namespace

OpenedOutput OpenOutputFile(const std::string& path) {
    // Without O_NONBLOCK, opening a pipe for writing waits until a reader comes; with it, a pipe that
    // nobody reads fails at once with ENXIO. Regular files and devices open as they always did.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return {nullptr, SystemErrorOr(errno)};
    // Writes then wait for a slow reader as they always did, rather than failing with EAGAIN.
    const int flags = fcntl(fd, F_GETFL);
    std::FILE* file = nullptr;
    if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = SystemErrorOr(errno);
        close(fd);
        return {nullptr, error};
    }
    return {file, 0};
}

int CloseOutputFile(std::FILE* file) {
    errno = 0;
    return std::fclose(file) == 0 ? 0 : SystemErrorOr(errno);
}

bool IsSameFile(const std::string& first, const std::string& second) {
    std::error_code unknown;
    return fs::equivalent(first, second, unknown) && !unknown;
}

void RemovePartialOutput(const std::string& path) {
    std::error_code unknown;
    // status() follows links: it tells what actually received the bytes.
    if (!fs::is_regular_file(fs::status(path, unknown))) return;
    const fs::path target = fs::canonical(path, unknown);
    if (unknown) return;
    // Removing the name alone would leave the partial bytes to any other hard link to the file.
    fs::resize_file(target, 0, unknown);
    fs::remove(target, unknown);
}
