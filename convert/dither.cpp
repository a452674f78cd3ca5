// Floyd-Steinberg diffusion with the error kept in integer sixteenths, two rows of it at a time.
#include "convert/dither.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>

#include "pixel_runs.h"

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

// Values and errors are in sixteenths, so the 7/16, 3/16, 5/16 and 1/16 shares lose little to rounding.
constexpr int kLargest = 255 * 16;

// A value entering a pixel is its own (0..kLargest) and the error from above, which the first pass
// keeps within kMargin of that range, and the 7/16 share from the pixel before it (less than 128):
// the table of steps covers all of that, so the inner loop needs no bounds.
constexpr int kMargin = 128;
constexpr int kStepsBelow = 2 * kMargin;
constexpr int kStepCount = kLargest + 1 + 2 * kStepsBelow;

// What a channel value turns into: the shown colour of the level nearest to it (clamped to the
// channel's range), and the difference split for the next pixel of the row and for the pixels below,
// behind, straight down and ahead. The shares are rounded and the last takes what the others left, so
// no error is lost or made. Looked up rather than worked out: this is the inner loop of the whole
// diffusion.
struct Step {
    std::uint8_t shown;
    std::int8_t ahead;
    std::int8_t behindBelow;
    std::int8_t straightBelow;
    std::int8_t aheadBelow;
};

template <unsigned kBits>
constexpr std::array<Step, kStepCount> MakeSteps() {
    const std::array<std::uint8_t, 256> nearest = MakeNearestShown<kBits>();
    std::array<Step, kStepCount> steps{};
    for (int index = 0; index < kStepCount; ++index) {
        const int value = std::clamp(index - kStepsBelow, 0, kLargest);
        const int shown = nearest[(value + 8) >> 4];
        const int left = value - shown * 16;
        const int ahead = (7 * left + 8) >> 4;
        const int behindBelow = (3 * left + 8) >> 4;
        const int straightBelow = (5 * left + 8) >> 4;
        steps[index] = {static_cast<std::uint8_t>(shown), static_cast<std::int8_t>(ahead),
                        static_cast<std::int8_t>(behindBelow), static_cast<std::int8_t>(straightBelow),
                        static_cast<std::int8_t>(left - ahead - behindBelow - straightBelow)};
    }
    return steps;
}

// For every level the layouts keep, the difference never exceeds half a level and a rounding, so every
// share fits its byte, and the 7/16 share stays within the margin.
template <unsigned kBits>
constexpr bool SharesFit() {
    const std::array<std::uint8_t, 256> nearest = MakeNearestShown<kBits>();
    for (int value = 0; value <= kLargest; ++value) {
        const int left = value - nearest[(value + 8) >> 4] * 16;
        if (7 * left + 8 >= kMargin * 16 || 7 * left + 8 < -kMargin * 16) return false;
    }
    return true;
}

constexpr bool AnyLayoutKeeps(unsigned bits) {
    for (const LayoutDescription& layout : kPixelLayouts)
        if (layout.first.bits == bits || layout.green.bits == bits || layout.last.bits == bits) return true;
    return false;
}

// The steps of a channel of kBits bits, made only for the bit counts some layout keeps.
template <unsigned kBits>
const Step* StepsForBits() {
    if constexpr (!AnyLayoutKeeps(kBits)) {
        return nullptr;
    } else {
        static_assert(SharesFit<kBits>(), "dithering towards so few levels needs wider shares and margins");
        static constexpr std::array<Step, kStepCount> kSteps = MakeSteps<kBits>();
        return kSteps.data() + kStepsBelow;
    }
}

// The error of one channel as it moves along a row: what goes to the next pixel, and what the row
// below has gathered so far for the column just passed and for the current one.
struct Carry {
    int ahead = 0;
    int belowPassed = 0;
    int belowHere = 0;
};

// Diffuses one channel whose value with the error from above is `start`, answering its shown colour.
// Every entry of `below` is written once, as the pixel after it is passed: the share of that pixel is
// the last it gets.
template <unsigned kBits>
inline std::uint8_t Diffuse(int start, Carry& carry, std::int32_t& belowBehind) {
    const Step& step = StepsForBits<kBits>()[start + carry.ahead];
    belowBehind = carry.belowPassed + step.behindBelow;
    carry.belowPassed = carry.belowHere + step.straightBelow;
    carry.belowHere = step.aheadBelow;
    carry.ahead = step.ahead;
    return step.shown;
}

