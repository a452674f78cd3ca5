// A named pipe fed from a thread, so a path-taking loader can be given bytes through a stream whose
// length cannot be measured in advance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

class PipeFeed {
public:
    PipeFeed();
    ~PipeFeed();
    PipeFeed(const PipeFeed&) = delete;
    PipeFeed& operator=(const PipeFeed&) = delete;

    // Runs `load` on the pipe's path while a thread writes `data` into the pipe. `load` must open the
    // path exactly once; the writer gives up quietly when the reader closes early.
    template <typename Load>
    auto Feed(const std::uint8_t* data, std::size_t size, Load load) {
        Start(data, size);
        auto result = load(path_.c_str());
        Finish();
        return result;
    }

private:
    void Start(const std::uint8_t* data, std::size_t size);
    void Finish();

    std::string folder_;
    std::string path_;
    std::thread writer_;
};
