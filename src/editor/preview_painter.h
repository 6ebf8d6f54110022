// Drawing the tools' previews over the picture of the drawing: rubber bands in drawing units, the
// snap marker and the selection box in pixels.
#pragma once

#include "editor/creation_geometry.h"
#include "render/canvas.h"
#include "render/view_transform.h"

#include <string_view>
#include <vector>

namespace quentar::editor {

class PreviewPainter {
public:
    // `dark`: the drawing lies on a dark sheet (a paper layout), so the preview is drawn light.
    PreviewPainter(render::Canvas &canvas, const render::ViewTransform &view, bool dark);

    const render::ViewTransform &view() const { return view_; }

    // Rubber bands, drawing units.
    void line(const Point3 &a, const Point3 &b);
    // The line through a and b continued far beyond b (a ray), or beyond both (construction line).
    void farLine(const Point3 &a, const Point3 &b, bool bothWays);
    void polyline(const std::vector<Point3> &points, bool closed = false);
    // Vertices with bulges in screen orientation (the polyline being drawn).
    void bulgedPolyline(const std::vector<DrawnVertex> &vertices, bool closed = false);
    void circle(const Point3 &centre, double radius);
    // Counter-clockwise from a0 to a1, radians.
    void arc(const Point3 &centre, double radius, double a0, double a1);
    void ellipse(const EllipseAxes &e, bool wholeCurve);
    // Helper lines (tangents, extension lines): dashed.
    void helperLine(const Point3 &a, const Point3 &b);

    // Pixels.
    void snapMarker(int x, int y);
    void selectionBox(int x1, int y1, int x2, int y2);
    // Outlines of entities as a transform would leave them (their vertices already mapped).
    void outline(const std::vector<Point3> &points, bool closed);
    // The picture of entities as a transform would leave them: strokes in pixels, marks of a
    // fixed size centred at a pixel (points), texts placed by a transform to drawing units.
    void shape(const render::Path &pixels);
    void mark(double x, double y, int width, int height);
    void text(std::string_view text, double sizePx, const render::Transform &toDrawing);

    // The pixel of a drawing point, unrounded.
    render::PointF at(const Point3 &p) const;
    // The surface drawn on (its fonts measure texts).
    render::Canvas &canvas() { return canvas_; }

private:
    void stroke(const render::Path &path, bool dashed = false);

    render::Canvas &canvas_;
    render::ViewTransform view_;
    render::Rgb ink_;
};

} // namespace quentar::editor
