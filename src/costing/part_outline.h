// The parts of a measured drawing as outlines for the nesting: the one place that knows where
// the measurement keeps its contours.
#pragma once

#include "document/drawing.h"
#include "nesting/outline.h"
#include "render/measure_drawing.h"

#include <vector>

namespace quentar::costing {

struct DrawingOutlines {
    std::vector<nesting::Polygon> parts; // mm, each with its holes
    int openContours = 0;                // open chains the outlines leave out
};

// Every part of the measured drawing (closed contours at even depth) with its holes. A part lying
// in a hole of another (an island) is carried by that part when `islandsInPlace` (it is cut from
// the hole's scrap), else it is a part of its own.
DrawingOutlines outlinesOf(const document::Drawing &d, const render::DrawingMeasurement &m,
                           bool islandsInPlace);

} // namespace quentar::costing
