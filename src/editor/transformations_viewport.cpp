// The grips of a viewport: its corners resize the frame, its centre pans the view of the model
// and the grip above it zooms; the one below it opens the viewport dialog.
#include "editor/transformations.h"

#include "editor/transformations_grips.h"

#include <cmath>

namespace quentar::editor {

namespace {

// The grips as the reader lays them out: the four corners from the lower left counter-clockwise
// (their x lines are those of the centre x, centre y, width and height), the first corner again,
// the pan grip on the centre, the zoom grip above it and the dialog grip below it.
constexpr int kPanGrip = 5, kZoomGrip = 6, kDialogGrip = 7, kGrips = 8;

bool isViewport(const document::Drawing &d, std::size_t objnr) {
    if (objnr >= static_cast<std::size_t>(d.anzpoly) || objnr >= d.polys.size()) return false;
    const document::tpoly &e = d.polys[objnr];
    return e.isviewport && e.hasDetail() && e.detail().viewid != 1 && e.anzp >= kGrips;
}

int32_t lineOf(const document::tpoly &e, int grip) { return e.absLine(e.p(grip).linex); }

void writeFrame(const document::Drawing &d, const document::tpoly &e, double cx, double cy,
                double w, double h, PlannedLines &out) {
    writeValue(d, lineOf(e, 0), cx, out);
    writeValue(d, lineOf(e, 1), cy, out);
    writeValue(d, lineOf(e, 2), w, out);
    writeValue(d, lineOf(e, 3), h, out);
}

} // namespace

void moveViewportGrip(const document::Drawing &d, std::size_t objnr, int pointnr, double dx,
                      double dy, PlannedLines &out) {
    if (!isViewport(d, objnr)) return;
    const document::tpoly &e = d.polys[objnr];
    const document::EntityDetail &dt = e.detail();
    double w = dt.widx, h = dt.widy;
    if (pointnr >= 0 && pointnr <= 3) {
        // The opposite corner stays: the size grows by the drag, the centre moves by half of it.
        const double sx = (pointnr == 1 || pointnr == 2) ? 1 : -1;
        const double sy = (pointnr == 2 || pointnr == 3) ? 1 : -1;
        w += sx * dx;
        h += sy * dy;
        // Dragged across the opposite corner, the frame is the same rectangle the other way.
        writeFrame(d, e, e.cx + dx / 2, e.cy + dy / 2, std::fabs(w), std::fabs(h), out);
    } else if (pointnr == kPanGrip) {
        if (!(h != 0)) return;
        const double k = dt.viewheight / h;
        const int32_t ly = e.absLine(e.geom->liney(e.p(kPanGrip)));
        writeValue(d, lineOf(e, kPanGrip), dt.panx + dx * k, out);
        writeValue(d, ly, dt.pany + dy * k, out);
    } else if (pointnr == kZoomGrip) {
        // The grip stands a quarter of the height above the centre: dragged twice as far out,
        // the view shows half the height of the model.
        const double u = dx + e.p(kZoomGrip).x - e.cx, v = dy + e.p(kZoomGrip).y - e.cy;
        const double dist = std::hypot(u, v);
        if (!(dist > 0)) return;
        writeValue(d, lineOf(e, kZoomGrip), dt.viewheight * (std::fabs(h) / 4) / dist, out);
    }
}

bool opensViewportDialog(const document::Drawing &d, std::size_t objnr, int pointnr) {
    return pointnr == kDialogGrip && isViewport(d, objnr);
}

std::optional<ViewportConfiguration> viewportConfiguration(const document::Drawing &d,
                                                           std::size_t objnr) {
    if (!isViewport(d, objnr)) return std::nullopt;
    const document::tpoly &e = d.polys[objnr];
    const document::EntityDetail &dt = e.detail();
    return ViewportConfiguration{dt.widx, dt.widy, e.cx, e.cy, dt.panx, dt.pany, dt.viewheight};
}

document::EditBatch ConfigureViewport(const document::Drawing &d, std::size_t objnr,
                                      const ViewportConfiguration &c) {
    document::EditBatch batch;
    if (!isViewport(d, objnr)) return batch;
    const document::tpoly &e = d.polys[objnr];
    PlannedLines out;
    // A frame or view without extent shows nothing: such values are not taken.
    if (c.width != 0 && c.height != 0)
        writeFrame(d, e, c.centreX, c.centreY, std::fabs(c.width), std::fabs(c.height), out);
    else
        writeFrame(d, e, c.centreX, c.centreY, e.detail().widx, e.detail().widy, out);
    writeValue(d, lineOf(e, kPanGrip), c.viewX, out);
    writeValue(d, e.absLine(e.geom->liney(e.p(kPanGrip))), c.viewY, out);
    if (c.viewHeight > 0) writeValue(d, lineOf(e, kZoomGrip), c.viewHeight, out);
    out.appendTo(d.dxf, batch);
    return batch;
}

} // namespace quentar::editor
