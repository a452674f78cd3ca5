// Floyd-Steinberg diffusion with the error kept in integer sixteenths, two rows of it at a time.
#include "dither.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

// For every 8-bit value, the shown colour of the level nearest to it (the darker one on a tie). The
// error is measured against what the display shows, not against the level's bits.
template <unsigned kBits>
constexpr std::array<std::uint8_t, 256> MakeNearestShown() {
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        int best = 0;
        for (unsigned level = 0; level < (1u << kBits); ++level) {
            const int shown = ShownLevel(level, kBits);
            const int distance = shown > value ? shown - value : value - shown;
            const int bestDistance = best > value ? best - value : value - best;
            if (distance < bestDistance) best = shown;
        }
        table[value] = static_cast<std::uint8_t>(best);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kNearestShown6 = MakeNearestShown<6>();
constexpr std::array<std::uint8_t, 256> kNearestShown5 = MakeNearestShown<5>();

const std::uint8_t* NearestShown(unsigned bits) { return bits == 5 ? kNearestShown5.data() : kNearestShown6.data(); }

constexpr std::uint32_t kRunPixels = 1024;
// Values and errors are in sixteenths, so the 7/16, 3/16, 5/16 and 1/16 shares lose little to rounding.
constexpr int kLargest = 255 * 16;

// Diffuses one row in the direction kStep (3: left to right, -3: right to left). `error` and `below`
// point at column 0 of rows that reach one column beyond either side.
template <int kStep>
void DiffuseRow(std::uint8_t* row, std::uint32_t width, std::int32_t* error, std::int32_t* below,
                const std::uint8_t* const* nearest) {
    std::ptrdiff_t at = kStep > 0 ? 0 : 3 * (static_cast<std::ptrdiff_t>(width) - 1);
    for (std::uint32_t i = 0; i < width; ++i, at += kStep) {
        for (int channel = 0; channel < 3; ++channel) {
            const std::ptrdiff_t k = at + channel;
            const int value = std::clamp(row[k] * 16 + error[k], 0, kLargest);
            const int shown = nearest[channel][(value + 8) >> 4];
            row[k] = static_cast<std::uint8_t>(shown);
            // The shares are rounded; the last takes what rounding left, so no error is lost or made.
            const int left = value - shown * 16;
            const int ahead = (7 * left + 8) >> 4;
            const int behindBelow = (3 * left + 8) >> 4;
            const int straightBelow = (5 * left + 8) >> 4;
            error[k + kStep] += ahead;
            below[k - kStep] += behindBelow;
            below[k] += straightBelow;
            below[k + kStep] += left - ahead - behindBelow - straightBelow;
        }
    }
}

}  // namespace

std::unique_ptr<DitheredPicture> DitheredPicture::Make(const Picture& source, PixelLayout layout) {
    try {
        return std::unique_ptr<DitheredPicture>(new DitheredPicture(source, layout));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

DitheredPicture::DitheredPicture(const Picture& source, PixelLayout layout)
    : source_(source),
      nearest_{NearestShown(OuterChannelBits(layout)), NearestShown(GreenChannelBits(layout)),
               NearestShown(OuterChannelBits(layout))},
      row_(3 * std::size_t{source.Width()}),
      error_(3 * (std::size_t{source.Width()} + 2)),
      nextError_(error_.size()) {}

void DitheredPicture::Restart() const {
    std::fill(error_.begin(), error_.end(), 0);
    std::fill(nextError_.begin(), nextError_.end(), 0);
    rowsMade_ = 0;
}

void DitheredPicture::ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const {
    if (rowsMade_ == 0 || y + 1 < rowsMade_) Restart();
    while (rowsMade_ <= y) MakeRow(rowsMade_++);
    std::memcpy(rgb, row_.data() + 3 * std::size_t{x}, 3 * std::size_t{count});
}

void DitheredPicture::MakeRow(std::uint32_t y) const {
    const std::uint32_t width = Width();
    for (std::uint32_t x = 0; x < width; x += kRunPixels)
        source_.ReadRun(x, y, std::min(kRunPixels, width - x), row_.data() + 3 * std::size_t{x});
    // Serpentine order keeps the error from drifting one way along every row.
    if (y % 2 == 0)
        DiffuseRow<3>(row_.data(), width, error_.data() + 3, nextError_.data() + 3, nearest_);
    else
        DiffuseRow<-3>(row_.data(), width, error_.data() + 3, nextError_.data() + 3, nearest_);
    error_.swap(nextError_);
    std::fill(nextError_.begin(), nextError_.end(), 0);
}
