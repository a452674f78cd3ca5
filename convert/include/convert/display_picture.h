// The picture the display needs, made from the decoded one in steps that each read the one before:
// scaled and placed on the display's sides, then turned, then mirrored.
#pragma once

#include <cstdint>
#include <memory>

#include "display_fit.h"
#include "display_geometry.h"
#include "picture.h"

// Bytes the steps hold beyond a few rows, for a plan of FitPlan's sides.
std::uint64_t DisplayStepsHeldBytes(const DisplayGeometry& geometry, const FitPlan& plan);

// `source` fitted by `plan` (PlanFit of its sides; every side at most 65535), with `background` where
// it does not reach, then turned and mirrored as `geometry` says. nullptr when memory runs out.
// `source` must outlive the answer.
std::unique_ptr<Picture> MakeDisplayPicture(const Picture& source, const DisplayGeometry& geometry, const FitPlan& plan,
                                            RgbColour background);
