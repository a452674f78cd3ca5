// Fitting by whole numbers only, so the same picture and sides give the same plan everywhere.
#include "convert/display_fit.h"

namespace {

// (display - scaled) / 2 rounded down, also when the scaled side is the larger.
std::int64_t CentringOffset(std::uint64_t display, std::uint64_t scaled) {
    const std::int64_t difference = static_cast<std::int64_t>(display) - static_cast<std::int64_t>(scaled);
    return difference >= 0 ? difference / 2 : -((-difference + 1) / 2);
}

}  // namespace

std::uint64_t ScaledLength(std::uint64_t length, std::uint64_t numerator, std::uint64_t denominator) {
    const std::uint64_t rounded = (2 * length * numerator + denominator) / (2 * denominator);
    return rounded == 0 ? 1 : rounded;
}

FitPlan PlanFit(const DisplayGeometry& geometry, std::uint32_t pictureWidth, std::uint32_t pictureHeight) {
    const std::uint64_t width = pictureWidth, height = pictureHeight;
    FitPlan plan{width, height, width, height, 0, 0};
    if (geometry.width == 0 && geometry.height == 0) return plan;
    if (geometry.height == 0) {
        plan.width = plan.scaledWidth = geometry.width;
        plan.height = plan.scaledHeight = ScaledLength(height, geometry.width, width);
        return plan;
    }
    if (geometry.width == 0) {
        plan.height = plan.scaledHeight = geometry.height;
        plan.width = plan.scaledWidth = ScaledLength(width, geometry.height, height);
        return plan;
    }
    plan.width = plan.scaledWidth = geometry.width;
    plan.height = plan.scaledHeight = geometry.height;
    if (geometry.fit == Fit::Stretch) return plan;
    // The width decides when display width / picture width is the smaller ratio (contain) or the
    // larger (cover); equal ratios scale to the display's sides exactly either way.
    const std::uint64_t byWidth = plan.width * height, byHeight = plan.height * width;
    if (byWidth == byHeight) return plan;
    if ((byWidth < byHeight) == (geometry.fit == Fit::Contain))
        plan.scaledHeight = ScaledLength(height, plan.width, width);
    else
        plan.scaledWidth = ScaledLength(width, plan.height, height);
    plan.left = CentringOffset(plan.width, plan.scaledWidth);
    plan.top = CentringOffset(plan.height, plan.scaledHeight);
    return plan;
}
