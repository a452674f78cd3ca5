// Fitting, scaling, turning and mirroring on small pictures whose every output pixel is worked out by
// hand. Greys keep the tables short: every channel of a pixel holds the same value.
#include <gtest/gtest.h>

#include <vector>

#include "convert/display_fit.h"
#include "convert/display_picture.h"
#include "convert/scaled_picture.h"

namespace {

using Greys = std::vector<int>;

// A picture of greys given row by row from the top.
class GreyPicture final : public Picture {
public:
    GreyPicture(std::uint32_t width, Greys greys)
        : width_(width), height_(static_cast<std::uint32_t>(greys.size()) / width), greys_(std::move(greys)) {}
    std::uint32_t Width() const override { return width_; }
    std::uint32_t Height() const override { return height_; }
    void ReadRun(std::uint32_t x, std::uint32_t y, std::uint32_t count, std::uint8_t* rgb) const override {
        for (std::uint32_t i = 0; i < count; ++i)
            for (int c = 0; c < 3; ++c) rgb[3 * i + c] = static_cast<std::uint8_t>(greys_.at(y * width_ + x + i));
    }

private:
    std::uint32_t width_, height_;
    Greys greys_;
};

// The picture's greys row by row, read one pixel at a time in reverse order, so that no step may
// count on being read in order; -1 where the channels differ.
Greys GreysOf(const Picture& picture) {
    Greys greys(std::size_t{picture.Width()} * picture.Height());
    for (std::size_t i = greys.size(); i-- > 0;) {
        std::uint8_t rgb[3];
        const auto x = static_cast<std::uint32_t>(i % picture.Width());
        picture.ReadRun(x, static_cast<std::uint32_t>(i / picture.Width()), 1, rgb);
        greys[i] = rgb[0] == rgb[1] && rgb[1] == rgb[2] ? rgb[0] : -1;
    }
    return greys;
}

struct ScaleCase {
    const char* name;
    std::uint32_t width;
    Greys greys;
    ScaleTarget target;
    Greys expected;
};

// Linear light of the greys used: 0 -> 0, 100 -> 0.1274, 128 -> 0.2159, 255 -> 1. Back to 8 bits:
// 0.5 -> 187.5, 0.25 -> 137.0, 0.75 -> 224.6.
const ScaleCase kSmoothCases[] = {
    // (1 + 0.2159) / 2 = 0.6079 -> 204.6
    {"two_to_one", 2, {255, 128}, {1, 1, 0, 0, 1, 1}, {205}},
    // footprints of 1.5 pixels: (0 + 1 x 0.5) / 1.5 -> 156.2 and (0.5 + 0.1274) / 1.5 -> 173.1
    {"three_to_two_partial", 3, {0, 255, 100}, {2, 1, 0, 0, 2, 1}, {156, 173}},
    // centres at -0.25, 0.25, 0.75, 1.25: clamped, a quarter, three quarters, clamped
    {"enlarged", 2, {0, 255}, {4, 1, 0, 0, 4, 1}, {0, 137, 225, 255}},
    {"enlarged_down", 1, {0, 255}, {1, 4, 0, 0, 1, 4}, {0, 137, 225, 255}},
    {"checkerboard_halved",
     4,
     {0, 255, 0, 255, 255, 0, 255, 0, 0, 255, 0, 255, 255, 0, 255, 0},
     {2, 2, 0, 0, 2, 2},
     {188, 188, 188, 188}},
    // only the part asked for is made: the right half of the enlargement, its bottom row
    {"visible_part", 2, {0, 255, 0, 255}, {4, 1, 2, 0, 2, 1}, {225, 255}},
};

const ScaleCase kNearestCases[] = {
    // (2i + 1) x 2 / 6: 0, 0, 0, 1, 1, 1
    {"repeated_three_times", 2, {10, 20}, {6, 1, 0, 0, 6, 1}, {10, 10, 10, 20, 20, 20}},
    // (2i + 1) x 3 / 4: 0, 2
    {"three_to_two", 3, {10, 20, 30}, {2, 1, 0, 0, 2, 1}, {10, 30}},
    {"rows_repeated", 1, {10, 20}, {1, 4, 0, 0, 1, 4}, {10, 10, 20, 20}},
};

TEST(Scaling, smooth_gives_the_hand_worked_greys) {
    for (const ScaleCase& row : kSmoothCases) {
        const GreyPicture source(row.width, row.greys);
        const auto scaled = MakeSmoothScaled(source, row.target);
        ASSERT_NE(scaled, nullptr) << row.name;
        EXPECT_EQ(GreysOf(*scaled), row.expected) << row.name;
    }
}

TEST(Scaling, nearest_repeats_source_pixels) {
    for (const ScaleCase& row : kNearestCases) {
        const GreyPicture source(row.width, row.greys);
        const auto scaled = MakeNearestScaled(source, row.target);
        ASSERT_NE(scaled, nullptr) << row.name;
        EXPECT_EQ(GreysOf(*scaled), row.expected) << row.name;
    }
}

TEST(Scaling, every_grey_survives_an_unchanged_axis) {
    Greys ramp;
    for (int grey = 0; grey < 256; ++grey) ramp.push_back(grey);
    const GreyPicture source(256, ramp);
    const auto scaled = MakeSmoothScaled(source, {256, 2, 0, 0, 256, 2});
    ASSERT_NE(scaled, nullptr);
    Greys twice = ramp;
    twice.insert(twice.end(), ramp.begin(), ramp.end());
    EXPECT_EQ(GreysOf(*scaled), twice);
}

struct FitCase {
    const char* name;
    DisplayGeometry geometry;
    std::uint32_t width, height;
    FitPlan expected;
};

DisplayGeometry Sized(std::uint32_t width, std::uint32_t height, Fit fit = Fit::Contain) {
    DisplayGeometry geometry;
    geometry.width = width;
    geometry.height = height;
    geometry.fit = fit;
    return geometry;
}

const FitCase kFitCases[] = {
    {"contain_pads_odd_difference", Sized(10, 5), 4, 4, {10, 5, 5, 5, 2, 0}},
    // 5 x 3 / 2 = 7.5 rounds up to 8; (3 - 8) / 2 = -2.5 rounds down to -3
    {"cover_cuts_odd_difference", Sized(3, 3, Fit::Cover), 5, 2, {3, 3, 8, 3, -3, 0}},
    {"cover_cuts_rows", Sized(4, 2, Fit::Cover), 1, 1, {4, 2, 4, 4, 0, -1}},
    {"stretch", Sized(7, 3, Fit::Stretch), 2, 5, {7, 3, 7, 3, 0, 0}},
    {"same_ratio", Sized(480, 320, Fit::Cover), 960, 640, {480, 320, 480, 320, 0, 0}},
    {"width_only", Sized(320, 0, Fit::Cover), 4032, 3024, {320, 240, 320, 240, 0, 0}},
    // 3 x 2 / 4 = 1.5 rounds up; 1 x 2 / 4 = 0.5 rounds up; 1 x 10 / 100 = 0.1 is still one pixel
    {"height_follows_halves_up", Sized(2, 0), 4, 3, {2, 2, 2, 2, 0, 0}},
    {"height_half_up", Sized(2, 0), 4, 1, {2, 1, 2, 1, 0, 0}},
    {"height_at_least_one", Sized(10, 0), 100, 1, {10, 1, 10, 1, 0, 0}},
    {"height_only", Sized(0, 6), 3, 4, {5, 6, 5, 6, 0, 0}},
    {"unchanged", Sized(0, 0), 3, 4, {3, 4, 3, 4, 0, 0}},
};

TEST(Fitting, plans_sides_and_offsets) {
    for (const FitCase& row : kFitCases) {
        const FitPlan plan = PlanFit(row.geometry, row.width, row.height);
        const FitPlan& e = row.expected;
        EXPECT_EQ(
            (std::vector<std::int64_t>{static_cast<std::int64_t>(plan.width), static_cast<std::int64_t>(plan.height),
                                       static_cast<std::int64_t>(plan.scaledWidth),
                                       static_cast<std::int64_t>(plan.scaledHeight), plan.left, plan.top}),
            (std::vector<std::int64_t>{static_cast<std::int64_t>(e.width), static_cast<std::int64_t>(e.height),
                                       static_cast<std::int64_t>(e.scaledWidth),
                                       static_cast<std::int64_t>(e.scaledHeight), e.left, e.top}))
            << row.name;
    }
}

struct DisplayCase {
    const char* name;
    DisplayGeometry geometry;
    std::uint32_t width;
    Greys greys;
    Greys expected;
};

DisplayGeometry Turned(Rotation rotation, Flip flip = Flip::None, DisplayGeometry geometry = {}) {
    geometry.rotation = rotation;
    geometry.flip = flip;
    return geometry;
}

DisplayGeometry NearestSized(std::uint32_t width, std::uint32_t height, Fit fit) {
    DisplayGeometry geometry = Sized(width, height, fit);
    geometry.filter = ScaleFilter::Nearest;
    return geometry;
}

constexpr int kBackground = 9;
const Greys kThreeByTwo = {1, 2, 3, 4, 5, 6};

const DisplayCase kDisplayCases[] = {
    {"rotate_90", Turned(Rotation::Clockwise90), 3, kThreeByTwo, {4, 1, 5, 2, 6, 3}},
    {"rotate_180", Turned(Rotation::Clockwise180), 3, kThreeByTwo, {6, 5, 4, 3, 2, 1}},
    {"rotate_270", Turned(Rotation::Clockwise270), 3, kThreeByTwo, {3, 6, 2, 5, 1, 4}},
    {"flip_horizontal", Turned(Rotation::None, Flip::Horizontal), 3, kThreeByTwo, {3, 2, 1, 6, 5, 4}},
    {"flip_vertical", Turned(Rotation::None, Flip::Vertical), 3, kThreeByTwo, {4, 5, 6, 1, 2, 3}},
    // turned first, then mirrored
    {"rotate_90_then_flip", Turned(Rotation::Clockwise90, Flip::Horizontal), 3, kThreeByTwo, {1, 4, 2, 5, 3, 6}},
    // 2 x 2 on 5 x 2: (5 - 2) / 2 = 1 column of background on the left, 2 on the right
    {"contain_pads", NearestSized(5, 2, Fit::Contain), 2, {1, 2, 3, 4}, {9, 1, 2, 9, 9, 9, 3, 4, 9, 9}},
    // 5 x 2 scaled to 8 x 3: columns (2j + 1) x 5 / 16 from j = 3 are 2, 2, 3; rows 0, 1, 1
    {"cover_cuts", NearestSized(3, 3, Fit::Cover), 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {3, 3, 4, 8, 8, 9, 8, 8, 9}},
    // unscaled, (1 - 4) / 2 = -1.5: cut two pixels on the left and one on the right
    {"cover_cuts_unscaled", Sized(1, 1, Fit::Cover), 4, {1, 2, 3, 4}, {3}},
    {"fitted_then_turned",
     Turned(Rotation::Clockwise90, Flip::None, NearestSized(3, 1, Fit::Contain)),
     1,
     {5},
     {9, 5, 9}},
};

TEST(DisplayPicture, fits_then_turns_then_mirrors) {
    for (const DisplayCase& row : kDisplayCases) {
        const GreyPicture source(row.width, row.greys);
        const FitPlan plan = PlanFit(row.geometry, source.Width(), source.Height());
        const auto picture = MakeDisplayPicture(source, row.geometry, plan, {kBackground, kBackground, kBackground});
        ASSERT_NE(picture, nullptr) << row.name;
        EXPECT_EQ(GreysOf(*picture), row.expected) << row.name;
    }
}

}  // namespace
