// The extent of what a tab draws: fitting the view shows the drawing, not its origin or limits.
#pragma once

#include "document/drawing.h"
#include "render/view.h"

namespace quentar::render {

// A rectangle in drawing units.
struct DrawnBox {
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    bool empty = true;
    void take(double x, double y);
    void take(const DrawnBox &b);
};

// The box of everything the tab's passes draw: lines, curves, fills and hatch patterns, texts
// (estimated from their size and length), the contents of inserted blocks and the parts of the
// model that viewports show (within their frames). Construction lines and rays, which run
// without end, are left out. Empty when nothing is drawn. The first pass takes the figures into
// `measuring` when given.
DrawnBox drawnBounds(const document::Drawing &d, const TabView &tab,
                     ContourFigures *measuring = nullptr);

// The sheet of a paper layout as its plot settings give it (in paper-space units), and the
// printable area inside its margins; false when the layout says nothing usable (then the
// printer's page stands in).
bool layoutSheet(const document::Drawing &d, int tab, DrawnBox &sheet, DrawnBox &printable);

} // namespace quentar::render
