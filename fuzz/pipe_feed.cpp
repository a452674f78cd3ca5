// PipeFeed: a FIFO in a private temporary folder, written by one short-lived thread per use.
#include "pipe_feed.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

PipeFeed::PipeFeed() {
    // A reader that stops early must make the writer's write fail, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vandrel-pipe-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("PipeFeed: mkdtemp");
        std::abort();
    }
    folder_ = pattern;
    path_ = folder_ + "/pipe";
    if (mkfifo(path_.c_str(), 0600) != 0) {
        std::perror("PipeFeed: mkfifo");
        std::abort();
    }
}

PipeFeed::~PipeFeed() {
    unlink(path_.c_str());
    rmdir(folder_.c_str());
}

void PipeFeed::Start(const std::uint8_t* data, std::size_t size) {
    writer_ = std::thread([path = path_, data, size] {
        // Blocks until the loader opens the pipe for reading.
        const int fd = open(path.c_str(), O_WRONLY);
        if (fd < 0) return;
        std::size_t done = 0;
        while (done < size) {
            const ssize_t wrote = write(fd, data + done, size - done);
            if (wrote <= 0) break;
            done += static_cast<std::size_t>(wrote);
        }
        close(fd);
    });
}

void PipeFeed::Finish() { writer_.join(); }
