// Print settings: the page to scale, margin and offsets, the sheet on screen and the print pass.
#include "../dxf/dxf_builder.h"
#include "render/page_setup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quentar;
using namespace quentar::render;
using namespace quentar::testing;

namespace {

// A 210 x 297 mm page at exactly 10 pixels per millimetre.
const PrinterPage kPage{2100, 2970, kMmPerInch * 10};

struct Stroke {
    Path path;
    Pen pen;
};

class StrokeCanvas : public Canvas {
public:
    std::vector<Stroke> strokes;
    std::vector<PixelRect> clips;
    int open = 0;
    void strokePath(const Path &p, const Pen &pen) override {
        if (!p.empty()) strokes.push_back({p, pen});
    }
    void fillPath(const Path &, const Brush &) override {}
    void fillRect(int, int, int, int, Rgb) override {}
    void frameRect(int, int, int, int, Rgb) override {}
    void drawText(std::string_view, double, const Transform &, Rgb) override {}
    void strokeText(std::string_view, double, const Transform &, const Pen &) override {}
    void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
    void pushClipRect(int l, int t, int r, int b) override {
        clips.push_back({l, t, r, b});
        ++open;
    }
    void popClip() override { --open; }
    void drawHandleImage(int, int, int) override {}
};

Groups line(double x1, double y1, double x2, double y2, const char *extra = nullptr) {
    Groups g{{0, "LINE"}, {8, "0"}};
    if (extra) g.push_back({67, extra});
    for (const Group &c : Groups{{10, std::to_string(x1)},
                                 {20, std::to_string(y1)},
                                 {11, std::to_string(x2)},
                                 {21, std::to_string(y2)}})
        g.push_back(c);
    return g;
}

double lengthOf(const Path &p) {
    double sum = 0;
    for (const auto &f : p.figures)
        for (std::size_t i = 1; i < f.points.size(); ++i)
            sum += std::hypot(f.points[i].x - f.points[i - 1].x, f.points[i].y - f.points[i - 1].y);
    return sum;
}

StrokeCanvas print(document::Drawing &d, const PrintSettings &s, int tab = 0) {
    StrokeCanvas c;
    ContourFigures f;
    printTab(d, tab, s, kPage, false, c, f);
    EXPECT_EQ(c.open, 0);
    return c;
}

} // namespace

TEST(PageSetup, PrintsToScale) {
    struct Case {
        double mm, units, printedMm;
    };
    auto d = read(entitiesSection(line(0, 0, 100, 0)));
    for (const Case &c :
         {Case{1, 1, 100}, Case{1, 2, 50}, Case{2, 1, 200}, Case{25.4, 100, 25.4}}) {
        SCOPED_TRACE(::testing::Message() << c.mm << " mm = " << c.units << " units");
        PrintSettings s;
        s.mmEd = c.mm;
        s.UnitsEd = c.units;
        const StrokeCanvas out = print(d, s);
        ASSERT_EQ(out.strokes.size(), 1u);
        EXPECT_NEAR(lengthOf(out.strokes[0].path) / 10, c.printedMm, 1e-9);
    }
}

TEST(PageSetup, OriginSitsAtMarginPlusOffsetAndTheMarginClips) {
    struct Case {
        double margin, xOffset, yOffset;
    };
    auto d = read(entitiesSection(line(0, 0, 0, 50)));
    for (const Case &c : {Case{0, 0, 0}, Case{10, 0, 0}, Case{10, 5, 20}, Case{2.5, -3, 0}}) {
        SCOPED_TRACE(::testing::Message() << c.margin << " " << c.xOffset << " " << c.yOffset);
        PrintSettings s;
        s.RandEd = c.margin;
        s.XOffsetEd = c.xOffset;
        s.YOffsetEd = c.yOffset;
        const StrokeCanvas out = print(d, s);
        ASSERT_EQ(out.strokes.size(), 1u);
        const PointF origin = out.strokes[0].path.figures[0].points[0];
        // Millimetres from the printable area's left and bottom edges (the bottom row is
        // height - 1).
        EXPECT_NEAR(origin.x / 10, c.margin + c.xOffset, 1e-9);
        EXPECT_NEAR((kPage.heightPx - 1 - origin.y) / 10, c.margin + c.yOffset, 0.05);
        ASSERT_EQ(out.clips.size(), 1u);
        const PixelRect clip = out.clips[0];
        const int m = static_cast<int>(std::lround(c.margin * 10));
        EXPECT_EQ(clip.left, m);
        EXPECT_EQ(clip.top, m);
        EXPECT_EQ(clip.right, 2100 - m);
        EXPECT_EQ(clip.bottom, 2970 - m);
        // With no offsets the drawing's axes lie on the first pixels inside the margin: shown,
        // and everything at negative coordinates is cut off.
        if (c.xOffset == 0 && c.yOffset == 0) {
            EXPECT_EQ(origin.x, clip.left);
            EXPECT_EQ(origin.y, clip.bottom - 1);
        }
    }
}

