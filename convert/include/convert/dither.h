// Error diffusion towards the levels a pixel layout keeps, so that gradients on 32 or 64 levels a
// channel do not band. It stands between a picture and the writers as a picture of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "picture.h"
#include "pixel_layout.h"

// The source as the display shows it after Floyd-Steinberg error diffusion: every channel is one of
// the colours its kept bits show (ShownLevel), so the writers cut it to its level without loss.
// Rows are diffused in serpentine order, even rows (counted from the top row, 0) left to right and odd
// rows right to left. Integer arithmetic throughout: the same picture gives the same pixels everywhere.
//
// Each row is diffused whole when it is first asked for; rows asked in order cost one pass, and a row
// above the one last made starts the diffusion over from the top. Not safe for concurrent reads.
class DitheredPicture final : public Picture {
public:
    // nullptr when its rows cannot be allocated. `source` must outlive the answer.
    // `bits`: what the layout keeps of each channel as wired (KeptBits).
    static std::unique_ptr<DitheredPicture> Make(const Picture& source, ChannelBits bits);

    std::uint32_t Width() const override { return source_.Width(); }
    std::uint32_t Height() const override { return source_.Height(); }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override;

private:
    DitheredPicture(const Picture& source, ChannelBits bits);
    void Restart() const;
    void MakeRow(std::uint32_t y) const;

    const Picture& source_;
    // Which row diffuser serves the kept bits.
    std::size_t diffuser_;
    // The shown colours of the last row made.
    mutable std::vector<std::uint8_t> row_;
    // The error carried into the row being made and into the row below, in sixteenths of a unit: three
    // channels for each column and for one column either side, which takes what falls off the edges.
    // Each row below is written whole as its row is made.
    mutable std::vector<std::int32_t> error_;
    mutable std::vector<std::int32_t> nextError_;
    // Rows made since the top; the last of them is in row_.
    mutable std::uint32_t rowsMade_ = 0;
};
