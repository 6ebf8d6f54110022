// Print settings: ranges, the sheet and margin frame, and the print pass.
#include "render/page_setup.h"

#include "render/drawn_extents.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

namespace {

double clampField(double v, double lo, double hi, double fallback) {
    if (std::isnan(v)) return fallback;
    return std::clamp(v, lo, hi);
}

int roundToInt(double v) {
    const double r = std::nearbyint(v);
    if (!(r > -1e9)) return -1000000000;
    if (r > 1e9) return 1000000000;
    return static_cast<int>(r);
}

} // namespace

void clampPrintSettings(PrintSettings &s) {
    const PrintSettings start;
    s.mmEd = clampField(s.mmEd, kScaleFieldMin, kScaleFieldMax, start.mmEd);
    s.UnitsEd = clampField(s.UnitsEd, kScaleFieldMin, kScaleFieldMax, start.UnitsEd);
    s.XOffsetEd = clampField(s.XOffsetEd, -kOffsetFieldLimit, kOffsetFieldLimit, start.XOffsetEd);
    s.YOffsetEd = clampField(s.YOffsetEd, -kOffsetFieldLimit, kOffsetFieldLimit, start.YOffsetEd);
    s.RandEd = clampField(s.RandEd, 0, kMarginFieldMax, start.RandEd);
    const int placement = static_cast<int>(s.placement);
    if (placement < 0 || placement > static_cast<int>(PagePlacement::CentreOnPage))
        s.placement = start.placement;
}

PrintSettings placedSettings(const PrintSettings &s, const PrinterPage &page,
                             const ExtentBox *drawn) {
    if (s.placement == PagePlacement::Origin || !drawn) return s;
    // The margin frame, mm.
    const double frameWidth = page.widthMm() - 2 * s.RandEd;
    const double frameHeight = page.heightMm() - 2 * s.RandEd;
    if (!(frameWidth > 0 && frameHeight > 0)) return s;
    const double w = drawn->maxx - drawn->minx, h = drawn->maxy - drawn->miny;
    double q = s.scale();
    if (s.placement == PagePlacement::FitToPage && (w > 0 || h > 0)) {
        // A hundredth of the frame stays free, so that the pen of an outline on its edge is
        // printed whole.
        constexpr double kFill = 0.99;
        q = kFill * std::min(w > 0 ? frameWidth / w : HUGE_VAL, h > 0 ? frameHeight / h : HUGE_VAL);
    }
    const double cx = (drawn->minx + drawn->maxx) / 2, cy = (drawn->miny + drawn->maxy) / 2;
    PrintSettings out = s;
    out.mmEd = q;
    out.UnitsEd = 1;
    out.XOffsetEd = frameWidth / 2 - cx * q;
    out.YOffsetEd = frameHeight / 2 - cy * q;
    const bool sound = q > 0 && std::isfinite(q) && std::isfinite(out.XOffsetEd) &&
                       std::isfinite(out.YOffsetEd);
    return sound ? out : s;
}

PageSetup pageSetupFor(const PrintSettings &s, const PrinterPage &page) {
    PageSetup p;
    p.pageWidthPx = page.widthPx;
    p.pageHeightPx = page.heightPx;
    p.printerPpi = page.ppi;
    p.marginMm = s.RandEd;
    p.mmPerUnit = s.scale();
    return p;
}

DrawingRect paperSheet(const PrintSettings &s, const PrinterPage &page) {
    const double q = s.scale();
    const double x0 = (s.XOffsetEd + s.RandEd) / q, y0 = (s.YOffsetEd + s.RandEd) / q;
    return {-x0, -y0, page.widthMm() / q - x0, page.heightMm() / q - y0};
}

DrawingRect marginFrame(const PrintSettings &s, const PrinterPage &page) {
    const double q = s.scale();
    return {-s.XOffsetEd / q, -s.YOffsetEd / q,
            page.widthMm() / q - (s.XOffsetEd + 2 * s.RandEd) / q,
            page.heightMm() / q - (s.YOffsetEd + 2 * s.RandEd) / q};
}

PixelRect printClip(const PrintSettings &s, const PrinterPage &page) {
    // Right and bottom are exclusive: the pixel m from the right (bottom) edge is still inside,
    // so a contour on the drawing's x or y axis at offset 0 is printed, not cut off.
    const double m = s.RandEd * page.ppi / kMmPerInch;
    return {roundToInt(m), roundToInt(m), roundToInt(page.widthPx - m),
            roundToInt(page.heightPx - m)};
}

DrawParams printParams(const PrintSettings &s, const PrinterPage &page, const TabView &tab,
                       bool showweight) {
    const double pxPerMm = page.ppi / kMmPerInch;
    DrawParams p;
    p.zoomit = pxPerMm * 100 * s.scale();
    p.scrollx = -(s.RandEd + s.XOffsetEd) * pxPerMm;
    p.scrolly = (s.RandEd + s.YOffsetEd) * pxPerMm;
    p.paintbox1height = roundToInt(page.heightPx);
    p.dpi1 = roundToInt(page.ppi);
    p.showweight = showweight;
    p.forprint = true;
    p.showmodelforcolor = true;
    p.showmodel = tab.model;
    p.thelayhan = tab.handle;
    return p;
}

void printTab(const document::Drawing &d, int tab, const PrintSettings &s, const PrinterPage &page,
              bool showweight, Canvas &canvas, ContourFigures &figures) {
    const TabView tv = tabView(d, tab);
    const PixelRect clip = printClip(s, page);
    canvas.pushClipRect(clip.left, clip.top, clip.right, clip.bottom);
    RenderPass pass(d, figures, &canvas);
    DrawParams p = printParams(s, page, tv, showweight);
    p.tab = &tv;
    pass.Drawpolys(p);
    if (!tv.block.empty()) {
        p.blocktodraw = tv.block;
        p.showmodel = true;
        pass.Drawpolys(p);
    }
    canvas.popClip();
}

} // namespace quentar::render
