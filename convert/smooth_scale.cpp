// The smooth scaler, in linear light. A display's pixels add up light, not sRGB values: averaging the
// stored values of a fine black and white pattern shows it darker than it is (128, where half the
// light is 188), and every shrunk photo loses its bright detail the same way. So each value goes to
// linear light (the sRGB transfer function of IEC 61966-2-1), is averaged there, and comes back.
//
// Separable, each output row on its own: the vertical pass sums the source rows the row covers, in
// linear light, over the source columns the visible output needs; the horizontal pass makes the asked
// run from that sum. A shrinking axis takes the exact area average (each output pixel the
// coverage-weighted mean of its footprint, partial pixels by their covered fraction); a growing axis
// interpolates between the two nearest pixel centres, output pixel i being centred at
// (i + 0.5) x in / out - 0.5, clamped to the edge. Results are within 1 of the exact value in 8 bits.
#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "convert/scaled_picture.h"

namespace {

double SrgbToLinear(double value) { return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4); }

// Linear light of each 8-bit value.
const std::array<float, 256>& LinearOf() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> values{};
        for (int value = 0; value < 256; ++value) values[value] = static_cast<float>(SrgbToLinear(value / 255.0));
        return values;
    }();
    return table;
}

// Linear light in kEncodeSteps + 1 steps back to the nearest 8-bit value. The steps are fine enough
// that the steepest part of the curve (near black, 12.92 x 255 values per unit) moves less than 0.03
// of a value within one, so a looked-up value is within 0.53 of the exact one.
constexpr int kEncodeSteps = 65535;

const std::vector<std::uint8_t>& EncodedOf() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> values(kEncodeSteps + 1);
        // Value v + 1 starts where the light is that of v + 0.5: filled between those thresholds.
        int value = 0;
        for (int step = 0; step <= kEncodeSteps; ++step) {
            while (value < 255 && SrgbToLinear((value + 0.5) / 255.0) * kEncodeSteps <= step) ++value;
            values[step] = static_cast<std::uint8_t>(value);
        }
        return values;
    }();
    return table;
}

// The source pixels that make each output pixel of one axis, and their shares.
struct Taps {
    std::vector<std::uint32_t> first;  // per output pixel, its first source pixel
    std::vector<std::uint32_t> begin;  // per output pixel, the index of its first weight; one more at the end
    std::vector<float> weights;        // for consecutive source pixels from `first`
};

// The footprint [j, j + 1) x in / out in units of 1 / out of a source pixel, each source pixel
// weighted by the part of it covered.
void AddAreaTaps(std::uint64_t in, std::uint64_t out, std::uint64_t j, Taps& taps) {
    const std::uint64_t from = j * in, to = (j + 1) * in;
    const std::uint64_t first = from / out, last = (to - 1) / out;
    taps.first.push_back(static_cast<std::uint32_t>(first));
    for (std::uint64_t i = first; i <= last; ++i) {
        const std::uint64_t covered = std::min((i + 1) * out, to) - std::max(i * out, from);
        taps.weights.push_back(static_cast<float>(static_cast<double>(covered) / static_cast<double>(in)));
    }
}

// The centre (j + 0.5) x in / out - 0.5, in units of 1 / (2 x out) of a source pixel.
void AddLinearTaps(std::uint64_t in, std::uint64_t out, std::uint64_t j, Taps& taps) {
    const std::int64_t centre = static_cast<std::int64_t>((2 * j + 1) * in) - static_cast<std::int64_t>(out);
    const std::uint64_t unit = 2 * out;
    std::uint64_t i = 0;
    double fraction = 0;
    if (centre > 0) {
        i = static_cast<std::uint64_t>(centre) / unit;
        fraction = static_cast<double>(static_cast<std::uint64_t>(centre) % unit) / static_cast<double>(unit);
    }
    if (i >= in - 1) {
        i = in - 1;
        fraction = 0;
    }
    taps.first.push_back(static_cast<std::uint32_t>(i));
    taps.weights.push_back(static_cast<float>(1 - fraction));
    if (fraction > 0) taps.weights.push_back(static_cast<float>(fraction));
}

