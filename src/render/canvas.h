// The drawing surface the render pass talks to: screen, preview picture, printer and PDF alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::render {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct PointF {
    double x = 0, y = 0;
};

// A 2x3 affine matrix as the surface applies it: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Transform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    // This transform applied first, then `then`.
    Transform followedBy(const Transform &then) const {
        return {m11 * then.m11 + m12 * then.m21,  m11 * then.m12 + m12 * then.m22,
                m21 * then.m11 + m22 * then.m21,  m21 * then.m12 + m22 * then.m22,
                dx * then.m11 + dy * then.m21 + then.dx, dx * then.m12 + dy * then.m22 + then.dy};
    }
};

// A pen: round caps and joins always. A non-empty dash pattern is in units of the pen width
// (as the surfaces scale dash elements by it), starting `dashOffset` into the pattern.
struct Pen {
    Rgb color;
    double width = 1; // pixels; 0 is the thinnest line the surface draws
    std::vector<double> dashPattern;
    double dashOffset = 0;
};

// Figures of straight segments in pixel coordinates; filled with the alternate (even-odd) rule.
struct Path {
    struct Figure {
        std::vector<PointF> points;
        bool closed = false;
    };
    std::vector<Figure> figures;

    void moveTo(double x, double y) { figures.push_back({{{x, y}}, false}); }
    void lineTo(double x, double y) {
        if (figures.empty() || figures.back().closed) moveTo(x, y);
        else figures.back().points.push_back({x, y});
    }
    void closeFigure() {
        if (!figures.empty()) figures.back().closed = true;
    }
    bool empty() const { return figures.empty(); }
    void clear() { figures.clear(); }
};

struct Brush {
    enum class Kind { Solid, BackwardDiagonalHatch };
    Kind kind = Kind::Solid;
    Rgb color;                   // solid colour, or the hatch lines' colour
    Rgb background = kWhite;     // behind the hatch lines
};

// Texts are drawn in "Arial", regular, with the size in pixels; the text is UTF-8.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void strokePath(const Path &path, const Pen &pen) = 0;
    virtual void fillPath(const Path &path, const Brush &brush) = 0;
    // Whole-pixel rectangles (points, grips).
    virtual void fillRect(int x, int y, int width, int height, Rgb color) = 0;
    virtual void frameRect(int x, int y, int width, int height, Rgb color) = 0;

    // A text whose layout box has its top-left corner at (0, 0) of `world` space (as a text drawn
    // at a point is placed), filled with `color`.
    virtual void drawText(std::string_view text, double sizePx, const Transform &world,
                          Rgb color) = 0;
    // The same text's outline, stroked with `pen` (selected texts on screen).
    virtual void strokeText(std::string_view text, double sizePx, const Transform &world,
                            const Pen &pen) = 0;
    // Extent of a text in the surface's own font handling at `sizePx` (for centring).
    virtual void textExtent(std::string_view text, int sizePx, int &width, int &height) = 0;

    // Clip to an integer rectangle until the matching popClip (nested clips intersect).
    virtual void pushClipRect(int left, int top, int right, int bottom) = 0;
    virtual void popClip() = 0;

    // The viewport handle pictures 0, 1, 2 (centre, zoom up, zoom down) at (x, y).
    virtual void drawHandleImage(int index, int x, int y) = 0;

    // Everything drawn between these belongs to entity `index` of the drawing's records. The
    // entities of an inserted block nest inside the insert's scope; a surface that asks what
    // lies under a pixel answers with the outermost entity.
    virtual void beginEntity(std::size_t /*index*/) {}
    virtual void endEntity() {}
};

} // namespace quentar::render
