// Reading, tabs, view commands, the paint of the paint box, printing and the calculator's preview.
#include "editor/drawing_viewer.h"

#include "render/colors.h"
#include "render/drawn_bounds.h"

#include <algorithm>
#include <cmath>

namespace quentar::editor {

namespace {

constexpr render::Rgb kPaperGrey{192, 192, 192};
constexpr render::Rgb kShadeGrey{155, 155, 155};

// Pixel coordinates of sheet corners far outside the paint box are pulled in: the rectangle
// looks the same and the painter never sees coordinates near the integer limits.
int toPixel(double v, int extent) {
    const double lo = -10000.0, hi = extent + 10000.0;
    if (!(v > lo)) return static_cast<int>(lo);
    if (v > hi) return static_cast<int>(hi);
    return static_cast<int>(std::nearbyint(v));
}

render::Path rectanglePath(int left, int top, int right, int bottom) {
    render::Path p;
    p.moveTo(left, top);
    p.lineTo(right, top);
    p.lineTo(right, bottom);
    p.lineTo(left, bottom);
    p.closeFigure();
    return p;
}

render::Path polygon(std::initializer_list<render::PointF> points) {
    render::Path p;
    for (const render::PointF &pt : points) p.lineTo(pt.x, pt.y);
    p.closeFigure();
    return p;
}

} // namespace

DrawingViewer::DrawingViewer(ViewerHost &host, document::MessageSource messages)
    : host_(host), session_(host, readingStep(), std::move(messages)) {}

std::function<void(document::Drawing &)> DrawingViewer::readingStep() {
    return [this](document::Drawing &) { readDocument(); };
}

void DrawingViewer::setPaintBoxSize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
}

void DrawingViewer::readDocument() {
    reader_.processdxf(drawing());
    ++readCount_;
    for (auto &l : replacedListeners_) l();
    // A new document: the views remembered for the previous one's tabs do not fit it.
    tabViews_.clear();
    tab_ = 0;
    host_.showTabs(drawing().tabCaptions, tab_);
    ZoomFullIn();
    changed();
    host_.repaintDrawing();
}

void DrawingViewer::documentEdited() {
    document::Drawing &d = drawing();
    reader_.processdxf(d);
    ++readCount_;
    tab_ = std::clamp(tab_, 0, std::max(0, static_cast<int>(d.tabCaptions.size()) - 1));
    host_.showTabs(d.tabCaptions, tab_);
    changed();
    host_.repaintDrawing();
}

void DrawingViewer::TabControl1Change(int tab) {
    tab_ = tab;
    donotstorenow_ = true;
    if (tabViews_.restore(drawing(), tab_, view_))
        viewChanged();
    else
        ZoomFullIn();
    donotstorenow_ = false;
    for (auto &l : tabChangeListeners_) l(tab_);
    changed();
    host_.repaintDrawing();
}

void DrawingViewer::viewChanged() {
    render::clampScroll(view_);
    if (!donotstorenow_) tabViews_.store(drawing(), tab_, view_);
    host_.showScrollPositions(view_.horzPosition, view_.vertPosition);
}

void DrawingViewer::ZoomFullIn() {
    render::fitView(drawing(), tab_, width_, height_, render::pageSetupFor(print_, printer_),
                    view_);
    viewChanged();
}

void DrawingViewer::ZoomAllClick() {
    ZoomFullIn();
    host_.repaintDrawing();
}

