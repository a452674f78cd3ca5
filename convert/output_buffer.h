// A fixed-size staging buffer in front of a C stream: the writers put single bytes and short texts
// at a high rate, and handing each one to the stream separately costs more than the conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

class OutputBuffer {
public:
    static constexpr std::size_t kCapacity = 64 * 1024;

    explicit OutputBuffer(std::FILE* out) : out_(out) {}
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void Put(std::uint8_t byte) {
        if (used_ == kCapacity) Drain();
        data_[used_++] = byte;
    }

    // `length` is at most a few dozen bytes in every use.
    void Append(const char* text, std::size_t length) {
        if (kCapacity - used_ < length) Drain();
        std::memcpy(data_ + used_, text, length);
        used_ += length;
    }

    // Room for `length` bytes (at most kCapacity) that the caller fills and then hands over with
    // Commit; lets a writer store whole words without a bounds check per byte.
    std::uint8_t* Reserve(std::size_t length) {
        if (kCapacity - used_ < length) Drain();
        return data_ + used_;
    }
    void Commit(std::size_t length) { used_ += length; }

    // Hands everything to the stream and flushes it; false when any byte was refused on the way.
    bool Finish() {
        Drain();
        if (std::fflush(out_) != 0) ok_ = false;
        return ok_;
    }

private:
    void Drain() {
        if (used_ != 0 && std::fwrite(data_, 1, used_, out_) != used_) ok_ = false;
        used_ = 0;
    }

    std::FILE* out_;
    std::size_t used_ = 0;
    bool ok_ = true;
    std::uint8_t data_[kCapacity];
};
