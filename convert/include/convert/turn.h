// The eight ways of turning and mirroring a picture's stored pixels, as one rule shared by the
// orientation tag, --rotate and --flip, and the preview that turns them back.
#pragma once

#include <cstdint>

#include "display_geometry.h"

// A turned picture's pixel (x, y) is its source's pixel at: (y, x) when `swapsSides`, else (x, y);
// then counted from the right when `fromRight` and from the bottom when `fromBottom`.
struct Turn {
    bool swapsSides = false;
    bool fromRight = false;
    bool fromBottom = false;

    bool operator==(const Turn&) const = default;
    bool IsNone() const { return !swapsSides && !fromRight && !fromBottom; }

    // The source column and row of pixel (x, y) of the turned picture; sourceWidth and sourceHeight
    // are the source's sides.
    void SourceOf(std::uint32_t x, std::uint32_t y, std::uint32_t sourceWidth, std::uint32_t sourceHeight,
                  std::uint32_t& sourceX, std::uint32_t& sourceY) const {
        sourceX = swapsSides ? y : x;
        sourceY = swapsSides ? x : y;
        if (fromRight) sourceX = sourceWidth - 1 - sourceX;
        if (fromBottom) sourceY = sourceHeight - 1 - sourceY;
    }

    // `this` applied to the picture first, then `next`.
    constexpr Turn Then(Turn next) const {
        // next's source is this turn's picture: reading through both reads next's reversals through
        // this turn's swap.
        const bool nextRight = swapsSides ? next.fromBottom : next.fromRight;
        const bool nextBottom = swapsSides ? next.fromRight : next.fromBottom;
        return {swapsSides != next.swapsSides, fromRight != nextRight, fromBottom != nextBottom};
    }

    // The turn that brings the turned picture back to its source.
    constexpr Turn Inverse() const { return swapsSides ? Turn{true, fromBottom, fromRight} : *this; }
};

inline constexpr Turn kClockwise90{true, false, true};
inline constexpr Turn kClockwise180{false, true, true};
inline constexpr Turn kClockwise270{true, true, false};
inline constexpr Turn kMirrorLeftRight{false, true, false};
inline constexpr Turn kMirrorTopBottom{false, false, true};

// --rotate, then --flip.
constexpr Turn StoredTurn(Rotation rotation, Flip flip) {
    Turn turn;
    if (rotation == Rotation::Clockwise90) turn = kClockwise90;
    if (rotation == Rotation::Clockwise180) turn = kClockwise180;
    if (rotation == Rotation::Clockwise270) turn = kClockwise270;
    if (flip == Flip::Horizontal) turn = turn.Then(kMirrorLeftRight);
    if (flip == Flip::Vertical) turn = turn.Then(kMirrorTopBottom);
    return turn;
}
