// Chaining the steps: only those the geometry asks for are made, so a picture that is neither scaled
// nor turned reads as fast as before.
#include "convert/display_picture.h"

#include <algorithm>
#include <new>

#include "convert/placed_picture.h"
#include "convert/scaled_picture.h"
#include "convert/turned_picture.h"

namespace {

class DisplayPicture final : public Picture {
public:
    std::uint32_t Width() const override { return last_->Width(); }
    std::uint32_t Height() const override { return last_->Height(); }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        last_->ReadRun(x, y, count, rgb);
    }

    // Each step reads the one made before it, the source first.
    bool Build(const Picture& source, const DisplayGeometry& geometry, const FitPlan& plan, RgbColour background);

private:
    std::unique_ptr<Picture> scaled_, placed_, turned_;
    const Picture* last_ = nullptr;
};

// The part of the scaled picture that shows on the display.
ScaleTarget VisiblePart(const FitPlan& plan) {
    ScaleTarget target;
    target.scaledWidth = static_cast<std::uint32_t>(plan.scaledWidth);
    target.scaledHeight = static_cast<std::uint32_t>(plan.scaledHeight);
    target.left = static_cast<std::uint32_t>(std::max<std::int64_t>(-plan.left, 0));
    target.top = static_cast<std::uint32_t>(std::max<std::int64_t>(-plan.top, 0));
    target.width = static_cast<std::uint32_t>(std::min(plan.scaledWidth - target.left, plan.width));
    target.height = static_cast<std::uint32_t>(std::min(plan.scaledHeight - target.top, plan.height));
    return target;
}

bool DisplayPicture::Build(const Picture& source, const DisplayGeometry& geometry, const FitPlan& plan,
                           RgbColour background) {
    last_ = &source;
    const bool scales = plan.Scales(source.Width(), source.Height());
    if (scales) {
        const ScaleTarget target = VisiblePart(plan);
        scaled_ = geometry.filter == ScaleFilter::Nearest ? MakeNearestScaled(source, target)
                                                          : MakeSmoothScaled(source, target);
        if (!scaled_) return false;
        last_ = scaled_.get();
    }
    if (plan.left != 0 || plan.top != 0 || plan.width != last_->Width() || plan.height != last_->Height()) {
        // The scaled part is already cut to what shows; an unscaled source is cut here.
        placed_ = std::make_unique<PlacedPicture>(*last_, static_cast<std::uint32_t>(plan.width),
                                                  static_cast<std::uint32_t>(plan.height),
                                                  scales ? std::max<std::int64_t>(plan.left, 0) : plan.left,
                                                  scales ? std::max<std::int64_t>(plan.top, 0) : plan.top, background);
        last_ = placed_.get();
    }
    const Turn turn = StoredTurn(geometry.rotation, geometry.flip);
    if (!turn.IsNone()) {
        turned_ = TurnedPicture::Make(*last_, turn);
        if (!turned_) return false;
        last_ = turned_.get();
    }
    return true;
}

}  // namespace

std::uint64_t DisplayStepsHeldBytes(const DisplayGeometry& geometry, const FitPlan& plan) {
    return TurnedPicture::HeldBytes(plan.width, plan.height, StoredTurn(geometry.rotation, geometry.flip));
}

std::unique_ptr<Picture> MakeDisplayPicture(const Picture& source, const DisplayGeometry& geometry, const FitPlan& plan,
                                            RgbColour background) {
    try {
        auto picture = std::make_unique<DisplayPicture>();
        if (!picture->Build(source, geometry, plan, background)) return nullptr;
        return picture;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