TEST(PageSetup, PaperLayoutPrintsPaperSpaceInPrintColours) {
    // A paper-space line in colour 7 prints black (on screen the paper shows it white); the
    // model line does not appear on the paper tab of a drawing without layouts.
    auto d = read(entitiesSection(concat({line(0, 0, 10, 0, "1"), line(0, 0, 0, 77)})));
    const StrokeCanvas paper = print(d, PrintSettings{}, 1);
    ASSERT_EQ(paper.strokes.size(), 1u);
    EXPECT_NEAR(lengthOf(paper.strokes[0].path), 100, 1e-9);
    EXPECT_EQ(paper.strokes[0].pen.color, kBlack);
    const StrokeCanvas model = print(d, PrintSettings{}, 0);
    ASSERT_EQ(model.strokes.size(), 1u);
    EXPECT_NEAR(lengthOf(model.strokes[0].path), 770, 1e-9);
}

TEST(PageSetup, SheetAndMarginFrameInDrawingUnits) {
    struct Case {
        PrintSettings s;
        DrawingRect sheet, frame;
    };
    const Case cases[] = {
        {{1, 1, 0, 0, 0}, {0, 0, 210, 297}, {0, 0, 210, 297}},
        {{1, 1, 0, 0, 5}, {-5, -5, 205, 292}, {0, 0, 200, 287}},
        {{1, 1, 3, 4, 5}, {-8, -9, 202, 288}, {-3, -4, 197, 283}},
        {{1, 2, 3, 4, 5}, {-16, -18, 404, 576}, {-6, -8, 394, 566}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "scale " << c.s.scale() << " margin " << c.s.RandEd);
        const DrawingRect sheet = paperSheet(c.s, kPage), frame = marginFrame(c.s, kPage);
        for (auto [got, want] : {std::pair{sheet, c.sheet}, std::pair{frame, c.frame}}) {
            EXPECT_NEAR(got.minx, want.minx, 1e-9);
            EXPECT_NEAR(got.miny, want.miny, 1e-9);
            EXPECT_NEAR(got.maxx, want.maxx, 1e-9);
            EXPECT_NEAR(got.maxy, want.maxy, 1e-9);
        }
    }
}

TEST(PageSetup, TheFitTakesPageMarginAndScale) {
    PrintSettings s;
    s.mmEd = 2;
    s.UnitsEd = 4;
    s.RandEd = 7;
    const PageSetup p = pageSetupFor(s, kPage);
    EXPECT_EQ(p.pageWidthPx, 2100);
    EXPECT_EQ(p.pageHeightPx, 2970);
    EXPECT_EQ(p.printerPpi, kPage.ppi);
    EXPECT_EQ(p.marginMm, 7);
    EXPECT_EQ(p.mmPerUnit, 0.5);
}

TEST(PageSetup, StoredValuesAreBroughtIntoRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        PrintSettings in, out;
    };
    const Case cases[] = {
        {{1, 1, 0, 0, 0}, {1, 1, 0, 0, 0}},
        {{0, -3, 0, 0, -1}, {kScaleFieldMin, kScaleFieldMin, 0, 0, 0}},
        {{1e20, 2, 5e6, -5e6, 1e9},
         {kScaleFieldMax, 2, kOffsetFieldLimit, -kOffsetFieldLimit, kMarginFieldMax}},
        {{nan, nan, nan, nan, nan}, {1, 1, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        PrintSettings s = c.in;
        clampPrintSettings(s);
        EXPECT_EQ(s, c.out);
    }
}