// Taps of output pixels [start, start + count) of an axis scaled from `in` to `out` pixels.
Taps AxisTaps(std::uint32_t in, std::uint32_t out, std::uint32_t start, std::uint32_t count) {
    Taps taps;
    taps.first.reserve(count);
    taps.begin.reserve(std::size_t{count} + 1);
    for (std::uint64_t j = start; j < std::uint64_t{start} + count; ++j) {
        taps.begin.push_back(static_cast<std::uint32_t>(taps.weights.size()));
        if (out < in) {
            AddAreaTaps(in, out, j, taps);
        } else if (out > in) {
            AddLinearTaps(in, out, j, taps);
        } else {
            taps.first.push_back(static_cast<std::uint32_t>(j));
            taps.weights.push_back(1.0f);
        }
    }
    taps.begin.push_back(static_cast<std::uint32_t>(taps.weights.size()));
    return taps;
}

class SmoothScaledPicture final : public Picture {
public:
    SmoothScaledPicture(const Picture& source, const ScaleTarget& target)
        : source_(source),
          width_(target.width),
          height_(target.height),
          columns_(AxisTaps(source.Width(), target.scaledWidth, target.left, target.width)),
          rows_(AxisTaps(source.Height(), target.scaledHeight, target.top, target.height)),
          firstColumn_(columns_.first.front()),
          columnCount_(columns_.first.back() + (columns_.begin.back() - columns_.begin[target.width - 1]) -
                       firstColumn_),
          stored_(3 * std::size_t{columnCount_}),
          sum_(stored_.size()),
          toLinear_(LinearOf()),
          toStored_(EncodedOf()) {}

    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }

    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        if (y != summedRow_) SumRow(y);
        const std::uint8_t* const encode = toStored_.data();
        for (std::uint32_t i = x; i < x + count; ++i, rgb += 3) {
            const float* pixel = sum_.data() + 3 * std::size_t{columns_.first[i] - firstColumn_};
            float red = 0, green = 0, blue = 0;
            for (std::uint32_t tap = columns_.begin[i]; tap < columns_.begin[i + 1]; ++tap, pixel += 3) {
                const float weight = columns_.weights[tap];
                red += weight * pixel[0];
                green += weight * pixel[1];
                blue += weight * pixel[2];
            }
            rgb[0] = encode[Step(red)];
            rgb[1] = encode[Step(green)];
            rgb[2] = encode[Step(blue)];
        }
    }

private:
    // Sums cannot leave 0..1 by more than float rounding; clamping keeps the lookup in the table.
    static int Step(float light) { return std::clamp(static_cast<int>(light * kEncodeSteps + 0.5f), 0, kEncodeSteps); }

    // The vertical pass for output row y, over the source columns the visible output reads.
    void SumRow(std::uint32_t y) const {
        const float* const linear = toLinear_.data();
        const std::uint8_t* const stored = stored_.data();
        float* const sum = sum_.data();
        const std::size_t values = stored_.size();
        std::uint32_t sourceRow = rows_.first[y];
        for (std::uint32_t tap = rows_.begin[y]; tap < rows_.begin[y + 1]; ++tap, ++sourceRow) {
            source_.ReadRun(firstColumn_, sourceRow, columnCount_, stored_.data());
            const float weight = rows_.weights[tap];
            // The first row sets the sum, saving a pass to clear it.
            if (tap == rows_.begin[y]) {
                for (std::size_t k = 0; k < values; ++k) sum[k] = weight * linear[stored[k]];
            } else {
                for (std::size_t k = 0; k < values; ++k) sum[k] += weight * linear[stored[k]];
            }
        }
        summedRow_ = y;
    }

    const Picture& source_;
    std::uint32_t width_, height_;
    Taps columns_, rows_;
    std::uint32_t firstColumn_, columnCount_;
    mutable std::vector<std::uint8_t> stored_;
    mutable std::vector<float> sum_;
    mutable std::uint32_t summedRow_ = UINT32_MAX;
    const std::array<float, 256>& toLinear_;
    const std::vector<std::uint8_t>& toStored_;
};

}  // namespace

std::unique_ptr<Picture> MakeSmoothScaled(const Picture& source, const ScaleTarget& target) {
    if (target.width == 0 || target.height == 0 || source.Width() == 0 || source.Height() == 0) return nullptr;
    try {
        return std::make_unique<SmoothScaledPicture>(source, target);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
