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
    // Dimensions, hatches, construction lines, centre and dashed lines ... not measured: what the
    // laser cuts. Off, the length and box are those of the whole drawn figure.
    bool cutContoursOnly = true;
    UnitChoice units = UnitChoice::Auto;
    // A drawing with nothing in model space (tab 0) is measured from the first layout that holds
    // something to cut, with a warning.
    bool layoutWhenModelEmpty = true;
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
    int tab = 0;            // the tab measured
    bool empty = true;      // the tab holds no entity at all (nothing to price)
    // When model space is empty and was measured as asked: the first layout that holds something
    // to cut, -1 when none does.
    int contentTab = -1;
    std::string drawingUnit; // what the drawing says its unit is ("inch", "mm", ...; "" nothing)
    double scale = 1;        // millimetres per drawing unit, applied below
    // In millimetres:
    // konturlang counts a stretch drawn twice once (what the laser cuts).
    double konturlang = 0, minx = 0, maxx = 0, miny = 0, maxy = 0;
    double netArea = 0;
    std::vector<double> areas; // closed contours, largest first
    // The whole drawn figure, cut or not, stretches drawn twice as often as drawn (hidden content
    // aside).
    double drawnLength = 0;
    std::vector<MeasureWarning> warnings;
    // Why nothing may be priced from these figures, one line each (empty when they may be): the
    // tab holds no entity, nothing is left to measure (every entity was left out or has no
    // length), or the figures are no numbers or beyond sense. The commands refuse with it, the
    // calculator window takes nothing over.
    std::string refusal, refusalGerman;
    // A limit stopped the work part way (the blocks are inserted too often, the drawing has more
    // points than are read): the figures are of a part of the drawing, and a price from them is
    // made only when the user accepts that.
    bool partial = false;
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
