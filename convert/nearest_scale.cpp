// The nearest-pixel scaler: each output pixel one source pixel, read through a row of the source.
#include <new>
#include <vector>

#include "convert/scaled_picture.h"

namespace {

// The source pixel that output pixel j of an axis scaled from `in` to `out` pixels takes.
std::uint32_t NearestSource(std::uint64_t in, std::uint64_t out, std::uint64_t j) {
    return static_cast<std::uint32_t>((2 * j + 1) * in / (2 * out));
}

class NearestScaledPicture final : public Picture {
public:
    NearestScaledPicture(const Picture& source, const ScaleTarget& target) : source_(source), target_(target) {
        columns_.reserve(target.width);
        for (std::uint32_t x = 0; x < target.width; ++x)
            columns_.push_back(NearestSource(source.Width(), target.scaledWidth, std::uint64_t{target.left} + x));
        firstColumn_ = columns_.front();
        row_.resize(3 * (std::size_t{columns_.back()} - firstColumn_ + 1));
    }

    std::uint32_t Width() const override { return target_.width; }
    std::uint32_t Height() const override { return target_.height; }

    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        const std::uint32_t sourceRow =
            NearestSource(source_.Height(), target_.scaledHeight, std::uint64_t{target_.top} + y);
        if (sourceRow != readRow_) {
            source_.ReadRun(firstColumn_, sourceRow, static_cast<std::uint32_t>(row_.size() / 3), row_.data());
            readRow_ = sourceRow;
        }
        for (std::uint32_t i = x; i < x + count; ++i, rgb += 3) {
            const std::uint8_t* pixel = row_.data() + 3 * std::size_t{columns_[i] - firstColumn_};
            rgb[0] = pixel[0];
            rgb[1] = pixel[1];
            rgb[2] = pixel[2];
        }
    }

private:
    const Picture& source_;
    ScaleTarget target_;
    std::vector<std::uint32_t> columns_;
    std::uint32_t firstColumn_ = 0;
    mutable std::vector<std::uint8_t> row_;
    mutable std::uint32_t readRow_ = UINT32_MAX;
};

}  // namespace

std::unique_ptr<Picture> MakeNearestScaled(const Picture& source, const ScaleTarget& target) {
    if (target.width == 0 || target.height == 0 || source.Width() == 0 || source.Height() == 0) return nullptr;
    try {
        return std::make_unique<NearestScaledPicture>(source, target);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
