// What the contour analysis has to tell about the figures: open ends, stretches hanging off the
// contours, cuts drawn twice, and what was not worked out.
#pragma once

#include "contours/analysis.h"
#include "render/measure_drawing.h"

#include <string>
#include <vector>

namespace quentar::render {

// A number as the messages show it: up to two decimals, "." as the separator (the German texts
// take "," like the calculator).
std::string measureNumber(double v, bool german = false);

// Appends the warnings of an analysis; `scale` is millimetres per drawing unit.
void contourWarnings(const contours::ContourAnalysis &a, double scale,
                     std::vector<MeasureWarning> &out);

} // namespace quentar::render
