// What the drawing window shows of a measurement: the summary line, the tints under the parts and
// holes, the rings at open ends and the thick strokes over cuts drawn twice.
#include "drawings.h"
#include "editor/measurement_view.h"
#include "render/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace quentar;
using namespace quentar::testing;

namespace {

class MarkCanvas : public render::Canvas {
public:
    struct Fill {
        render::Rgb color;
        std::size_t points;
    };
    std::vector<Fill> fills;
    std::vector<render::Path> rings, thick;
    void strokePath(const render::Path &path, const render::Pen &pen) override {
        (pen.width == 4 ? thick : rings).push_back(path);
    }
    void fillPath(const render::Path &path, const render::Brush &brush) override {
        fills.push_back({brush.color, path.figures.empty() ? 0 : path.figures[0].points.size()});
    }
    void fillRect(int, int, int, int, render::Rgb) override {}
    void frameRect(int, int, int, int, render::Rgb) override {}
    void drawText(std::string_view, double, const render::Transform &, render::Rgb) override {}
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
    void pushClipRect(int, int, int, int) override {}
    void popClip() override {}
    void drawHandleImage(int, int, int) override {}
};

Groups circle(double cx, double cy, double r) {
    return {{0, "CIRCLE"}, {8, "0"}, {10, num(cx)}, {20, num(cy)}, {40, num(r)}};
}

// The centre of a stroked ring, in pixels.
render::PointF centreOf(const render::Path &ring) {
    double x = 0, y = 0;
    const auto &pts = ring.figures.at(0).points;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) x += pts[i].x, y += pts[i].y;
    return {x / (pts.size() - 1), y / (pts.size() - 1)};
}

} // namespace

TEST(MeasurementView, SumsUpAndMarksWhatItMeasured) {
    // A 100 × 50 plate of loose lines with a round hole, its top edge drawn twice, and a loose
    // stroke whose two ends are open.
    auto d = read(entitiesSection(concat(
        {line(0, 0, 100, 0), line(100, 0, 100, 50), line(100, 50, 0, 50), line(0, 50, 0, 0),
         line(100, 50, 0, 50), circle(50, 25, 10), line(200, 0, 230, 0)})));
    editor::MeasurementView view;
    EXPECT_EQ(view.summary(), "");
    view.update(d, 0, {});
    ASSERT_TRUE(view.valid());
    const std::string s = view.summary();
    // The loose stroke is cut from a pierce of its own; the edge drawn twice is cut once (its
    // warning says so); the circle is cut as its polygon.
    EXPECT_NE(s.find("Schnittlänge 392,8"), std::string::npos) << s;
    EXPECT_NE(s.find("1 Teil, 1 Loch, 3 Einstiche"), std::string::npos) << s;
    EXPECT_NE(s.find("Fläche 4.685,84 mm²"), std::string::npos) << s; // 5000 − 100π
    EXPECT_NE(s.find("2 offene Enden"), std::string::npos) << s;
    EXPECT_NE(s.find("Warnungen"), std::string::npos) << s;
    EXPECT_NE(view.warningText().find("offene Enden"), std::string::npos) << view.warningText();

    const render::ViewState v{200, -1000, 20000, false};
    const int height = 400;
    MarkCanvas c;
    view.drawUnder(d, c, v, height);
    view.drawOver(d, c, v, height);
    // The part tinted first, then its hole over it.
    ASSERT_EQ(c.fills.size(), 2u);
    EXPECT_EQ(c.fills[0].color, (render::Rgb{214, 230, 255}));
    EXPECT_EQ(c.fills[1].color, (render::Rgb{255, 226, 226}));
    EXPECT_EQ(c.thick.size(), 1u);
    ASSERT_EQ(c.rings.size(), 2u);
    const render::ViewTransform t = render::transformOf(v, height);
    for (const auto &[ring, x] : {std::pair{c.rings[0], 200.0}, std::pair{c.rings[1], 230.0}}) {
        const render::PointF at = centreOf(ring);
        const render::Pixel want = t.pixel(x, 0);
        EXPECT_NEAR(at.x, want.x, 0.5);
        EXPECT_NEAR(at.y, want.y, 0.5);
    }

    // Measured marks belong to the drawing measured: none once it changed or off the model.
    view.invalidate();
    MarkCanvas none;
    view.drawUnder(d, none, v, height);
    view.drawOver(d, none, v, height);
    EXPECT_TRUE(none.fills.empty() && none.rings.empty());
    EXPECT_EQ(view.summary(), "");
}

TEST(MeasurementView, AnEmptyTabSaysSo) {
    auto d = read(entitiesSection({}));
    editor::MeasurementView view;
    view.update(d, 0, {});
    EXPECT_EQ(view.summary(), "Nichts gemessen: dieses Blatt hat keine Elemente");
}
