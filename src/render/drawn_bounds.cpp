// The extent of what a tab draws, found by drawing it on a canvas that only notes where ink goes.
#include "render/drawn_bounds.h"

#include "render/canvas.h"
#include "render/render_pass.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quentar::render {

void DrawnBox::take(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    if (empty) {
        minx = maxx = x;
        miny = maxy = y;
        empty = false;
        return;
    }
    minx = std::min(minx, x);
    maxx = std::max(maxx, x);
    miny = std::min(miny, y);
    maxy = std::max(maxy, y);
}

void DrawnBox::take(const DrawnBox &b) {
    if (b.empty)
        return;
    take(b.minx, b.miny);
    take(b.maxx, b.maxy);
}

namespace {

// Notes the pixel box of what is drawn, within the clips, outside construction lines.
class BoundsCanvas : public Canvas {
public:
    explicit BoundsCanvas(const document::Drawing &d) : d_(d) {}
    DrawnBox box; // pixels

    void strokePath(const Path &path, const Pen &) override { takePath(path); }
    void fillPath(const Path &path, const Brush &) override { takePath(path); }
    void fillRect(int x, int y, int w, int h, Rgb) override {
        take(x, y);
        take(x + w - 1, y + h - 1);
    }
    void frameRect(int, int, int, int, Rgb) override {}
    void drawText(std::string_view text, double sizePx, const Transform &t, Rgb) override {
        // Arial averages about 0.55 of its size per character; the box is 1.15 sizes tall.
        std::size_t chars = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80)
                ++chars;
        const double w = 0.55 * sizePx * static_cast<double>(chars), h = 1.15 * sizePx;
        for (auto [u, v] : {std::pair{0.0, 0.0}, {w, 0.0}, {0.0, h}, {w, h}})
            take(t.m11 * u + t.m21 * v + t.dx, t.m12 * u + t.m22 * v + t.dy);
    }
    void strokeText(std::string_view text, double sizePx, const Transform &t,
                    const Pen &) override {
        drawText(text, sizePx, t, {});
    }
    void textExtent(std::string_view text, int sizePx, int &width, int &height) override {
        width = static_cast<int>(0.55 * sizePx * static_cast<double>(text.size()));
        height = static_cast<int>(1.15 * sizePx);
    }
    void pushClipRect(int left, int top, int right, int bottom) override {
        Clip c{static_cast<double>(left), static_cast<double>(top), static_cast<double>(right),
               static_cast<double>(bottom)};
        if (!clips_.empty()) {
            const Clip &o = clips_.back();
            c = {std::max(c.l, o.l), std::max(c.t, o.t), std::min(c.r, o.r), std::min(c.b, o.b)};
        }
        clips_.push_back(c);
    }
    void popClip() override {
        if (!clips_.empty())
            clips_.pop_back();
    }
    void drawHandleImage(int, int, int) override {}
    void beginEntity(std::size_t index) override {
        const auto &e = d_.polys[index];
        skipping_.push_back((!skipping_.empty() && skipping_.back()) || e.xline || e.ray);
    }
    void endEntity() override {
        if (!skipping_.empty())
            skipping_.pop_back();
    }

private:
    struct Clip {
        double l, t, r, b;
    };
    void take(double x, double y) {
        if (!skipping_.empty() && skipping_.back())
            return;
        if (!clips_.empty()) {
            const Clip &c = clips_.back();
            x = std::clamp(x, c.l, std::max(c.l, c.r - 1));
            y = std::clamp(y, c.t, std::max(c.t, c.b - 1));
        }
        box.take(x, y);
    }
    void takePath(const Path &path) {
        for (const auto &f : path.figures)
            for (const PointF &p : f.points)
                take(p.x, p.y);
    }
    const document::Drawing &d_;
    std::vector<Clip> clips_;
    std::vector<bool> skipping_;
};

