// A named pipe fed from a thread, so a path-taking loader can be given bytes through a stream whose
// length cannot be measured in advance. Shared by the tests and the fuzz targets.
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

    // Runs `load` on the pipe's path while a thread writes `data` into the pipe. `load` may open the
    // path once or not at all, and may stop reading early; the writer then gives up quietly.
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
    int heldReadEnd_ = -1;
    std::thread writer_;
};
