// The parts of the grip drags that ordinary entities and viewports share.
#pragma once

#include "document/drawing.h"
#include "editor/transformations_entities.h"

#include <cstddef>
#include <cstdint>

namespace quentar::editor {

// Plans value line `line` to hold `value` (unchanged when it holds that number already); false
// when the line is none of the drawing's or holds no number.
bool writeValue(const document::Drawing &d, int32_t line, double value, PlannedLines &out);
// The same with the line's value plus `delta`.
bool shiftValue(const document::Drawing &d, int32_t line, double delta, PlannedLines &out);

// The drag of grip `pointnr` of viewport `objnr` by (dx, dy), paper units.
void moveViewportGrip(const document::Drawing &d, std::size_t objnr, int pointnr, double dx,
                      double dy, PlannedLines &out);

} // namespace quentar::editor
