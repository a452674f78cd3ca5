// PipeFeed: a FIFO in a private temporary folder, written by one short-lived thread per use.
#include "pipe_feed.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void Die(const char* what) {
    std::perror(what);
    std::abort();
}
}  // namespace

PipeFeed::PipeFeed() {
    // A reader that stops early must make the writer's write fail, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vandrel-pipe-XXXXXX";
    if (!mkdtemp(pattern.data())) Die("PipeFeed: mkdtemp");
    folder_ = pattern;
    path_ = folder_ + "/pipe";
    if (mkfifo(path_.c_str(), 0600) != 0) Die("PipeFeed: mkfifo");
}

PipeFeed::~PipeFeed() {
    unlink(path_.c_str());
    rmdir(folder_.c_str());
}

void PipeFeed::Start(const std::uint8_t* data, std::size_t size) {
    // The loader's open does not wait for a writer, so the write end must exist before the loader
    // runs: otherwise a loader that opens before the thread does sees a pipe that ends at once. A read
    // end held here lets the write end open at once and keeps early bytes in the pipe until the loader
    // opens it.
    heldReadEnd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (heldReadEnd_ < 0) Die("PipeFeed: open for reading");
    const int fd = open(path_.c_str(), O_WRONLY);
    if (fd < 0) Die("PipeFeed: open for writing");
    writer_ = std::thread([fd, data, size] {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t wrote = write(fd, data + done, size - done);
            if (wrote <= 0) break;
            done += static_cast<std::size_t>(wrote);
        }
        close(fd);
    });
}

void PipeFeed::Finish() {
    // Once the held read end is closed, a write blocked on a full pipe whose loader stopped early
    // fails instead of waiting for ever.
    close(heldReadEnd_);
    heldReadEnd_ = -1;
    writer_.join();
}
