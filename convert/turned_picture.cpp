// Turning and mirroring: rows read in another order or backwards, or pixels gathered from a held copy.
#include "convert/turned_picture.h"

#include <algorithm>
#include <cstring>
#include <new>

std::unique_ptr<TurnedPicture> TurnedPicture::Make(const Picture& source, Turn turn) {
    try {
        std::unique_ptr<TurnedPicture> turned(new TurnedPicture(source, turn));
        if (!turn.swapsSides) return turned;
        const std::size_t rowBytes = 3 * std::size_t{source.Width()};
        turned->held_.resize(rowBytes * source.Height());
        for (std::uint32_t y = 0; y < source.Height(); ++y)
            source.ReadRun(0, y, source.Width(), turned->held_.data() + rowBytes * y);
        return turned;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TurnedPicture::ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
    if (count == 0) return;
    const std::uint32_t width = source_.Width(), height = source_.Height();
    if (turn_.swapsSides) {
        for (std::uint32_t i = 0; i < count; ++i, rgb += 3) {
            std::uint32_t sourceX, sourceY;
            turn_.SourceOf(x + i, y, width, height, sourceX, sourceY);
            std::memcpy(rgb, held_.data() + 3 * (std::size_t{sourceY} * width + sourceX), 3);
        }
        return;
    }
    const std::uint32_t sourceY = turn_.fromBottom ? height - 1 - y : y;
    if (!turn_.fromRight) {
        source_.ReadRun(x, sourceY, count, rgb);
        return;
    }
    source_.ReadRun(width - x - count, sourceY, count, rgb);
    for (std::uint32_t i = 0, j = count - 1; i < j; ++i, --j)
        std::swap_ranges(rgb + 3 * i, rgb + 3 * i + 3, rgb + 3 * j);
}