// Diffuses one row in the direction kStep (3: left to right, -3: right to left). `error` and `below`
// point at column 0 of rows that reach one column beyond either side; `error` is used up, `below` is
// written whole.
template <int kStep, unsigned kRed, unsigned kGreen, unsigned kBlue>
void DiffuseRow(std::uint8_t* row, std::uint32_t width, std::int32_t* error, std::int32_t* below) {
    // Apart from the error along the row, every value is known before the row starts, and this loop
    // has no order to keep.
    for (std::size_t k = 0; k < 3 * std::size_t{width}; ++k)
        error[k] = std::clamp(error[k] + row[k] * 16, -kMargin, kLargest + kMargin);
    Carry red, green, blue;
    std::ptrdiff_t at = kStep > 0 ? 0 : 3 * (static_cast<std::ptrdiff_t>(width) - 1);
    for (std::uint32_t i = 0; i < width; ++i, at += kStep) {
        std::uint8_t* pixel = row + at;
        const std::int32_t* start = error + at;
        std::int32_t* behind = below + at - kStep;
        pixel[0] = Diffuse<kRed>(start[0], red, behind[0]);
        pixel[1] = Diffuse<kGreen>(start[1], green, behind[1]);
        pixel[2] = Diffuse<kBlue>(start[2], blue, behind[2]);
    }
    // The last column's entry; the one beyond the edge is never read.
    const std::ptrdiff_t last = at - kStep;
    below[last] = red.belowPassed;
    below[last + 1] = green.belowPassed;
    below[last + 2] = blue.belowPassed;
}

// The bits every layout keeps of red, green and blue in either wiring; a row diffuser is made for each,
// so that the step tables' places are constants in its loop.
constexpr std::array<ChannelBits, 2 * kPixelLayoutCount> kKeptBits = [] {
    std::array<ChannelBits, 2 * kPixelLayoutCount> kept{};
    for (std::size_t i = 0; i < kPixelLayoutCount; ++i) {
        kept[2 * i] = KeptBits(kPixelLayouts[i].layout, false);
        kept[2 * i + 1] = KeptBits(kPixelLayouts[i].layout, true);
    }
    return kept;
}();

using RowDiffuser = void (*)(std::uint8_t*, std::uint32_t, std::int32_t*, std::int32_t*);

template <int kStep, std::size_t... kIndex>
constexpr std::array<RowDiffuser, sizeof...(kIndex)> MakeDiffusers(std::index_sequence<kIndex...>) {
    return {DiffuseRow<kStep, kKeptBits[kIndex].red, kKeptBits[kIndex].green, kKeptBits[kIndex].blue>...};
}

// Left to right and right to left.
constexpr auto kEveryKept = std::make_index_sequence<kKeptBits.size()>();
constexpr std::array<RowDiffuser, kKeptBits.size()> kForward = MakeDiffusers<3>(kEveryKept);
constexpr std::array<RowDiffuser, kKeptBits.size()> kBackward = MakeDiffusers<-3>(kEveryKept);

// The diffusers' index for `bits`, or kKeptBits.size() when no layout keeps them.
std::size_t DiffuserFor(ChannelBits bits) {
    std::size_t index = 0;
    while (index < kKeptBits.size() && (kKeptBits[index].red != bits.red || kKeptBits[index].green != bits.green ||
                                        kKeptBits[index].blue != bits.blue))
        ++index;
    return index;
}

}  // namespace

std::unique_ptr<DitheredPicture> DitheredPicture::Make(const Picture& source, ChannelBits bits) {
    if (DiffuserFor(bits) == kKeptBits.size()) return nullptr;
    try {
        return std::unique_ptr<DitheredPicture>(new DitheredPicture(source, bits));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

DitheredPicture::DitheredPicture(const Picture& source, ChannelBits bits)
    : source_(source),
      diffuser_(DiffuserFor(bits)),
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
    ReadRow(source_, y, row_.data());
    // Serpentine order keeps the error from drifting one way along every row.
    const RowDiffuser diffuse = y % 2 == 0 ? kForward[diffuser_] : kBackward[diffuser_];
    diffuse(row_.data(), width, error_.data() + 3, nextError_.data() + 3);
    error_.swap(nextError_);
}