DrawnBox boundsAt(const document::Drawing &d, const TabView &tab, double zoom,
                  ContourFigures *measuring = nullptr) {
    BoundsCanvas canvas(d);
    ContourFigures own;
    ContourFigures &figures = measuring ? *measuring : own;
    ViewState v;
    v.zoomedvalue = zoom;
    v.horzPosition = v.vertPosition = 0;
    // A surface one pixel high: pixel y is minus the drawing's y times the zoom.
    // The extent needs no more than a fraction of a paint's visits: arrays beyond them show
    // the box their copies fill. A measurement's pass has the full bound for its figures.
    constexpr int64_t kExtentVisits = 5'000'000;
    drawTab(d, tab, v, 1, false, 96, &canvas, figures, {}, {}, {}, measuring ? 0 : kExtentVisits);
    DrawnBox out;
    if (canvas.box.empty)
        return out;
    const ViewTransform vt = transformOf(v, 1);
    double x, y;
    vt.world(canvas.box.minx, canvas.box.maxy, x, y);
    out.take(x, y);
    vt.world(canvas.box.maxx, canvas.box.miny, x, y);
    out.take(x, y);
    return out;
}

} // namespace

DrawnBox drawnBounds(const document::Drawing &d, const TabView &tab, ContourFigures *measuring) {
    DrawnBox box = boundsAt(d, tab, 100, measuring);
    if (box.empty)
        return box;
    // Points lie on whole pixels vertically: a small drawing is drawn again larger, so that a
    // pixel is a small part of it.
    const double size = std::max(box.maxx - box.minx, box.maxy - box.miny);
    if (size < 1e5) {
        const double zoom = 100 * 1e5 / std::max(size, 1e-3);
        const DrawnBox fine = boundsAt(d, tab, zoom);
        if (!fine.empty)
            return fine;
    }
    return box;
}

bool layoutSheet(const document::Drawing &d, int tab, DrawnBox &sheet, DrawnBox &printable) {
    if (tab <= 0 || tab >= static_cast<int>(d.layouts.size()))
        return false;
    const document::Tlayout &l = d.layouts[static_cast<std::size_t>(tab)];
    const double perMm = l.paperunits == 0 ? 1 / 25.4 : 1; // paper-space units per millimetre
    double w = l.paperwidth * perMm, h = l.paperheight * perMm;
    double ml = l.marginleft * perMm, mb = l.marginbottom * perMm, mr = l.marginright * perMm,
           mt = l.margintop * perMm;
    if (l.plotrotation == 1 || l.plotrotation == 3) {
        // Turned a quarter: the sheet lies across, its margins go round with it.
        std::swap(w, h);
        const double oldL = ml, oldB = mb, oldR = mr, oldT = mt;
        ml = oldB;
        mb = oldR;
        mr = oldT;
        mt = oldL;
    }
    const bool limits = l.lmaxx > l.lminx && l.lmaxy > l.lminy && l.lmaxx - l.lminx < 1e7 &&
                        l.lmaxy - l.lminy < 1e7;
    sheet = {};
    printable = {};
    if (limits) {
        // The limits of a layout are its sheet; the origin sits at the printable corner.
        sheet.take(l.lminx, l.lminy);
        sheet.take(l.lmaxx, l.lmaxy);
    } else if (w > 0 && h > 0 && w < 1e7 && h < 1e7) {
        sheet.take(-ml, -mb);
        sheet.take(w - ml, h - mb);
    } else {
        return false;
    }
    const double sw = sheet.maxx - sheet.minx, sh = sheet.maxy - sheet.miny;
    if (ml + mr < sw && mb + mt < sh && ml >= 0 && mb >= 0 && mr >= 0 && mt >= 0) {
        printable.take(sheet.minx + ml, sheet.miny + mb);
        printable.take(sheet.maxx - mr, sheet.maxy - mt);
    } else {
        printable = sheet;
    }
    return true;
}

} // namespace quentar::render