void DrawingViewer::ZoomInBtnClick() {
    render::zoomInAtCentre(view_, width_, height_);
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::ZoomOutBtnClick() {
    render::zoomOutAtCentre(view_, width_, height_);
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::wheelStep(int x, int y, bool up, bool shift, bool ctrl) {
    render::wheelStep(view_, height_, x, y, up, shift, ctrl);
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::setView(const render::ViewState &v) {
    view_ = v;
    render::clampZoom(view_);
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::HorzScrollbarChange(int64_t position) {
    view_.horzPosition = position;
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::VertScrollbarChange(int64_t position) {
    view_.vertPosition = position;
    viewChanged();
    host_.repaintDrawing();
}

void DrawingViewer::setDruckvorschau(bool on) {
    druckvorschau_ = on;
    host_.repaintDrawing();
}

void DrawingViewer::setShowweight(bool on) {
    showweight_ = on;
    host_.repaintDrawing();
}

void DrawingViewer::setPrintSettings(const render::PrintSettings &s) {
    print_ = s;
    render::clampPrintSettings(print_);
    host_.repaintDrawing();
}

void DrawingViewer::setPrinterPage(const render::PrinterPage &page) {
    printer_ = page;
    host_.repaintDrawing();
}

render::PrintSettings DrawingViewer::placedPrintSettings() {
    if (print_.placement == render::PagePlacement::Origin) return print_;
    if (!tabExtent_.known || tabExtent_.read != readCount_ || tabExtent_.tab != tab_) {
        tabExtent_.known = true;
        tabExtent_.read = readCount_;
        tabExtent_.tab = tab_;
        tabExtent_.draws = render::drawnExtentOfTab(drawing(), tab_, tabExtent_.box);
    }
    return render::placedSettings(print_, printer_, tabExtent_.draws ? &tabExtent_.box : nullptr);
}

void DrawingViewer::drawPaper(render::Canvas &canvas, bool model, bool &clipped) {
    const render::PrintSettings placed = placedPrintSettings();
    render::DrawingRect sheet = render::paperSheet(placed, printer_);
    render::DrawingRect frame = render::marginFrame(placed, printer_);
    // A paper layout is shown on the sheet its own plot settings give (size, orientation, unit).
    render::DrawnBox own, printable;
    if (!model && render::layoutSheet(drawing(), tab_, own, printable)) {
        sheet = {own.minx, own.miny, own.maxx, own.maxy};
        frame = {printable.minx, printable.miny, printable.maxx, printable.maxy};
    }
    const render::ViewTransform vt = transform();
    auto pixels = [&](const render::DrawingRect &r, int &l, int &t, int &rt, int &b) {
        l = toPixel(vt.screenX(r.minx), width_);
        rt = toPixel(vt.screenX(r.maxx), width_);
        t = toPixel(vt.screenY(r.maxy), height_);
        b = toPixel(vt.screenY(r.miny), height_);
    };
    int l = 0, t = 0, r = 0, b = 0;
    pixels(sheet, l, t, r, b);
    // A white sheet under the print preview of the model, a black one in paper layouts, whose
    // default colour is white.
    const render::Rgb fill = model ? render::kWhite : render::kBlack;
    const render::Rgb edge = model ? render::kBlack : render::kWhite;
    const render::Path sheetPath = rectanglePath(l, t, r, b);
    canvas.fillPath(sheetPath, {render::Brush::Kind::Solid, fill, fill});
    canvas.strokePath(sheetPath, {edge, 1, {}, 0});
    pixels(frame, l, t, r, b);
    canvas.strokePath(rectanglePath(l, t, r, b), {edge, 1, {4, 3}, 0});
    if (druckvorschau_) {
        // What lies outside the margin frame is not printed, so the preview does not show it.
        canvas.pushClipRect(l, t, r + 1, b + 1);
        clipped = true;
    }
}

void DrawingViewer::drawAxisIcon(render::Canvas &canvas) {
    const render::AxisIconPlace a = render::axisIconPlace(view_, width_, height_);
    const double ox = a.ox, oy = a.oy;
    const render::Pen black{render::kBlack, 1, {}, 0};
    render::Path lines;
    lines.moveTo(a.moved ? ox + 5 : ox - 5, oy);
    lines.lineTo(ox + 47, oy);
    lines.moveTo(ox, a.moved ? oy - 5 : oy + 5);
    lines.lineTo(ox, oy - 47);
    canvas.strokePath(lines, black);
    canvas.strokePath(rectanglePath(a.ox - 5, a.oy - 5, a.ox + 5, a.oy + 5), black);
    for (const render::Path &head :
         {polygon({{ox + 47, oy - 5}, {ox + 47, oy + 5}, {ox + 60, oy}}),
          polygon({{ox - 5, oy - 47}, {ox + 5, oy - 47}, {ox, oy - 60}})}) {
        canvas.fillPath(head, {render::Brush::Kind::Solid, render::kWhite, render::kWhite});
        canvas.strokePath(head, black);
    }
    render::Path shade;
    shade.moveTo(ox + 48, oy + 2);
    shade.lineTo(ox + 61, oy);
    shade.moveTo(ox + 48, oy - 1);
    shade.lineTo(ox + 54, oy - 1);
    shade.moveTo(ox + 2, oy - 48);
    shade.lineTo(ox, oy - 61);
    shade.moveTo(ox - 1, oy - 48);
    shade.lineTo(ox - 1, oy - 54);
    canvas.strokePath(shade, {kShadeGrey, 1, {}, 0});
    int xWidth = 0, xHeight = 0, yWidth = 0, yHeight = 0;
    canvas.textExtent("X", 20, xWidth, xHeight);
    canvas.textExtent("Y", 20, yWidth, yHeight);
    canvas.drawText("X", 20, {1, 0, 0, 1, ox + 65, oy - yHeight / 2}, render::kBlack);
    canvas.drawText("Y", 20, {1, 0, 0, 1, ox - xWidth / 2, oy - yHeight - 65}, render::kBlack);
}

void DrawingViewer::PaintBox1Paint(render::Canvas &canvas, int dpi) {
    figures_.reset();
    document::Drawing &d = drawing();
    const render::TabView tv = render::tabView(d, tab_);
    if (view_.donotdrawnow) return;
    const bool paper = !tv.model || druckvorschau_;
    canvas.fillRect(0, 0, width_, height_, paper ? kPaperGrey : render::kWhite);
    bool clipped = false;
    if (paper) drawPaper(canvas, tv.model, clipped);
    if (tv.model && !druckvorschau_) drawAxisIcon(canvas);
    if (under_) under_(canvas);

    if (!extents_.builtFor(d) || extentsRead_ != readCount_) {
        extents_.build(d);
        extentsRead_ = readCount_;
    }
    render::drawTab(d, tv, view_, height_, showweight_, dpi, &canvas, figures_, selected_,
                    {&extents_, width_});
    if (over_) over_(canvas);
    if (clipped) canvas.popClip();
}

void DrawingViewer::paintOverlay(render::Canvas &canvas) {
    if (overlay_ && !view_.donotdrawnow) overlay_(canvas);
}

bool DrawingViewer::printSelectedTab(render::Canvas &canvas) {
    if (view_.donotdrawnow) return false;
    render::printTab(drawing(), tab_, placedPrintSettings(), printer_, showweight_, canvas,
                     figures_);
    return true;
}

void DrawingViewer::ZoomFullIn180() {
    render::ZoomFullIn180(drawing(), tab_, render::pageSetupFor(print_, printer_), view_);
    viewChanged();
}

bool DrawingViewer::Vorschaubild(render::Canvas *canvas, int dpi, render::ContourFigures *into) {
    return render::Vorschaubild(drawing(), tab_, view_, showweight_, dpi, canvas,
                                into ? *into : figures_);
}

render::Rgb DrawingViewer::previewBackground() const {
    return render::previewBackground(drawing(), tab_, druckvorschau_);
}

bool DrawingViewer::showsModel() const { return render::tabView(drawing(), tab_).model; }

std::string DrawingViewer::pointerText(int x, int y) const {
    return render::pointerPositionText(view_, height_, x, y);
}

} // namespace quentar::editor
