// The drawing tools, one small object each: they collect points, preview the entity the next
// click would make, and plan its creation.
#pragma once

#include "editor/tool.h"

#include <memory>

namespace quentar::editor {

// Lines (arcmode 0) chain; construction lines (1) and rays (2) fan out from their first point.
// With `arrow` the first line gets an arrowhead at its start, the tool then draws plain lines.
std::unique_ptr<Tool> makeLineTool(ToolContext &ctx, int arcmode, bool arrow);
// Polyline (arcmode 0) with straight and tangent-arc segments and its menu; freehand strokes (1);
// splines (2) through clicked points with their two tangent points.
std::unique_ptr<Tool> makePolylineTool(ToolContext &ctx, int arcmode);
std::unique_ptr<Tool> makeRectangleTool(ToolContext &ctx);
// Circles by centre and radius (0) or diameter (2), two points (3), three points (1), and the
// regular polygon (5) with `corners` corners.
std::unique_ptr<Tool> makeCircleTool(ToolContext &ctx, int arcmode, double corners = 3);
// Ellipses by their axes (0) or centre (2), elliptical arcs likewise (1, 3).
std::unique_ptr<Tool> makeEllipseTool(ToolContext &ctx, int arcmode);
// Arcs: start, middle, end (0); start, end, middle (3); centre, start, end (1).
std::unique_ptr<Tool> makeArcTool(ToolContext &ctx, int arcmode);
// Filled areas of three or four corners.
std::unique_ptr<Tool> makeSolidTool(ToolContext &ctx);
// Points, one per click, until the tool ends.
std::unique_ptr<Tool> makePointTool(ToolContext &ctx);
std::unique_ptr<Tool> makeTextTool(ToolContext &ctx);
std::unique_ptr<Tool> makeDimensionTool(ToolContext &ctx);

} // namespace quentar::editor
