// Selecting entities with the pointer: a click near a grip or a segment, a box, all or none.
#pragma once

#include "editor/pointer_scene.h"
#include "editor/selection.h"

#include <cstddef>

namespace quentar::editor {

// What a click without a tool started.
enum class PickOutcome {
    Nothing,       // nothing hit: the click is the first corner of a box selection
    Hit,           // entities were selected or deselected
    GripDrag,      // a grip of a selected entity is to be dragged
    SelectionDrag, // the selection is to be dragged
};

struct PickResult {
    PickOutcome outcome = PickOutcome::Nothing;
    // GripDrag: the entity (moveobjnr), its vertex (movepointnr) and the vertex's drawing
    // coordinates (linesx, linesy).
    std::size_t moveobjnr = 0;
    int movepointnr = 0;
    double linesx = 0, linesy = 0;
};

// The click at pixel (x, y) on entities of the shown tab that are not locked. `shift` deselects
// what the click hits instead of selecting it. First the grips, in record order: a grip within
// 3 pixels (5 when its entity is selected) takes its entity; a selected entity's grip clicked
// without Shift starts dragging that grip. Then, when no grip drag started, the segments of
// each entity: within 3 pixels of the line and no more than the segment's length plus 3 pixels
// from either end; a selected entity hit without Shift starts dragging the selection.
PickResult pick(const PointerScene &scene, Selection &selection, int x, int y, bool shift);

// MassSelect: the entities of the shown tab (not locked) with a tested vertex or a segment end
// in the closed box between the two corners are selected (deselected with Shift) and marked as
// caught by a box. True when any entity was caught.
bool MassSelect(const PointerScene &scene, Selection &selection, int screenx1, int screeny1,
                int screenx2, int screeny2, bool shift);

// Select all: every entity of the shown tab that is not locked.
void selectAll(const PointerScene &scene, Selection &selection);

// IsSelected: any selected entity on the shown tab.
bool IsSelected(const PointerScene &scene, const Selection &selection);

} // namespace quentar::editor
