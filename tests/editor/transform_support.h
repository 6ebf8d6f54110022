// What the transformation tests compare: each entity's picture as the render pass draws it (its
// strokes and fills, and the frames of its texts, in drawing units), and whether one picture is
// another carried through a plane map.
#pragma once

#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "editor/transformations.h"
#include "render/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace quentar::testing {

struct Pt {
    double x = 0, y = 0;
};

// One entity's drawing: polylines (strokes and the outlines of fills) and text frames (origin,
// the end of one text height along the baseline, the end of one across it).
struct Picture {
    std::vector<std::vector<Pt>> lines;
    std::vector<std::array<Pt, 3>> texts;
    bool empty() const { return lines.empty() && texts.empty(); }
};

// Records what each top-level entity draws (an insert's block belongs to the insert), back in
// drawing units.
class PictureCanvas : public render::Canvas {
public:
    explicit PictureCanvas(const render::ViewTransform &v) : v_(v) {}
    std::map<std::size_t, Picture> pictures;

    void strokePath(const render::Path &p, const render::Pen &) override { take(p); }
    void fillPath(const render::Path &p, const render::Brush &) override { take(p); }
    void fillRect(int, int, int, int, render::Rgb) override {}
    void frameRect(int, int, int, int, render::Rgb) override {}
    void drawText(std::string_view, double size, const render::Transform &w, render::Rgb) override {
        if (depth_ == 0) return;
        auto at = [&](double u, double v) {
            return world(u * w.m11 + v * w.m21 + w.dx, u * w.m12 + v * w.m22 + w.dy);
        };
        pictures[outer_].texts.push_back({at(0, 0), at(size, 0), at(0, size)});
    }
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view t, int s, int &w, int &h) override {
        w = static_cast<int>(t.size()) * s / 2;
        h = s;
    }
    void pushClipRect(int, int, int, int) override {}
    void popClip() override {}
    void drawHandleImage(int, int, int) override {}
    void beginEntity(std::size_t index) override {
        if (depth_++ == 0) outer_ = index;
    }
    void endEntity() override { --depth_; }

private:
    Pt world(double px, double py) const {
        Pt p;
        v_.world(px, py, p.x, p.y);
        return p;
    }
    void take(const render::Path &path) {
        if (depth_ == 0) return;
        for (const auto &f : path.figures) {
            std::vector<Pt> pts;
            for (const auto &q : f.points) pts.push_back(world(q.x, q.y));
            if (f.closed && !pts.empty()) pts.push_back(pts.front());
            pictures[outer_].lines.push_back(std::move(pts));
        }
    }
    render::ViewTransform v_;
    int depth_ = 0;
    std::size_t outer_ = 0;
};

// Zoomed so far in that the whole-pixel rounding of the drawing is below 1e-5 units (and texts
// of some units are still drawn).
inline std::map<std::size_t, Picture> pictures(const document::Drawing &d, int tab) {
    render::ViewState v;
    v.zoomedvalue = 1e7;
    v.horzPosition = 0;
    v.vertPosition = 0;
    constexpr int kHeight = 1000;
    PictureCanvas canvas(render::transformOf(v, kHeight));
    render::ContourFigures figures;
    render::drawTab(d, render::tabForPreview(d, tab), v, kHeight, false, 96, &canvas, figures);
    return canvas.pictures;
}

inline Pt mapped(const editor::PlaneMap &m, Pt p) {
    const editor::Vec3 q = m.point({p.x, p.y, 0});
    return {q.x, q.y};
}

inline double distanceToSegment(Pt p, Pt a, Pt b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// The largest distance of a point of `a`'s lines from the lines of `b`.
inline double reach(const Picture &a, const Picture &b) {
    double worst = 0;
    for (const auto &line : a.lines)
        for (const Pt &p : line) {
            double best = INFINITY;
            for (const auto &other : b.lines) {
                if (other.size() == 1)
                    best = std::min(best, distanceToSegment(p, other[0], other[0]));
                for (std::size_t k = 1; k < other.size() && best > 0; ++k)
                    best = std::min(best, distanceToSegment(p, other[k - 1], other[k]));
            }
            worst = std::max(worst, best);
        }
    return worst;
}

inline double extent(const Picture &p) {
    double minx = INFINITY, miny = INFINITY, maxx = -INFINITY, maxy = -INFINITY;
    auto take = [&](Pt q) {
        minx = std::min(minx, q.x);
        maxx = std::max(maxx, q.x);
        miny = std::min(miny, q.y);
        maxy = std::max(maxy, q.y);
    };
    for (const auto &l : p.lines)
        for (const Pt &q : l) take(q);
    for (const auto &t : p.texts)
        for (const Pt &q : t) take(q);
    return minx <= maxx ? std::hypot(maxx - minx, maxy - miny) : 0;
}

// `after` is `before` carried through `m`: every point of either lies on the other's lines
// (curves are sampled anew, so a sample of one lies on a chord of the other: a thousandth of the
// size apart at most), and the text frames are the mapped ones. An unbounded line (a ray, a
// construction line) is drawn to a fixed length: it need only lie on the mapped one.
inline ::testing::AssertionResult sameDrawing(const Picture &before, const Picture &after,
                                              const editor::PlaneMap &m, bool unbounded = false) {
    Picture moved;
    for (const auto &l : before.lines) {
        auto &out = moved.lines.emplace_back();
        for (const Pt &p : l) out.push_back(mapped(m, p));
    }
    for (const auto &t : before.texts)
        moved.texts.push_back({mapped(m, t[0]), mapped(m, t[1]), mapped(m, t[2])});
    const double tol = std::max(1e-5, 1e-3 * extent(moved));
    if (moved.texts.size() != after.texts.size() || moved.lines.empty() != after.lines.empty())
        return ::testing::AssertionFailure()
               << after.lines.size() << " lines and " << after.texts.size() << " texts, expected "
               << moved.lines.size() << " and " << moved.texts.size();
    if (const double r = reach(after, moved); r > tol)
        return ::testing::AssertionFailure() << "drawn " << r << " off the mapped original";
    if (const double r = unbounded ? 0 : reach(moved, after); r > tol)
        return ::testing::AssertionFailure() << "the mapped original lies " << r << " off";
    for (std::size_t i = 0; i < moved.texts.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            const Pt a = moved.texts[i][k], b = after.texts[i][k];
            if (std::hypot(a.x - b.x, a.y - b.y) > tol)
                return ::testing::AssertionFailure()
                       << "text " << i << " point " << k << " at (" << b.x << ", " << b.y
                       << "), expected (" << a.x << ", " << a.y << ")";
        }
    return ::testing::AssertionSuccess();
}

inline document::Drawing fixtureDrawing(const std::string &name) {
    document::Drawing d;
    EXPECT_TRUE(document::loadDxfLines(std::string(QUENTAR_FIXTURES_DIR "/drawings/") + name, d))
        << name;
    dxf::processdxf(d);
    return d;
}

// The lines as one text, for byte-for-byte comparisons.
inline std::string allLines(const document::Drawing &d) { return d.dxf.serialize(); }

// Applies the batches, reads the drawing again.
inline void commit(document::Drawing &d, const std::vector<document::EditBatch> &steps) {
    for (const auto &s : steps) document::redoBatch(d.dxf, s);
    dxf::processdxf(d);
}

} // namespace quentar::testing
