// What the calculator takes over from a measured drawing.
#include "costing/drawing_takeover.h"

namespace quentar::costing {

DrawingFigures figuresOf(const render::DrawingMeasurement &m) {
    DrawingFigures f;
    f.konturlang = m.konturlang;
    f.konturminx = m.minx;
    f.konturmaxx = m.maxx;
    f.konturminy = m.miny;
    f.konturmaxy = m.maxy;
    f.flaechen = m.areas;
    f.netArea = m.netArea;
    f.pierces = m.figures.analysis.pierces;
    return f;
}

} // namespace quentar::costing
