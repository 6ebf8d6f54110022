// Zoom and scroll state, fits and the preview render.
#include "render/view.h"

#include "render/colors.h"
#include "render/drawn_bounds.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace quentar::render {

namespace {

double roundEven(double v) { return std::nearbyint(v); }

int64_t roundPosition(double v) {
    const double r = std::nearbyint(v);
    if (!(r > -9e18 && r < 9e18)) return r > 0 ? INT64_MAX / 2 : INT64_MIN / 2;
    return static_cast<int64_t>(r);
}

} // namespace

void clampZoom(ViewState &v) {
    if (!(v.zoomedvalue >= kMinZoom)) v.zoomedvalue = kMinZoom; // NaN lands here too
    if (v.zoomedvalue > 1000000) v.zoomedvalue = 1000000;
}

void DXF2Bildschirm(const ViewState &v, int h, double x, double y, double &xx, double &yy) {
    const ViewTransform t = transformOf(v, h);
    xx = t.screenX(x);
    yy = t.exactScreenY(y);
}

void Bildschirm2DXF(const ViewState &v, int h, double x, double y, double &xx, double &yy) {
    transformOf(v, h).world(x, y, xx, yy);
}

TabView tabView(const document::Drawing &d, int t) {
    TabView tv;
    if (t >= 0 && t < static_cast<int>(d.layouts.size())) {
        tv.handle = d.layouts[static_cast<std::size_t>(t)].layhan;
        tv.model = t == 0;
        // Block names are not case-sensitive: older files spell them "*PAPER_SPACE".
        const auto active = [](std::string_view name) {
            const std::string_view n = document::trimLine(name);
            auto same = [&](std::string_view w) {
                return n.size() == w.size() &&
                       std::equal(n.begin(), n.end(), w.begin(), [](char a, char b) {
                           return std::tolower(static_cast<unsigned char>(a)) ==
                                  std::tolower(static_cast<unsigned char>(b));
                       });
            };
            return same("*Paper_Space") || same("*Model_Space");
        };
        for (const auto &b : d.blocks) {
            if (b.hand == tv.handle && !active(b.blockname)) {
                tv.block = b.blockname;
                break;
            }
        }
    } else {
        tv.model = t != 1;
    }
    return tv;
}

FitExtent fitExtent(const document::Drawing &d, int tab, const PageSetup &page,
                    ContourFigures *measuring) {
    // What is drawn, inserted blocks and viewport contents included; not the origin, not the
    // insertion points alone, not construction lines.
    const TabView tv = tabView(d, tab);
    DrawnBox box = drawnBounds(d, tv, measuring);
    DrawnBox sheet, printable;
    if (tab > 0 && !tv.model && layoutSheet(d, tab, sheet, printable)) {
        // A paper layout shows its whole sheet.
        box.take(sheet);
    } else if (tab > 0 && page.printerPpi > 0 && page.mmPerUnit > 0) {
        // Without a sheet of its own, at least the printable page.
        box.take(0, 0);
        box.take((page.pageWidthPx / page.printerPpi * kMmPerInch - 2 * page.marginMm) /
                     page.mmPerUnit,
                 (page.pageHeightPx / page.printerPpi * kMmPerInch - 2 * page.marginMm) /
                     page.mmPerUnit);
    }
    FitExtent e;
    if (!box.empty) e = {box.minx, box.miny, box.maxx, box.maxy};
    return e;
}

void fitView(const document::Drawing &d, int tab, int width, int height, const PageSetup &page,
             ViewState &v) {
    fitViewTo(fitExtent(d, tab, page), width, height, v);
}

