// Previews as strokes on the overlay canvas.
#include "editor/preview_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quentar::editor {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kArcSteps = 64;               // chords of a previewed circle
constexpr double kFarPixels = 100000;       // how far a construction line reaches beyond its points
const render::Rgb kInkOnWhite{0, 96, 208};  // rubber bands on the white model
const render::Rgb kInkOnDark{96, 208, 255}; // ... on the black sheet of a paper layout
const render::Rgb kMarker{240, 128, 0};     // the snap marker

} // namespace

PreviewPainter::PreviewPainter(render::Canvas &canvas, const render::ViewTransform &view, bool dark)
    : canvas_(canvas), view_(view), ink_(dark ? kInkOnDark : kInkOnWhite) {}

render::PointF PreviewPainter::at(const Point3 &p) const {
    return {view_.screenX(p.x), view_.exactScreenY(p.y)};
}

void PreviewPainter::stroke(const render::Path &path, bool dashed) {
    render::Pen pen{ink_, 1, {}, 0};
    if (dashed) pen.dashPattern = {4, 3};
    canvas_.strokePath(path, pen);
}

void PreviewPainter::line(const Point3 &a, const Point3 &b) { polyline({a, b}); }

void PreviewPainter::helperLine(const Point3 &a, const Point3 &b) {
    render::Path p;
    const render::PointF pa = at(a), pb = at(b);
    p.moveTo(pa.x, pa.y);
    p.lineTo(pb.x, pb.y);
    stroke(p, true);
}

void PreviewPainter::farLine(const Point3 &a, const Point3 &b, bool bothWays) {
    const render::PointF pa = at(a), pb = at(b);
    const double dx = pb.x - pa.x, dy = pb.y - pa.y, len = std::hypot(dx, dy);
    if (!(len > 0)) return;
    const double ux = dx / len * kFarPixels, uy = dy / len * kFarPixels;
    render::Path p;
    if (bothWays)
        p.moveTo(pa.x - ux, pa.y - uy);
    else
        p.moveTo(pa.x, pa.y);
    p.lineTo(pb.x + ux, pb.y + uy);
    stroke(p);
}

void PreviewPainter::polyline(const std::vector<Point3> &points, bool closed) {
    if (points.empty()) return;
    render::Path p;
    for (const Point3 &q : points) {
        const render::PointF s = at(q);
        p.lineTo(s.x, s.y);
    }
    if (closed) p.closeFigure();
    stroke(p);
}

void PreviewPainter::bulgedPolyline(const std::vector<DrawnVertex> &vertices, bool closed) {
    if (vertices.empty()) return;
    std::vector<Point3> points;
    const std::size_t n = vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
        const DrawnVertex &v = vertices[i];
        points.push_back({v.x, v.y, 0});
        if (i + 1 == n && !closed) break;
        const DrawnVertex &w = vertices[(i + 1) % n];
        // The bulge is kept in screen orientation: the arc's own is its negative.
        for (const Point3 &q : bulgeArcPoints({v.x, v.y, 0}, {w.x, w.y, 0}, -v.bulge, 32))
            points.push_back(q);
    }
    polyline(points, closed);
}

void PreviewPainter::circle(const Point3 &centre, double radius) {
    arc(centre, radius, 0, 2 * kPi);
}

void PreviewPainter::arc(const Point3 &centre, double radius, double a0, double a1) {
    if (!std::isfinite(radius) || !std::isfinite(a0) || !std::isfinite(a1)) return;
    double sweep = a1 - a0;
    while (sweep <= 0) sweep += 2 * kPi;
    if (sweep > 2 * kPi) sweep = 2 * kPi;
    std::vector<Point3> points;
    for (int i = 0; i <= kArcSteps; ++i) {
        const double t = a0 + sweep * i / kArcSteps;
        points.push_back({centre.x + radius * std::cos(t), centre.y + radius * std::sin(t), 0});
    }
    polyline(points);
}

void PreviewPainter::ellipse(const EllipseAxes &e, bool wholeCurve) {
    const double a = std::hypot(e.major.x, e.major.y);
    const double rho = std::atan2(e.major.y, e.major.x);
    double p0 = 0, p1 = 2 * kPi;
    if (!wholeCurve) {
        p0 = e.start;
        p1 = e.end;
        if (p1 <= p0) p1 += 2 * kPi;
    }
    std::vector<Point3> points;
    for (int i = 0; i <= kArcSteps; ++i) {
        const double t = p0 + (p1 - p0) * i / kArcSteps;
        const double u = a * std::cos(t), v = a * e.ratio * std::sin(t);
        points.push_back({e.centre.x + u * std::cos(rho) - v * std::sin(rho),
                          e.centre.y + u * std::sin(rho) + v * std::cos(rho), 0});
    }
    polyline(points);
}

void PreviewPainter::snapMarker(int x, int y) {
    render::Path p;
    p.moveTo(x - 5, y - 5);
    p.lineTo(x + 5, y - 5);
    p.lineTo(x + 5, y + 5);
    p.lineTo(x - 5, y + 5);
    p.closeFigure();
    canvas_.strokePath(p, {kMarker, 2, {}, 0});
}

void PreviewPainter::selectionBox(int x1, int y1, int x2, int y2) {
    render::Path box;
    box.moveTo(x1, y1);
    box.lineTo(x2, y1);
    box.lineTo(x2, y2);
    box.lineTo(x1, y2);
    box.closeFigure();
    // White under black dashes: seen on the white model, the grey sheet and the black paper.
    canvas_.strokePath(box, {render::kWhite, 1, {}, 0});
    canvas_.strokePath(box, {render::kBlack, 1, {3, 3}, 0});
}

void PreviewPainter::outline(const std::vector<Point3> &points, bool closed) {
    polyline(points, closed);
}

void PreviewPainter::shape(const render::Path &pixels) {
    if (!pixels.empty()) stroke(pixels);
}

void PreviewPainter::mark(double x, double y, int width, int height) {
    const int w = std::max(width, 1), h = std::max(height, 1);
    canvas_.fillRect(static_cast<int>(std::lround(x - w / 2.0)),
                     static_cast<int>(std::lround(y - h / 2.0)), w, h, ink_);
}

void PreviewPainter::text(std::string_view text, double sizePx,
                          const render::Transform &toDrawing) {
    const double k = view_.zoom() / 100, bottom = view_.surfaceHeight() - 1;
    const render::Transform toPixels{k, 0, 0, -k, -view_.scrollx(), bottom - view_.scrolly()};
    canvas_.drawText(text, sizePx, toDrawing.followedBy(toPixels), ink_);
}

} // namespace quentar::editor
