// Snapping the pointer onto the drawing's points, or into line with the previous point.
#pragma once

#include "editor/pointer_scene.h"

namespace quentar::editor {

// The outcome of SnapPoints for a pointer at pixel (x, y).
struct SnapResult {
    int x = 0, y = 0;      // the pointer, aligned or moved onto the point found, pixels
    double ex = 0, ey = 0; // the point found, drawing units (exact, not from its pixel)
    bool setted = false;   // an entity point was found; else the caller converts (x, y)
};

// SnapPoints: with Ctrl held the pointer stays as it is. Otherwise it is aligned vertically,
// horizontally or diagonally with the reference point (xx, yy) when within 5 pixels of such a
// line (pass the pointer itself as reference for a first point), and then moved onto the nearest
// vertex or centre of an entity of the shown tab whose pixel lies in the 11 x 11 square around
// the pointer as given. On equal distance the first found wins: lower record first, then its
// vertices before its snap points, each in order. Locked entities are snapped to.
SnapResult SnapPoints(const PointerScene &scene, int xx, int yy, int x, int y, bool ctrl);

// The alignment step alone.
void alignWithReference(int xx, int yy, int &x, int &y);

} // namespace quentar::editor
