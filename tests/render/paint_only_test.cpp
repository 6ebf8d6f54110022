// A paint that visits only what is in view: it leaves out nothing that shows, draws the tiny as
// dots and small outlines thinned, and a measuring pass ignores all of it.
#include "../dxf/dxf_builder.h"
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/drawn_extents.h"
#include "render/page_setup.h"
#include "render/view.h"
#include "render/view_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <utility>

using namespace quentar;
using namespace quentar::render;
using namespace quentar::testing;

namespace {

constexpr int kWidth = 1000, kHeight = 640;

// What reached the surface, by the entities it was drawn for (outermost first: an insert, the
// entities of its block ...).
using Scopes = std::vector<std::size_t>;
class ScopeCanvas : public Canvas {
public:
    std::set<Scopes> shown; // drawn within the surface
    std::set<Scopes> drawn; // drawn anywhere
    int strokes = 0, dots = 0;
    std::size_t pathPoints = 0;

    void strokePath(const Path &p, const Pen &) override {
        ++strokes;
        for (const auto &f : p.figures) {
            pathPoints += f.points.size();
            for (const PointF &q : f.points)
                at(q.x, q.y);
        }
        record();
    }
    void fillPath(const Path &p, const Brush &) override {
        for (const auto &f : p.figures)
            for (const PointF &q : f.points)
                at(q.x, q.y);
        record();
    }
    void fillRect(int x, int y, int w, int h, Rgb) override {
        if (w == 1 && h == 1)
            ++dots;
        at(x, y);
        at(x + w, y + h);
        record();
    }
    void frameRect(int x, int y, int w, int h, Rgb c) override { fillRect(x, y, w, h, c); }
    void drawText(std::string_view, double size, const Transform &t, Rgb) override {
        // Near enough for a text of a few letters; the reach of the extents is far larger.
        at(t.dx - size, t.dy - size);
        at(t.dx + size, t.dy + size);
        record();
    }
    void strokeText(std::string_view s, double size, const Transform &t, const Pen &) override {
        drawText(s, size, t, {});
    }
    void textExtent(std::string_view t, int s, int &w, int &h) override {
        w = static_cast<int>(t.size()) * s / 2;
        h = s;
    }
    // What is drawn outside a viewport's clip does not show.
    void pushClipRect(int l, int t, int r, int b) override {
        Clip c{static_cast<double>(l), static_cast<double>(t), static_cast<double>(r),
               static_cast<double>(b)};
        if (!clips_.empty()) {
            const Clip &o = clips_.back();
            c = {std::max(c.l, o.l), std::max(c.t, o.t), std::min(c.r, o.r), std::min(c.b, o.b)};
        }
        clips_.push_back(c);
    }
    void popClip() override { clips_.pop_back(); }
    void drawHandleImage(int, int x, int y) override { fillRect(x, y, 16, 16, {}); }
    void beginEntity(std::size_t i) override { scopes_.push_back(i); }
    void endEntity() override { scopes_.pop_back(); }

private:
    void at(double x, double y) {
        if (!any_) {
            l_ = r_ = x;
            t_ = b_ = y;
            any_ = true;
        }
        l_ = std::min(l_, x), r_ = std::max(r_, x), t_ = std::min(t_, y), b_ = std::max(b_, y);
    }
    void record() {
        const Scopes &key = scopes_;
        drawn.insert(key);
        // A stroke whose box meets the surface (within the clip) may show on it.
        Clip c{0, 0, kWidth, kHeight};
        if (!clips_.empty()) {
            const Clip &o = clips_.back();
            c = {std::max(c.l, o.l), std::max(c.t, o.t), std::min(c.r, o.r), std::min(c.b, o.b)};
        }
        if (any_ && c.l < c.r && c.t < c.b && l_ < c.r && r_ >= c.l && t_ < c.b && b_ >= c.t)
            shown.insert(key);
        any_ = false;
    }
    struct Clip {
        double l, t, r, b;
    };
    std::vector<Clip> clips_;
    std::vector<std::size_t> scopes_;
    bool any_ = false;
    double l_ = 0, r_ = 0, t_ = 0, b_ = 0;
};

struct Paints {
    ScopeCanvas whole, culled;
    ContourFigures wholeFigures, culledFigures;
};

Paints paintBoth(const document::Drawing &d, const DrawnExtents &extents, int tab,
                 const ViewState &v) {
    Paints out;
    const TabView tv = tabView(d, tab);
    drawTab(d, tv, v, kHeight, true, 96, &out.whole, out.wholeFigures);
    drawTab(d, tv, v, kHeight, true, 96, &out.culled, out.culledFigures, {}, {&extents, kWidth});
    return out;
}

// Every entity that shows in the whole paint is drawn by the culled one, or the insert (or
// viewport) it is drawn in is, as a dot or a thinned outline.
void expectNothingShownLeftOut(const Paints &p) {
    for (const Scopes &key : p.whole.shown) {
        bool drawn = false;
        for (std::size_t n = 1; n <= key.size() && !drawn; ++n)
            drawn = p.culled.drawn.count(Scopes(key.begin(), key.begin() + n)) > 0;
        EXPECT_TRUE(drawn || key.empty())
            << "entity " << key.front() << " (" << key.back() << ") shows but was left out";
    }
}

document::Drawing readFile(const std::filesystem::path &path) {
    document::Drawing d;
    EXPECT_TRUE(document::loadDxfLines(path.string(), d)) << path;
    dxf::processdxf(d);
    return d;
}

TEST(PaintOnly, LeavesOutNothingThatShowsOnAnyTabAtAnyView) {
    std::vector<std::filesystem::path> files;
    for (const char *dir : {QUENTAR_SAMPLES_DIR, QUENTAR_FIXTURES_DIR "/drawings"})
        for (const auto &f : std::filesystem::directory_iterator(dir))
            if (f.path().extension() == ".dxf")
                files.push_back(f.path());
    ASSERT_GE(files.size(), 10u);
    std::size_t skippedSomewhere = 0;
    for (const auto &file : files) {
        const document::Drawing d = readFile(file);
        DrawnExtents extents;
        extents.build(d);
        ASSERT_TRUE(extents.usable()) << file;
        for (int tab = 0; tab < std::max<int>(1, static_cast<int>(d.tabCaptions.size())); ++tab) {
            ViewState fitted;
            fitView(d, tab, kWidth, kHeight, PageSetup{}, fitted);
            // Fitted, zoomed in about a few places, and far in.
            std::vector<ViewState> views{fitted};
            for (const auto &[px, py, steps] :
                 {std::tuple{500, 320, 6}, std::tuple{120, 90, 12}, std::tuple{870, 560, 9},
                  std::tuple{300, 400, 30}}) {
                ViewState v = fitted;
                zoomAbout(v, kHeight, px, py, v.zoomedvalue * std::pow(kZoomStep, steps));
                views.push_back(v);
            }
            for (const ViewState &v : views) {
                SCOPED_TRACE(file.filename().string() + " tab " + std::to_string(tab) + " zoom " +
                             std::to_string(v.zoomedvalue));
                const Paints p = paintBoth(d, extents, tab, v);
                expectNothingShownLeftOut(p);
                skippedSomewhere += p.culled.drawn.size() < p.whole.drawn.size();
            }
        }
    }
    EXPECT_GT(skippedSomewhere, 10u); // zoomed in, most of a drawing is out of view
}

// Plates of one block inserted in a row, the block's base point away from its geometry.
document::Drawing plates(int count, double radius) {
    Groups blocks{
        {0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {8, "0"},  {2, "PLATE"},
        {70, "0"},      {10, "1000"},  {20, "1000"}, {30, "0"}, {0, "CIRCLE"},
        {8, "0"},       {10, "1050"},  {20, "1050"}, {30, "0"}, {40, std::to_string(radius)},
        {0, "ENDBLK"},  {0, "ENDSEC"}};
    Groups inserts;
    for (int i = 0; i < count; ++i)
        for (const Group &g : Groups{{0, "INSERT"},
                                     {8, "0"},
                                     {2, "PLATE"},
                                     {10, std::to_string(i * 200)},
                                     {20, "0"},
                                     {30, "0"}})
            inserts.push_back(g);
    return read(concat({blocks, entitiesSection(inserts)}));
}

TEST(PaintOnly, ExtentsOfAnInsertAreThoseOfItsBlockWhereItIsPlaced) {
    const document::Drawing d = plates(3, 20);
    DrawnExtents extents;
    extents.build(d);
    int inserts = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(d.anzpoly); ++i) {
        const auto &e = d.polys[i];
        if (e.detail().insertstr.empty())
            continue;
        ASSERT_TRUE(extents.bounded(i));
        const ExtentBox &b = extents.box(i);
        // The circle's centre lies 50, 50 from the base point.
        const double cx = e.p(0).x + 50, cy = e.p(0).y + 50;
        EXPECT_NEAR(b.minx, cx - 20, 0.3);
        EXPECT_NEAR(b.maxx, cx + 20, 0.3);
        EXPECT_NEAR(b.miny, cy - 20, 0.3);
        EXPECT_NEAR(b.maxy, cy + 20, 0.3);
        ++inserts;
    }
    EXPECT_EQ(inserts, 3);
}

TEST(PaintOnly, TinyEntitiesAreDotsSmallOutlinesThinned) {
    struct Case {
        double radius; // of each plate's hole, the view fitting the row of plates
        int dots;      // drawn as dots
        bool thinned;  // the circles drawn through fewer of their vertices
    };
    for (const Case &c : {Case{0.05, 3, false}, Case{4, 0, true}, Case{90, 0, false}}) {
        SCOPED_TRACE("radius " + std::to_string(c.radius));
        const document::Drawing d = plates(3, c.radius);
        DrawnExtents extents;
        extents.build(d);
        ViewState v;
        v.zoomedvalue = 100; // one unit a pixel
        v.horzPosition = -10000;
        v.vertPosition = 10000;
        const Paints p = paintBoth(d, extents, 0, v);
        EXPECT_EQ(p.culled.dots, c.dots);
        if (c.thinned) {
            EXPECT_EQ(p.culled.strokes, 3);
            EXPECT_LT(p.culled.pathPoints, p.whole.pathPoints / 2);
            EXPECT_LE(p.culled.pathPoints, 3u * (DrawnExtents::kCoarsePoints + 1));
        } else if (c.dots == 0) {
            EXPECT_EQ(p.culled.pathPoints, p.whole.pathPoints);
        }
        expectNothingShownLeftOut(p);
    }
}

TEST(PaintOnly, AMeasuringPassIgnoresItAndMeasuresEverything) {
    const document::Drawing d = readFile(QUENTAR_SAMPLES_DIR "/voron_deck_panel_fusion360_r14.dxf");
    DrawnExtents extents;
    extents.build(d);
    ViewState v;
    fitView(d, 0, kWidth, kHeight, PageSetup{}, v);
    zoomAbout(v, kHeight, 10, 10, v.zoomedvalue * 50); // hardly anything in view
    const TabView tv = tabView(d, 0);
    auto measure = [&](bool paintOnly) {
        ContourFigures f;
        f.collector = &f.pieces;
        ScopeCanvas canvas;
        drawTab(d, tv, v, kHeight, false, 96, &canvas, f, {},
                paintOnly ? PaintOnly{&extents, kWidth} : PaintOnly{});
        return std::tuple{f.konturlang, f.konturminx, f.konturmaxy, f.pieces.pieces.size(),
                          f.entitiesDrawn};
    };
    EXPECT_EQ(measure(true), measure(false));
    EXPECT_GT(std::get<0>(measure(true)), 1000);
}

TEST(PagePlacement, FitsOrCentresWhatIsDrawnWithinTheMargin) {
    const PrinterPage page{2100, 2970, kMmPerInch * 10}; // 210 x 297 mm
    const ExtentBox part{1000, -500, 1400, -300};        // 400 x 200, far from the origin
    struct Case {
        PagePlacement placement;
        double scale;      // mm per unit printed
        double centreX_mm; // where the part's centre prints, from the page's left edge
    };
    for (const Case &c : {Case{PagePlacement::FitToPage, 0.99 * 190 / 400, 105},
                          Case{PagePlacement::CentreOnPage, 0.25, 105},
                          Case{PagePlacement::Origin, 0.25, 10 + 1200 * 0.25}}) {
        SCOPED_TRACE(static_cast<int>(c.placement));
        PrintSettings s;
        s.mmEd = 1;
        s.UnitsEd = 4;
        s.RandEd = 10;
        s.placement = c.placement;
        const PrintSettings placed = placedSettings(s, page, &part);
        EXPECT_NEAR(placed.scale(), c.scale, 1e-12);
        // The origin prints R + XO right of the page's edge.
        EXPECT_NEAR(placed.RandEd + placed.XOffsetEd + 1200 * placed.scale(), c.centreX_mm, 1e-9);
        if (c.placement != PagePlacement::Origin) {
            EXPECT_NEAR(placed.RandEd + placed.YOffsetEd - 400 * placed.scale(), 297 / 2.0, 1e-9);
        }
    }
    // Nothing drawn: the origin placement.
    PrintSettings s;
    s.placement = PagePlacement::FitToPage;
    EXPECT_EQ(placedSettings(s, page, nullptr), s);
}

TEST(PagePlacement, TheDrawnExtentOfATabHoldsItsBlocksAndTexts) {
    const document::Drawing d = plates(2, 20);
    ExtentBox box;
    ASSERT_TRUE(drawnExtentOfTab(d, 0, box));
    EXPECT_NEAR(box.minx, 30, 0.5); // first plate's hole: 50 - 20
    EXPECT_NEAR(box.maxx, 270, 0.5);
    EXPECT_NEAR(box.miny, 30, 0.5);
    EXPECT_NEAR(box.maxy, 70, 0.5);
    const document::Drawing empty = read(entitiesSection({}));
    EXPECT_FALSE(drawnExtentOfTab(empty, 0, box));
}

} // namespace
