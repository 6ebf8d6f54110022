// The edit tools: copy, move, rotate, scale, mirror, array and delete. Each works on the
// selection of the shown tab, waiting for one (confirmed with the right button) when there is
// none, then takes a base point and a second point and plans its operation from them.
#pragma once

#include "editor/tool.h"
#include "editor/transformations.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace quentar::editor {

enum class EditOperation { Copy, Move, Rotate, Scale, Mirror, Array, Delete };

// Plans an operation on `entities` (record indices, ascending) from the base point D and the
// second point E: copy and move by E - D, rotate by the direction of E seen from D, scale by
// |E - D|, mirror in the line through D and E. Returns the steps to commit (none: nothing to do)
// and a message for an error box.
using EditPlanner =
    std::function<Creation(const document::Drawing &d, const std::vector<std::size_t> &entities,
                           EditOperation operation, const Point3 &base, const Point3 &second)>;

// The transformations as the tools ask for them: CopyObjects, MoveObjects, RotateObjects.
Creation planTransformation(const document::Drawing &d, const std::vector<std::size_t> &entities,
                            EditOperation operation, const Point3 &base, const Point3 &second);
// MakeArray with the dialog's values; a copy that cannot be made says why.
Creation planArray(const document::Drawing &d, const std::vector<std::size_t> &entities,
                   const ArrayParameters &p);

// The map the operation with base point D would apply with the pointer at E: the preview draws
// the selection through it, the transformation writes with it.
PlaneMap previewMap(EditOperation operation, const Point3 &base, const Point3 &second);

// The keyboard variants of rotate and scale ("Rotationsrichtung per Tastatur eingeben",
// "Skalierungsfaktor per Tastatur eingeben"): after the base point a dialog gives the angle or
// the factor, instead of a second point.
struct KeyboardEntry {
    bool rotation = false, scaling = true;
};

// The tool of copy, move, rotate, scale, mirror, array and delete; `waitForSelection` when nothing
// was selected as it was chosen. `planner` is the interaction's (empty: nothing is done).
std::unique_ptr<Tool> makeEditTool(ToolContext &ctx, EditOperation operation, bool waitForSelection,
                                   const EditPlanner &planner, KeyboardEntry keyboard);

} // namespace quentar::editor
