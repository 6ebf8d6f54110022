// Taking the picture of a set of entities through the render pass, and drawing it mapped.
#include "editor/selection_picture.h"

#include "editor/preview_painter.h"
#include "render/view.h"

#include <algorithm>
#include <cmath>

namespace quentar::editor {

namespace {

// Pixels of `v` to drawing units, as a surface transform.
render::Transform fromPixels(const render::ViewTransform &v) {
    const double k = 100 / v.zoom(), bottom = v.surfaceHeight() - 1;
    return {k, 0, 0, -k, v.scrollx() * k, (bottom - v.scrolly()) * k};
}

bool sameView(const render::ViewTransform &a, const render::ViewTransform &b) {
    return a.zoom() == b.zoom() && a.scrollx() == b.scrollx() && a.scrolly() == b.scrolly() &&
           a.surfaceHeight() == b.surfaceHeight();
}

} // namespace

// Keeps what the render pass draws, back in drawing units. What is drawn inside a clip (the
// model a viewport shows) stays out: the frame stands for it.
class PictureRecorder : public render::Canvas {
public:
    PictureRecorder(SelectionPicture &picture, const render::ViewTransform &view,
                    render::Canvas &fonts)
        : p_(picture), view_(view), fonts_(fonts), toWorld_(fromPixels(view)) {}

    void strokePath(const render::Path &path, const render::Pen &) override { take(path); }
    void fillPath(const render::Path &path, const render::Brush &) override { take(path); }
    void fillRect(int x, int y, int w, int h, render::Rgb) override { mark(x, y, w, h); }
    void frameRect(int x, int y, int w, int h, render::Rgb) override { mark(x, y, w, h); }
    void drawText(std::string_view text, double sizePx, const render::Transform &world,
                  render::Rgb) override {
        if (clips_ > 0) return;
        const render::Transform t = world.followedBy(toWorld_);
        // Its origin and the far corner of one height square stand for it in the box.
        add({t.dx, t.dy, 0});
        add({t.dx + sizePx * (t.m11 + t.m21), t.dy + sizePx * (t.m12 + t.m22), 0});
        if (!p_.boxOnly_) p_.texts_.push_back({std::string(text), sizePx, t});
        count(4);
    }
    // Only selected texts are outlined, and the picture marks no selection.
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view text, int sizePx, int &w, int &h) override {
        fonts_.textExtent(text, sizePx, w, h);
    }
    void pushClipRect(int, int, int, int) override { ++clips_; }
    void popClip() override { clips_ = std::max(0, clips_ - 1); }
    void drawHandleImage(int, int, int) override {}

private:
    render::Point3 world(double px, double py) const {
        render::Point3 q;
        view_.world(px, py, q.x, q.y);
        return q;
    }
    void add(const render::Point3 &q) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return;
        if (p_.empty_) {
            p_.minx_ = p_.maxx_ = q.x;
            p_.miny_ = p_.maxy_ = q.y;
            p_.empty_ = false;
            return;
        }
        p_.minx_ = std::min(p_.minx_, q.x);
        p_.maxx_ = std::max(p_.maxx_, q.x);
        p_.miny_ = std::min(p_.miny_, q.y);
        p_.maxy_ = std::max(p_.maxy_, q.y);
    }
    // Past the bound the picture keeps its box alone.
    void count(std::size_t points) {
        p_.points_ += points;
        if (p_.boxOnly_ || p_.points_ <= SelectionPicture::kMaxPoints) return;
        p_.boxOnly_ = true;
        p_.figures_.clear();
        p_.figures_.shrink_to_fit();
        p_.marks_.clear();
        p_.texts_.clear();
    }
    void take(const render::Path &path) {
        if (clips_ > 0) return;
        for (const render::Path::Figure &f : path.figures) {
            SelectionPicture::Figure out;
            out.closed = f.closed;
            if (!p_.boxOnly_) out.points.reserve(f.points.size());
            for (const render::PointF &q : f.points) {
                const render::Point3 w = world(q.x, q.y);
                add(w);
                if (!p_.boxOnly_) out.points.push_back(w);
            }
            if (!p_.boxOnly_ && !out.points.empty()) p_.figures_.push_back(std::move(out));
            count(f.points.size());
        }
    }
    void mark(int x, int y, int w, int h) {
        if (clips_ > 0) return;
        const render::Point3 centre = world(x + w / 2.0, y + h / 2.0);
        add(centre);
        if (!p_.boxOnly_) p_.marks_.push_back({centre, w, h});
        count(1);
    }

    SelectionPicture &p_;
    render::ViewTransform view_;
    render::Canvas &fonts_;
    render::Transform toWorld_;
    int clips_ = 0;
};

void SelectionPicture::take(const document::Drawing &d, int tab,
                            const std::vector<std::size_t> &entities,
                            const render::ViewTransform &view, render::Canvas &fonts) {
    figures_.clear();
    marks_.clear();
    texts_.clear();
    points_ = 0;
    boxOnly_ = false;
    empty_ = true;
    std::vector<char> in(d.polys.size(), 0);
    for (std::size_t i : entities)
        if (i < in.size()) in[i] = 1;
    render::ViewState v;
    v.zoomedvalue = view.zoom();
    v.horzPosition = std::llround(view.scrollx() * 100);
    v.vertPosition = std::llround(view.scrolly() * 100);
    PictureRecorder recorder(*this, view, fonts);
    render::ContourFigures figures;
    render::drawTab(d, render::tabView(d, tab), v, view.surfaceHeight(), false, 96, &recorder,
                    figures, {}, {}, [&in](std::size_t i) { return i < in.size() && in[i]; });
}

void SelectionPicture::draw(PreviewPainter &painter, const document::Drawing &d, uint64_t read,
                            int tab, const std::vector<std::size_t> &entities,
                            const PlaneMap &map) {
    const render::ViewTransform &view = painter.view();
    if (!taken_ || read != read_ || tab != tab_ || entities != entities_ ||
        !sameView(view, view_)) {
        take(d, tab, entities, view, painter.canvas());
        taken_ = true;
        read_ = read;
        tab_ = tab;
        entities_ = entities;
        view_ = view;
    }
    const auto mapped = [&](const render::Point3 &q) {
        const Vec3 m = map.point({q.x, q.y, 0});
        return render::Point3{m.x, m.y, 0};
    };
    if (boxOnly_) {
        if (!empty_)
            painter.outline({mapped({minx_, miny_, 0}), mapped({maxx_, miny_, 0}),
                             mapped({maxx_, maxy_, 0}), mapped({minx_, maxy_, 0})},
                            true);
        return;
    }
    // One path for all strokes: a thousand entities are one call to the surface.
    render::Path path;
    for (const Figure &f : figures_) {
        bool first = true;
        for (const render::Point3 &q : f.points) {
            const render::PointF s = painter.at(mapped(q));
            if (first)
                path.moveTo(s.x, s.y);
            else
                path.lineTo(s.x, s.y);
            first = false;
        }
        if (f.closed) path.closeFigure();
    }
    painter.shape(path);
    for (const Mark &m : marks_) {
        const render::PointF s = painter.at(mapped(m.at));
        painter.mark(s.x, s.y, m.width, m.height);
    }
    const render::Transform through = map.affine();
    for (const Text &t : texts_) painter.text(t.text, t.sizePx, t.world.followedBy(through));
}

} // namespace quentar::editor
