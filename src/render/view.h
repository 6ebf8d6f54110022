// The view of the drawing window: zoom and scroll state, the coordinate transforms, fitting the
// drawing into the paint box or the 180-pixel preview, and rendering the preview.
#pragma once

#include "document/drawing.h"
#include "render/canvas.h"
#include "render/render_pass.h"
#include "render/view_transform.h"

#include <cstdint>
#include <string>

namespace quentar::render {

// The drawing window's paint box at its default size, pixels. Opening a drawing fits it into
// this box; the headless measurement opens drawings the same way.
inline constexpr int kDefaultPaintBoxWidth = 1000;
inline constexpr int kDefaultPaintBoxHeight = 640;

// Side of the preview square the calculator shows.
inline constexpr int kPreviewSize = 180;

struct ViewState {
    double zoomedvalue = 100;   // pixels per 100 drawing units, kept within kMinZoom ... 1,000,000
    int64_t horzPosition = -2000; // scroll positions, hundredths of a pixel
    int64_t vertPosition = 2000;
    bool donotdrawnow = false;  // painting suppressed while a view change is under way
};

// The smallest zoom: a drawing of kilometres still fits a small window (5, the first limit,
// left drawings of tens of metres clamped and cut off).
inline constexpr double kMinZoom = 0.001;
void clampZoom(ViewState &v);

// The view as the transform the drawing, picking and snapping share, on a surface of the given
// height.
inline ViewTransform transformOf(const ViewState &v, int paintBoxHeight) {
    return {v.zoomedvalue, v.horzPosition / 100.0, v.vertPosition / 100.0, paintBoxHeight};
}

// Drawing units -> pixels of a surface of the given height, unrounded (a typed position comes
// back unchanged), and the way back (transformOf(...).world).
void DXF2Bildschirm(const ViewState &v, int paintBoxHeight, double x, double y, double &xx,
                    double &yy);
void Bildschirm2DXF(const ViewState &v, int paintBoxHeight, double x, double y, double &xx,
                    double &yy);

// The print settings the fit of a paper layout needs: the printable page and the scale.
struct PageSetup {
    double pageWidthPx = 4961, pageHeightPx = 7016; // A4 portrait at 600 pixels per inch
    double printerPpi = 600;
    double marginMm = 0;   // RandEd
    double mmPerUnit = 1;  // mmEd / UnitsEd
};

// What a tab shows: the layout handle (kNoLayout when none), model space or paper, and the block
// of the layout's own entities. The one rule for which entities a tab shows: drawing, printing,
// fitting, picking, snapping, selecting and deleting all ask it.
struct TabView {
    int32_t handle = kNoLayout;
    bool model = true;
    // The layout's block definition when its entities live there: a layout other than the active
    // model and paper space ("*Model_Space", "*Paper_Space", whose entities are in the ENTITIES
    // section); "" for none.
    std::string block;

    // The entity is shown on the tab: in the tab's space (its layout handle, or on the model tab
    // no owner at all; without layout records the paper-space flag decides), and, when it belongs
    // to a block definition, in the layout's own block.
    bool shows(const document::tpoly &e) const {
        if (handle == kNoLayout) {
            if (e.ispaperspace == model) return false;
        } else if (e.layhan != handle && !(model && e.layhan == 0)) {
            return false;
        }
        return !e.isblock || (!block.empty() && e.detail().theblockname == block);
    }
};
// Tab `tab` of the drawing (TabControl1's index): a tab without a layout record is model space
// unless it is the second.
TabView tabView(const document::Drawing &d, int tab);

// Fits the tab's drawing into a width x height box (ZoomFullIn; ZoomFullIn180 with 180 x 180).
void fitView(const document::Drawing &d, int tab, int width, int height, const PageSetup &page,
             ViewState &v);
// The two halves of fitView. The extent a fit shows, drawing units ((0, 0)-(10, 10) when nothing
// is drawn): `measuring`, when given, takes the tab's figures in the first of the passes that
// find the extent (they do not depend on the view).
struct FitExtent {
    double minx = 0, miny = 0, maxx = 10, maxy = 10;
};
struct ContourFigures;
FitExtent fitExtent(const document::Drawing &d, int tab, const PageSetup &page,
                    ContourFigures *measuring = nullptr);
void fitViewTo(const FitExtent &extent, int width, int height, ViewState &v);
//
// The fit keeps a 10-pixel border measured at the zoom it starts from, and the areas measured
// after it follow the whole-pixel rounding of that view. The 180-pixel fit therefore starts
// from the zoom of a freshly opened view (100), not from whatever the window showed last:
// otherwise the coverage, and with it weight and price, of one and the same drawing would
// change with the zooming done before confirming it, or with the drawing opened before.
inline void ZoomFullIn180(const document::Drawing &d, int tab, const PageSetup &page,
                          ViewState &v) {
    v.zoomedvalue = 100;
    fitView(d, tab, kPreviewSize, kPreviewSize, page, v);
}

// The preview's background: light grey for paper (or with the print preview on), white for model.
Rgb previewBackground(const document::Drawing &d, int tab, bool druckvorschau);

// A paint that only has to look right (see RenderPass::paintOnly): the drawn extents of this
// read of the drawing and the width of the surface.
struct PaintOnly {
    const DrawnExtents *extents = nullptr;
    int surfaceWidth = 0;
};

// The passes that draw a tab (the layout's entities, then its own block) on a surface of the
// given height, measuring into `figures` (not reset here). The window's paint and the preview
// share it; the window marks the editor's selection and paints only what is in view; the edit
// tools' previews take the picture of `only` the entities they work on.
void drawTab(const document::Drawing &d, const TabView &tab, const ViewState &v, int surfaceHeight,
             bool showweight, int dpi, Canvas *canvas, ContourFigures &figures,
             const SelectedLookup &selected = {}, const PaintOnly &paint = {},
             const SelectedLookup &only = {},
             int64_t visitBudget = 0); // 0: the render pass's own

// Measuring around a pass (or the first pass of a fit): begin resets the figures and collects the
// pieces, finish makes them into contours (the areas, largest first, into flaechen).
void beginMeasuring(const document::Drawing &d, ContourFigures &figures);
void finishMeasuring(const document::Drawing &d, ContourFigures &figures);

// Vorschaubild: resets the figures and renders the tab into a 180 x 180 surface (the caller
// filled it with previewBackground) through `canvas` (may be null: measure only). Returns false
// and draws nothing when drawing is suppressed. The preview shows the part, not the editing
// state: no selection is marked in it.
bool Vorschaubild(const document::Drawing &d, int tab, const ViewState &v, bool showweight, int dpi,
                  Canvas *canvas, ContourFigures &figures);

} // namespace quentar::render
