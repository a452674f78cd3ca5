// The platform-specific part of reading: opening without waiting on a pipe, whether a stream is a
// folder, and how much it still holds.
#include "stream_info.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#define VANDREL_FSTAT _fstat64
#define VANDREL_STAT_T struct _stat64
#define VANDREL_FILENO _fileno
#define VANDREL_TELL _ftelli64
#else
#include <fcntl.h>
#include <unistd.h>
#define VANDREL_FSTAT fstat
#define VANDREL_STAT_T struct stat
#define VANDREL_FILENO fileno
#define VANDREL_TELL ftello
#endif

StreamInfo QueryStream(std::FILE* stream) {
    StreamInfo info;
    VANDREL_STAT_T status{};
    if (VANDREL_FSTAT(VANDREL_FILENO(stream), &status) != 0) return info;
    if ((status.st_mode & S_IFMT) == S_IFDIR) {
        info.isDirectory = true;
        return info;
    }
    if ((status.st_mode & S_IFMT) != S_IFREG) return info;  // pipes and devices: length unknown
    const auto position = VANDREL_TELL(stream);
    if (position < 0 || status.st_size < position) return info;
    info.remainingBytes = static_cast<std::uint64_t>(status.st_size - position);
    return info;
}

std::FILE* OpenForReading(const char* path) {
#ifdef _WIN32
    return std::fopen(path, "rb");
#else
    // A plain open of a named pipe waits until some process opens it for writing, for ever if none
    // does, and a window that loads a picture would freeze with it. Opened without waiting, then set
    // back to blocking reads, a pipe whose writer is still coming is read as it arrives, and one
    // without any writer ends at once.
    const int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "rb");
    if (!stream) close(fd);
    return stream;
#endif
}
