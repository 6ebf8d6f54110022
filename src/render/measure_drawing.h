// Opening and measuring a drawing as the calculator takes it over: one routine for the commands,
// the windows and the tests, with what was measured and why a figure may not be what it seems.
#pragma once

#include "document/drawing.h"
#include "render/canvas.h"
#include "render/render_pass.h"
#include "render/view.h"

#include <string>
#include <vector>

namespace quentar::render {

// Fits tab `tab` of a read drawing into the 180-pixel preview square as confirming it in the
// drawing window does, and renders that square through `canvas` (may be null: measure only) into
// `figures` (reset first): length, box, the exact areas of the closed contours and their analysis.
// `view` receives the fitted view.
void measureTab(document::Drawing &d, int tab, ViewState &view, Canvas *canvas,
                ContourFigures &figures);

// How the drawing's numbers become millimetres: as its $INSUNITS says (inches, feet,
// centimetres, metres; millimetres when it says nothing), or as the user says.
enum class UnitChoice { Auto, Millimetres, Inches };

struct MeasureOptions {
    int tab = 0;
    bool cutContoursOnly = false; // dimensions, hatches, construction lines ... not measured
    UnitChoice units = UnitChoice::Auto;
};

// Something the user must know about the figures. `code` is stable (for scripts), the texts are
// one line each.
struct MeasureWarning {
    std::string code;
    std::string english;
    std::string german;
};

// A drawing as the calculator takes it over.
struct DrawingMeasurement {
    ContourFigures figures; // as measured, in drawing units
    ViewState view;         // the 180-pixel fit
    int tab = 0;
    bool empty = true;      // the tab holds no entity at all (nothing to price)
    std::string drawingUnit; // what the drawing says its unit is ("inch", "mm", ...; "" nothing)
    double scale = 1;        // millimetres per drawing unit, applied below
    // In millimetres:
    // konturlang counts a stretch drawn twice once (what the laser cuts); drawnLength as drawn.
    double konturlang = 0, drawnLength = 0, minx = 0, maxx = 0, miny = 0, maxy = 0;
    double netArea = 0;
    std::vector<double> areas; // closed contours, largest first
    std::vector<MeasureWarning> warnings;
};

// Measures tab `options.tab` of a read drawing (see measureTab) and says what may be wrong with
// the figures: limits hit while reading or drawing, open ends, duplicate cuts, what besides cut
// contours was measured, the unit. `canvas` as for measureTab.
DrawingMeasurement measureDrawing(document::Drawing &d, const MeasureOptions &options,
                                  Canvas *canvas = nullptr);
// The second half of measureDrawing, for figures measured elsewhere (the drawing window's own
// preview): `m.figures` in, the millimetre figures, the unit and the warnings out.
void evaluateMeasurement(const document::Drawing &d, const MeasureOptions &options,
                         DrawingMeasurement &m);

// Name of an $INSUNITS value ("inch", "mm", ...), empty for unitless or unknown; and the
// millimetres per unit it stands for (0 when it is no length).
std::string unitName(int32_t insunits);
double millimetresPerUnit(int32_t insunits);

} // namespace quentar::render
