// Zoom about a point, wheel and drag steps, the per-tab view memory and the axis icon's place.
#include "render/view_ops.h"

#include "document/number_text.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

namespace {

int64_t toPosition(double v) {
    const double r = std::nearbyint(v);
    if (!(r > static_cast<double>(kScrollMin))) return kScrollMin; // NaN lands here too
    if (r > static_cast<double>(kScrollMax)) return kScrollMax;
    return static_cast<int64_t>(r);
}

int roundToInt(double v) {
    const double r = std::nearbyint(v);
    if (!(r > -1e9)) return -1000000000;
    if (r > 1e9) return 1000000000;
    return static_cast<int>(r);
}

std::string fourDecimals(double v) {
    if (std::fabs(v) < 0.00005) v = 0; // no "-0.0000" next to the origin
    return document::fixedText(v, 4);
}

} // namespace

void clampScroll(ViewState &v) {
    v.horzPosition = std::clamp(v.horzPosition, kScrollMin, kScrollMax);
    v.vertPosition = std::clamp(v.vertPosition, kScrollMin, kScrollMax);
}

void zoomAbout(ViewState &v, int h, double px, double py, double newZoom) {
    double xx = 0, yy = 0;
    Bildschirm2DXF(v, h, px, py, xx, yy);
    v.zoomedvalue = newZoom;
    clampZoom(v);
    const double z = v.zoomedvalue;
    v.horzPosition = toPosition((xx * z / 100 - px) * 100);
    v.vertPosition = toPosition(((h - 1) - yy * z / 100 - py) * 100);
}

void zoomInAtCentre(ViewState &v, int w, int h) {
    zoomAbout(v, h, w / 2, h / 2, v.zoomedvalue * kZoomStep);
}

void zoomOutAtCentre(ViewState &v, int w, int h) {
    zoomAbout(v, h, w / 2, h / 2, v.zoomedvalue / kZoomStep);
}

void wheelStep(ViewState &v, int h, double px, double py, bool up, bool shift, bool ctrl) {
    const int64_t step = up ? -kScrollSmallStep : kScrollSmallStep;
    if (shift) {
        v.horzPosition += step;
    } else if (ctrl) {
        v.vertPosition += step;
    } else {
        zoomAbout(v, h, px, py, up ? v.zoomedvalue * kZoomStep : v.zoomedvalue / kZoomStep);
    }
    clampScroll(v);
}

ZoomDrag startZoomDrag(const ViewState &v, int y) { return {y, v.zoomedvalue}; }

void moveZoomDrag(ViewState &v, const ZoomDrag &drag, int h, int x, int y) {
    const double zoom =
        drag.pansy2 - static_cast<double>(y - drag.pansy) * v.zoomedvalue / std::max(h, 1);
    zoomAbout(v, h, x, y, zoom);
}

PanDrag startPanDrag(const ViewState &v, int x, int y) {
    return {x, y, v.horzPosition, v.vertPosition};
}

void movePanDrag(ViewState &v, const PanDrag &drag, int x, int y) {
    v.horzPosition = drag.pansx0 + (static_cast<int64_t>(drag.pansx) - x) * 100;
    v.vertPosition = drag.pansy0 + (static_cast<int64_t>(drag.pansy) - y) * 100;
    clampScroll(v);
}

void StoreZoom(document::Drawing &d, TabViewMemory &memory, int tab, const ViewState &v) {
    if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
        document::Tlayout &l = d.layouts[static_cast<std::size_t>(tab)];
        l.zoomsetted = true;
        l.zoomvalue = v.zoomedvalue;
        // The scroll range fits 32 bits.
        l.scrollxvalue = static_cast<int32_t>(std::clamp(v.horzPosition, kScrollMin, kScrollMax));
        l.scrollyvalue = static_cast<int32_t>(std::clamp(v.vertPosition, kScrollMin, kScrollMax));
        return;
    }
    RememberedView &r = tab == 0 ? memory.tab0 : memory.otherTabs;
    r = {true, v.zoomedvalue, v.horzPosition, v.vertPosition};
}

bool restoreZoom(const document::Drawing &d, const TabViewMemory &memory, int tab, ViewState &v) {
    if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
        const document::Tlayout &l = d.layouts[static_cast<std::size_t>(tab)];
        if (!l.zoomsetted) return false;
        v.zoomedvalue = l.zoomvalue;
        v.horzPosition = l.scrollxvalue;
        v.vertPosition = l.scrollyvalue;
    } else {
        const RememberedView &r = tab == 0 ? memory.tab0 : memory.otherTabs;
        if (!r.zoomsetted) return false;
        v.zoomedvalue = r.zoomvalue;
        v.horzPosition = r.scrollxvalue;
        v.vertPosition = r.scrollyvalue;
    }
    clampZoom(v);
    clampScroll(v);
    return true;
}

AxisIconPlace axisIconPlace(const ViewState &v, int w, int h) {
    AxisIconPlace a;
    a.ox = roundToInt(-v.horzPosition / 100.0);
    a.oy = roundToInt((h - 1) - v.vertPosition / 100.0);
    if (a.ox + 80 >= w || a.oy + 5 >= h || a.ox - 5 < 0 || a.oy - 80 < 0) {
        a.ox = 15;
        a.oy = h - 16;
        a.moved = true;
    }
    return a;
}

std::string pointerPositionText(const ViewState &v, int h, double px, double py) {
    double x = 0, y = 0;
    Bildschirm2DXF(v, h, px, py, x, y);
    return fourDecimals(x) + ", " + fourDecimals(y);
}

} // namespace quentar::render