void fitViewTo(const FitExtent &e, int width, int height, ViewState &v) {
    const double minx = e.minx, miny = e.miny, maxx = e.maxx, maxy = e.maxy;
    double z = v.zoomedvalue;
    double rw = roundEven((maxx - minx) * z / 100), rh = roundEven((maxy - miny) * z / 100);
    const double f = std::min(width / (rw + 10), height / (rh + 10));
    v.donotdrawnow = true;
    v.zoomedvalue = z * f * 0.95;
    clampZoom(v);
    z = v.zoomedvalue;
    rw = roundEven((maxx - minx) * z / 100);
    rh = roundEven((maxy - miny) * z / 100);
    v.horzPosition = roundPosition((minx * z / 100 - (width - rw - 10) / 2) * 100);
    v.vertPosition = roundPosition(((height - rh - 10) / 2 - miny * z / 100) * 100);
    v.donotdrawnow = false;
}

Rgb previewBackground(const document::Drawing &d, int tab, bool druckvorschau) {
    const TabView tv = tabView(d, tab);
    return (!tv.model || druckvorschau) ? Rgb{192, 192, 192} : kWhite;
}

void drawTab(const document::Drawing &d, const TabView &tv, const ViewState &v, int surfaceHeight,
             bool showweight, int dpi, Canvas *canvas, ContourFigures &figures,
             const SelectedLookup &selected, const PaintOnly &paint, const SelectedLookup &only,
             int64_t visitBudget) {
    RenderPass pass(d, figures, canvas);
    if (visitBudget > 0) pass.setVisitBudget(visitBudget);
    pass.setSelected(selected);
    pass.setOnly(only);
    if (paint.extents) pass.paintOnly(*paint.extents, paint.surfaceWidth, surfaceHeight);
    DrawParams p;
    p.scrollx = v.horzPosition / 100.0;
    p.scrolly = v.vertPosition / 100.0;
    p.paintbox1height = surfaceHeight;
    p.showweight = showweight;
    p.dpi1 = dpi;
    p.zoomit = v.zoomedvalue;
    p.thelayhan = tv.handle;
    p.showmodel = p.showmodelforcolor = tv.model;
    p.forprint = false;
    p.tab = &tv;
    pass.Drawpolys(p);
    if (!tv.block.empty()) {
        p.blocktodraw = tv.block;
        p.showmodel = true;
        pass.Drawpolys(p);
    }
}

void beginMeasuring(const document::Drawing &d, ContourFigures &figures) {
    figures.reset();
    figures.collector = &figures.pieces;
    // About a piece per entity: room made once rather than grown a million times over.
    figures.pieces.reserve(static_cast<std::size_t>(std::max(0, d.anzpoly)));
}

void finishMeasuring(const document::Drawing &d, ContourFigures &figures) {
    figures.collector = nullptr;
    // Copies counted by their length and box alone hold cut contours: none can be made of them,
    // and those of the rest would be a part of the drawing taken for the whole.
    const bool lengthsOnly = figures.summarisedCutPieces > 0;
    contours::AnalysisBudget budget;
    budget.contours = !lengthsOnly;
    figures.analysis = contours::analyseContours(d, figures.pieces, budget);
    if (lengthsOnly) figures.analysis.unfinished |= contours::kTooManyPieces;
    for (std::size_t k = 0; k < figures.summarisedByKind.size(); ++k) {
        const double len = figures.summarisedByKind[k];
        figures.analysis.lengthByKind[k] += len;
        if (len > 0 && !(figures.cutContoursOnly && k != 0))
            figures.analysis.kindMeasured[k] = true;
    }
    for (double area : figures.analysis.areas()) *figures.flaechen.Add() = area;
}

bool Vorschaubild(const document::Drawing &d, int tab, const ViewState &v, bool showweight, int dpi,
                  Canvas *canvas, ContourFigures &figures) {
    figures.reset();
    const TabView tv = tabView(d, tab);
    if (v.donotdrawnow) return false;
    // The areas are not taken from the picture: the pieces drawn are chained into contours and
    // measured exactly, whatever the view.
    beginMeasuring(d, figures);
    drawTab(d, tv, v, kPreviewSize, showweight, dpi, canvas, figures);
    finishMeasuring(d, figures);
    return true;
}

} // namespace quentar::render
