// The edit tools: copy, move, rotate, scale, mirror, array and delete. Each works on the
// selection of the shown tab, waiting for one (confirmed with the right button) when there is
// none, then takes a base point and a second point and plans its operation from them.
#pragma once

#include "editor/tool.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace quentar::editor {

enum class EditOperation { Copy, Move, Rotate, Scale, Mirror, Array, Delete };

// Plans an operation on `entities` (record indices, ascending) from the base point D and the
// second point E: copy and move by E - D, rotate by the direction of E seen from D, scale by
// |E - D|, mirror in the line through D and E. Returns the steps to commit (none: nothing to do).
using EditPlanner = std::function<std::vector<document::EditBatch>(
    const document::Drawing &d, const std::vector<std::size_t> &entities, EditOperation operation,
    const Point3 &base, const Point3 &second)>;

// Where the preview draws a point of the selection while the pointer is at E: moved, turned,
// reflected or scaled as the operation with base point D would leave it. A similarity of the
// plane, x' = a x + b y + c, y' = d x + e y + f.
struct PreviewMap {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    Point3 operator()(const Point3 &p) const {
        return {a * p.x + b * p.y + c, d * p.x + e * p.y + f, p.z};
    }
};
PreviewMap previewMap(EditOperation operation, const Point3 &base, const Point3 &second);

// Draws the outlines of entities (their sampled vertices, as the picking sees them) through a map.
void drawOutlines(PreviewPainter &painter, const document::Drawing &d,
                  const std::vector<std::size_t> &entities, const PreviewMap &map);

// The tool of copy, move, rotate, scale and mirror; `waitForSelection` when nothing was selected
// as it was chosen. `planner` is the window's (it may be empty: then nothing is done).
std::unique_ptr<Tool> makeEditTool(ToolContext &ctx, EditOperation operation,
                                   bool waitForSelection, const EditPlanner &planner);

} // namespace quentar::editor
