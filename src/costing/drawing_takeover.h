// What the calculator takes over from a measured drawing: one conversion for the window and the
// headless quote.
#pragma once

#include "costing/engine.h"
#include "render/measure_drawing.h"

namespace quentar::costing {

// The measurement's figures in millimetres, the parts' net area and the pierces.
DrawingFigures figuresOf(const render::DrawingMeasurement &m);

} // namespace quentar::costing
