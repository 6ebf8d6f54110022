// The nesting: full sheets of rectangles, interlocking L shapes, refusals, repeatability and a
// check that no nest it makes has parts over each other or over the edge trim.
#include "nesting/nester.h"

#include <gtest/gtest.h>
#include <polyclipping/clipper.hpp>

#include <cmath>
#include <numbers>

namespace quentar::nesting {
namespace {

namespace cl = ClipperLib;

Polygon rectangle(double w, double h) { return {{{0, 0}, {w, 0}, {w, h}, {0, h}}, {}, 0}; }

// 200 × 200 with a 100 × 100 corner cut away: two of them make a 300 × 200 block.
Polygon lShape() {
    return {{{0, 0}, {200, 0}, {200, 100}, {100, 100}, {100, 200}, {0, 200}}, {}, 0};
}

Ring circle(double cx, double cy, double r, int n) {
    Ring ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        ring.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return ring;
}

// A flange: a 300 mm disc with a 200 mm hole.
Polygon flange() { return {circle(0, 0, 150, 90), {circle(0, 0, 100, 60)}, 0}; }

// The placed outline in sheet coordinates, in micrometres, grown by `grow` mm.
cl::Paths placedOutline(const std::vector<NestItem> &items, const Placement &p, double grow) {
    const Polygon r = rotated(items[static_cast<std::size_t>(p.item)].shape, p.rotation);
    cl::Path path;
    for (const Point &v : r.outer)
        path.push_back({std::llround((v.x + p.x) * 1000), std::llround((v.y + p.y) * 1000)});
    if (!cl::Orientation(path)) cl::ReversePath(path);
    cl::Paths out{path};
    for (const Ring &h : r.holes) {
        cl::Path hp;
        for (const Point &v : h)
            hp.push_back({std::llround((v.x + p.x) * 1000), std::llround((v.y + p.y) * 1000)});
        if (cl::Orientation(hp)) cl::ReversePath(hp);
        out.push_back(hp);
    }
    if (grow == 0) return out;
    cl::ClipperOffset co;
    co.AddPaths(out, cl::jtRound, cl::etClosedPolygon);
    cl::Paths grown;
    co.Execute(grown, grow * 1000);
    return grown;
}

// The outer ring as placed on the sheet, mm.
Ring placedRing(const std::vector<NestItem> &items, const Placement &p) {
    Ring r = rotated(items[static_cast<std::size_t>(p.item)].shape, p.rotation).outer;
    for (Point &v : r) v = {v.x + p.x, v.y + p.y};
    return r;
}

double areaOf(const cl::Paths &ps) {
    double a = 0;
    for (const cl::Path &p : ps) a += cl::Area(p);
    return a / 1e6; // mm²
}

// Every part inside the trim, no two closer than the gap (less a hair for round joins).
void expectSound(const std::vector<NestItem> &items, const SheetFormat &f, const NestResult &r) {
    for (const SheetNest &s : r.sheets) {
        for (std::size_t i = 0; i < s.parts.size(); ++i) {
            const cl::Paths a = placedOutline(items, s.parts[i], 0);
            for (const cl::IntPoint &v : a[0]) {
                EXPECT_GE(v.X, std::llround(f.trim * 1000) - 5);
                EXPECT_GE(v.Y, std::llround(f.trim * 1000) - 5);
                EXPECT_LE(v.X, std::llround((f.width - f.trim) * 1000) + 5);
                EXPECT_LE(v.Y, std::llround((f.length - f.trim) * 1000) + 5);
            }
            const cl::Paths ga = placedOutline(items, s.parts[i], f.gap / 2 - 0.01);
            for (std::size_t j = 0; j < i; ++j) {
                const cl::Paths gb = placedOutline(items, s.parts[j], f.gap / 2 - 0.01);
                cl::Clipper c;
                c.AddPaths(ga, cl::ptSubject, true);
                c.AddPaths(gb, cl::ptClip, true);
                cl::Paths both;
                c.Execute(cl::ctIntersection, both, cl::pftNonZero, cl::pftNonZero);
                EXPECT_LT(areaOf(both), 0.5) << "parts " << j << " and " << i << " overlap";
            }
        }
    }
}

TEST(Nester, RectanglesFillTheSheetExactly) {
    // 3 × 3 of them cover 3000 × 1500 without a gap; the tenth needs a second sheet.
    const std::vector<NestItem> items{{rectangle(1000, 500), 10}};
    const SheetFormat f{3000, 1500, 0, 0};
    const NestResult r = nest(items, f, {});
    ASSERT_EQ(r.sheets.size(), 2u);
    EXPECT_EQ(r.sheets[0].parts.size(), 9u);
    EXPECT_DOUBLE_EQ(r.sheets[0].partArea / (f.width * f.length), 1.0);
    EXPECT_EQ(r.sheets[1].parts.size(), 1u);
    EXPECT_EQ(r.sheetCount(), 2);
    EXPECT_FALSE(r.timedOut);
    expectSound(items, f, r);
}

TEST(Nester, ShapesNestTighterThanTheirBoxes) {
    struct Case {
        const char *name;
        Polygon shape;
        int boxesPerSheet; // its boxes in a grid on the usable area
    };
    const std::vector<Case> cases{
        // 1500 / 200 = 7 rows of 3000 / 200 = 15 boxes.
        {"L", lShape(), 105},
        // Triangles: two make one box.
        {"triangle", {{{0, 0}, {300, 0}, {0, 300}}, {}, 0}, 50},
    };
    const SheetFormat f{3000, 1500, 0, 0};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        NestSettings s;
        s.maxSheets = 1;
        s.timeoutSeconds = 60;
        const std::vector<NestItem> items{{c.shape, 1000}};
        const NestResult r = nest(items, f, s);
        ASSERT_EQ(r.sheets.size(), 1u);
        EXPECT_GT(static_cast<int>(r.sheets[0].parts.size()), c.boxesPerSheet);
        EXPECT_FALSE(r.timedOut);
        expectSound(items, f, r);
    }
}

TEST(Nester, RefusesWhatFitsNoSheet) {
    const SheetFormat f{3000, 1500, 10, 5};
    const std::vector<NestItem> items{{rectangle(3200, 100), 2},
                                      {rectangle(100, 100), 3},
                                      {rectangle(1490, 1490), 1},
                                      {Polygon{}, 1}};
    const NestResult r = nest(items, f, {});
    ASSERT_EQ(r.refused.size(), 3u);
    EXPECT_EQ(r.refused[0].item, 0);
    EXPECT_EQ(r.refused[0].english, "the part (3200.0 x 100.0 mm) is larger than the sheet's "
                                    "usable area (2980.0 x 1480.0 mm inside the edge trim)");
    EXPECT_NE(r.refused[0].german.find("größer"), std::string::npos);
    EXPECT_EQ(r.refused[1].item, 2); // 1490 fits the length, not the width inside the trim
    EXPECT_EQ(r.refused[2].item, 3);
    EXPECT_EQ(r.refused[2].english, "the part has no closed outline to nest");
    EXPECT_EQ(r.placedCount(), 3); // the small ones are still nested
}

TEST(Nester, WhereAPartIsDrawnDoesNotMatter) {
    // The same L drawn at the origin and far from it, turned, nests alike in sheet coordinates.
    Polygon far = lShape();
    for (Point &v : far.outer) v = {v.x + 4.2e6, v.y - 7.5e5};
    const SheetFormat f{1000, 500, 10, 5};
    const std::vector<NestItem> here{{lShape(), 9}}, there{{far, 9}};
    const NestResult a = nest(here, f, {}), b = nest(there, f, {});
    ASSERT_EQ(a.sheets.size(), b.sheets.size());
    ASSERT_EQ(a.sheets[0].parts.size(), b.sheets[0].parts.size());
    for (std::size_t i = 0; i < a.sheets[0].parts.size(); ++i) {
        const Box pa = boxOf(placedRing(here, a.sheets[0].parts[i]));
        const Box pb = boxOf(placedRing(there, b.sheets[0].parts[i]));
        EXPECT_NEAR(pa.minx, pb.minx, 1e-6);
        EXPECT_NEAR(pa.miny, pb.miny, 1e-6);
    }
    expectSound(there, f, b);
    // Coordinates beyond sense are refused, not fed to the polygon operations.
    const NestResult absurd = nest({{{{{0, 0}, {1e300, 0}, {1e300, 1}}, {}, 0}, 1}}, f, {});
    EXPECT_EQ(absurd.refused.size(), 1u);
    EXPECT_EQ(nest(here, {NAN, 500, 0, 0}, {}).refused.size(), 1u);
}

TEST(Nester, SameInputSameNest) {
    const std::vector<NestItem> items{
        {lShape(), 7}, {flange(), 3}, {rectangle(420, 130), 5}, {{circle(0, 0, 40, 36), {}, 0}, 9}};
    const SheetFormat f{1000, 800, 10, 4};
    const NestResult a = nest(items, f, {}), b = nest(items, f, {});
    ASSERT_EQ(a.sheets.size(), b.sheets.size());
    for (std::size_t i = 0; i < a.sheets.size(); ++i) {
        ASSERT_EQ(a.sheets[i].parts.size(), b.sheets[i].parts.size());
        for (std::size_t j = 0; j < a.sheets[i].parts.size(); ++j) {
            const Placement &p = a.sheets[i].parts[j], &q = b.sheets[i].parts[j];
            EXPECT_EQ(std::tie(p.item, p.rotation, p.x, p.y),
                      std::tie(q.item, q.rotation, q.x, q.y));
        }
    }
    EXPECT_EQ(a.placedCount(), 24);
    expectSound(items, f, a);
}

TEST(Nester, HolesTakePartsOnlyWhenAllowed) {
    const std::vector<NestItem> items{{flange(), 1}, {rectangle(60, 60), 4}};
    const SheetFormat f{400, 400, 0, 2};
    for (bool fill : {false, true}) {
        SCOPED_TRACE(fill);
        NestSettings s;
        s.fillHoles = fill;
        const NestResult r = nest(items, f, s);
        ASSERT_EQ(r.sheets.size(), 1u);
        int inside = 0;
        for (const Placement &p : r.sheets[0].parts) {
            if (p.item != 1) continue;
            const Placement &disc = r.sheets[0].parts[0];
            inside += std::hypot(p.x + 30 - disc.x, p.y + 30 - disc.y) < 100;
        }
        EXPECT_EQ(inside > 0, fill);
        expectSound(items, f, r);
    }
}

TEST(Nester, FullSheetsOfOnePartAreCopies) {
    const std::vector<NestItem> items{{rectangle(1000, 500), 100}};
    const NestResult r = nest(items, {3000, 1500, 0, 0}, {});
    ASSERT_EQ(r.sheets.size(), 2u);
    EXPECT_EQ(r.sheets[0].copies, 11);
    EXPECT_EQ(r.sheets[1].parts.size(), 1u);
    EXPECT_EQ(r.sheetCount(), 12);
    EXPECT_EQ(r.placedCount(), 100);
    // The last sheet is used up to its part and the gap; full ones to their end.
    EXPECT_NEAR(r.sheets[0].usedLength, 3000, 0.01);
    EXPECT_NEAR(r.sheets[1].usedLength, 500, 0.01);
}

TEST(Nester, OutOfTimeStillPlacesEveryPieceByItsBox) {
    NestSettings s;
    s.timeoutSeconds = 0;
    const std::vector<NestItem> items{{lShape(), 300}, {rectangle(50, 20), 7}};
    const SheetFormat f{1000, 1000, 5, 5};
    const NestResult r = nest(items, f, s);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.placedCount(), 307);
    for (const SheetNest &sheet : r.sheets) EXPECT_TRUE(sheet.byBoxes);
    expectSound(items, f, r);
}

TEST(Nester, RotationSteps) {
    struct Case {
        double step;
        std::vector<double> rotations;
    };
    for (const Case &c : std::vector<Case>{{90, {0, 90, 180, 270}},
                                           {45, {0, 45, 90, 135, 180, 225, 270, 315}},
                                           {180, {0, 180}},
                                           {360, {0}},
                                           {7, {0, 90, 180, 270}},
                                           {0, {0, 90, 180, 270}},
                                           {-90, {0, 90, 180, 270}}}) {
        SCOPED_TRACE(c.step);
        NestSettings s;
        s.rotationStep = c.step;
        EXPECT_EQ(effectiveRotations(s), c.rotations);
    }
}

} // namespace
} // namespace quentar::nesting
