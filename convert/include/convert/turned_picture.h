// A picture turned and mirrored: its stored pixels reordered, none changed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "picture.h"
#include "turn.h"

class TurnedPicture final : public Picture {
public:
    // nullptr when the held copy cannot be allocated. `source` must outlive the answer.
    static std::unique_ptr<TurnedPicture> Make(const Picture& source, Turn turn);

    // Bytes held for a source of these sides: a turn that swaps the sides reads the source column by
    // column, so it holds a copy read once in order; any other turn reads a row at a time.
    static std::uint64_t HeldBytes(std::uint64_t width, std::uint64_t height, Turn turn) {
        return turn.swapsSides ? 3 * width * height : 0;
    }

    std::uint32_t Width() const override { return turn_.swapsSides ? source_.Height() : source_.Width(); }
    std::uint32_t Height() const override { return turn_.swapsSides ? source_.Width() : source_.Height(); }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override;

private:
    TurnedPicture(const Picture& source, Turn turn) : source_(source), turn_(turn) {}

    const Picture& source_;
    Turn turn_;
    std::vector<std::uint8_t> held_;
};
