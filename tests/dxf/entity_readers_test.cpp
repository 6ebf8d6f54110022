// What each entity reader makes of its groups: vertices, hidden points, grips and line fields.
#include "dxf_builder.h"
#include "geometry/curves.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;

namespace {

document::tpoly only(const Groups &entity) {
    auto d = read(entitiesSection(entity));
    EXPECT_EQ(d.anzpoly, 1);
    return d.anzpoly ? d.polys[0] : document::tpoly{};
}

// The drawing too, for checks of line numbers against the text.
document::Drawing drawingOf(const Groups &entity) { return read(entitiesSection(entity)); }

std::string lineAt(const document::Drawing &d, int32_t n) {
    return std::string(d.dxf[static_cast<std::size_t>(n)]);
}

constexpr double kTol = 1e-9;

} // namespace

TEST(LineReader, LineRecordsItsLinesAndEnds) {
    auto d = drawingOf({{0, "LINE"}, {5, "2F"}, {8, "CUT"}, {10, "0"}, {20, "0"}, {30, "0"},
                        {11, "10"}, {21, "0"}, {31, "0"}});
    const auto &p = d.polys[0];
    ASSERT_EQ(p.anzp, 2);
    EXPECT_EQ(p.han, 0x2F);
    EXPECT_EQ(p.layer(d.dxf), "CUT");
    EXPECT_EQ(lineAt(d, p.layerlinenr), "CUT");
    EXPECT_EQ(lineAt(d, p.absLine(p.p(1).linex)), "10");
    EXPECT_EQ(lineAt(d, p.absLine(p.geom->liney(p.p(1)))) + lineAt(d, p.absLine(p.geom->liney(p.p(1))) - 1), "0 21");
    EXPECT_EQ(lineAt(d, p.linefrom + 1), "LINE");
    EXPECT_EQ(lineAt(d, p.linebis - 1), " 31");
    EXPECT_EQ(p.rausx(), 10.0);
    EXPECT_EQ(p.reinx(), 0.0);
    EXPECT_EQ(p.nr, -1);
}

TEST(LineReader, ClosedSquareGetsExplicitClosingVertex) {
    auto p = only({{0, "LWPOLYLINE"}, {90, "4"}, {70, "1"}, {10, "0"}, {20, "0"}, {10, "10"},
                   {20, "0"}, {10, "10"}, {20, "10"}, {10, "0"}, {20, "10"}});
    ASSERT_EQ(p.anzp, 5);
    EXPECT_TRUE(p.isclosed);
    EXPECT_EQ(p.p(4).x, 0.0);
    EXPECT_EQ(p.p(4).y, 0.0);
    EXPECT_EQ(p.p(4).linex, p.p(0).linex); // the copy keeps the first vertex's lines
    EXPECT_EQ(p.rausx(), p.reinx());
    EXPECT_EQ(p.rausy(), p.reiny());
}

TEST(LineReader, BulgedSegmentsBecomeArcs) {
    struct Case {
        const char *bulge;
        double midY; // where the half circle passes x = 5
    };
    for (Case c : {Case{"1", -5.0}, Case{"-1", 5.0}}) {
        SCOPED_TRACE(c.bulge);
        auto p = only({{0, "LWPOLYLINE"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"},
                       {42, c.bulge}, {10, "10"}, {20, "0"}});
        ASSERT_EQ(p.anzp, 52);
        ASSERT_EQ(p.anzs, 1);
        EXPECT_NEAR(p.s(0).x, 5, kTol);
        EXPECT_NEAR(p.s(0).y, 0, kTol);
        bool passed = false;
        for (int i = 1; i <= 50; ++i) {
            EXPECT_NEAR(std::hypot(p.p(i).x - 5, p.p(i).y), 5, 1e-6);
            EXPECT_EQ(p.p(i).linex, 0);
            if (std::fabs(p.p(i).x - 5) < 0.2) passed = std::fabs(p.p(i).y - c.midY) < 0.1;
        }
        EXPECT_TRUE(passed);
    }
}

TEST(LineReader, PolylineTakesItsVerticesAndSeqend) {
    // The sub-records name the polyline as their owner and sit on other layers: the header's
    // owner, layer and colour stand; the handle is the SEQEND's.
    auto d = drawingOf({{0, "POLYLINE"}, {5, "A0"}, {330, "1F"}, {8, "CUT"}, {62, "1"},
                        {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "1"},
                        {0, "VERTEX"}, {5, "A1"}, {330, "A0"}, {8, "0"}, {62, "3"}, {10, "1"},
                        {20, "1"}, {70, "0"}, {0, "VERTEX"}, {5, "A2"}, {330, "A0"}, {10, "2"},
                        {20, "1"}, {70, "32"}, {0, "VERTEX"}, {5, "A3"}, {10, "3"}, {20, "0"},
                        {0, "SEQEND"}, {5, "A4"}, {330, "A0"}, {8, "L2"}});
    const auto &p = d.polys[0];
    EXPECT_TRUE(p.isclosed); // the header's 70, not the vertices'
    ASSERT_EQ(p.anzp, 4);    // three vertices and the closing copy
    EXPECT_EQ(p.p(0).x, 1.0);
    EXPECT_EQ(p.han, 0xA4);
    EXPECT_EQ(p.layhan, 0x1F);
    EXPECT_EQ(p.layer(d.dxf), "CUT");
    EXPECT_EQ(lineAt(d, p.layerlinenr), "CUT");
    EXPECT_EQ(p.colornr, 1);
    EXPECT_EQ(lineAt(d, p.linebis), "L2");
    EXPECT_EQ(d.maxhandle, 0xA4);

    auto open3d = only({{0, "POLYLINE"}, {70, "8"}, {0, "VERTEX"}, {10, "1"}, {70, "32"},
                        {0, "VERTEX"}, {10, "2"}, {70, "32"}, {0, "SEQEND"}});
    EXPECT_FALSE(open3d.isclosed);
    EXPECT_EQ(open3d.anzp, 2);
}

TEST(LineReader, ConstructionLinesAndWidths) {
    auto x = only({{0, "XLINE"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"}});
    EXPECT_TRUE(x.xline);
    EXPECT_EQ(x.p(0).x, -10000.0);
    EXPECT_EQ(x.p(1).x, 10000.0);
    auto r = only({{0, "RAY"}, {10, "5"}, {20, "0"}, {11, "0"}, {21, "1"}});
    EXPECT_EQ(r.p(0).x, 5.0);
    EXPECT_EQ(r.p(1).y, 10000.0);
    // A leader's 40 and 41 are the height and width of its annotation, not line widths.
    auto l = only({{0, "LEADER"}, {3, "ISO-25"}, {40, "2"}, {41, "3"}, {10, "0"}, {20, "0"},
                   {10, "5"}, {20, "5"}});
    EXPECT_TRUE(l.arrowhead);
    EXPECT_EQ(l.detail().stylename, "ISO-25");
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(l.p(i).setwid);
    EXPECT_FALSE(l.setwidonce);
    EXPECT_FALSE(only({{0, "LEADER"}, {71, "0"}, {10, "0"}}).arrowhead);
}

TEST(LineReader, WidthsFollowTheirVerticesThroughArcsAndClosing) {
    // Each vertex takes the width standing when it is read; arc points and the closing copy take
    // the width of the vertex they come from.
    auto c = only({{0, "LWPOLYLINE"}, {70, "1"}, {40, "0.5"}, {10, "0"}, {20, "0"}, {42, "1"},
                   {40, "2"}, {10, "10"}, {20, "0"}, {42, "1"}});
    const int n = 2 * (1 + render::kBulgePoints) + 1;
    ASSERT_EQ(c.anzp, n);
    for (int i = 0; i < n; ++i) {
        const float expected = i > render::kBulgePoints && i < n - 1 ? 2.0f : 0.5f;
        EXPECT_TRUE(c.p(i).setwid) << i;
        EXPECT_EQ(c.geom->width(static_cast<std::size_t>(i)), expected) << i;
    }
    EXPECT_EQ(c.p(n - 1).x, 0);
    // Without a width of its own a vertex draws with the entity's pen.
    auto plain = only({{0, "LWPOLYLINE"}, {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"}});
    EXPECT_FALSE(plain.p(1).setwid);
    EXPECT_EQ(plain.geom->width(1), 0);
}

TEST(ArcReader, CircleAndArcSampling) {
    auto c = only({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "10"}});
    ASSERT_EQ(c.anzp, 102);
    EXPECT_TRUE(c.p(0).donotdraw);
    EXPECT_EQ(c.anzs, 1);
    EXPECT_NEAR(c.p(1).x, 10, kTol);
    EXPECT_NEAR(c.p(101).x, 10, kTol);
    EXPECT_NEAR(c.p(101).y, 0, 1e-9);
    EXPECT_TRUE(c.p(1).moveonly);
    for (int i = 0; i <= 100; ++i) EXPECT_EQ(c.p(1 + i).mode, (i % 25 == 0 && i < 100) ? 1 : 0);
    EXPECT_EQ(c.p(26).linex, c.p(1).linex);
    EXPECT_EQ(c.reinx(), 0.0); // the centre is the entry point

    auto d = drawingOf({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "350"}, {51, "10"}});
    const auto &a = d.polys[0];
    ASSERT_EQ(a.anzp, 104);
    EXPECT_EQ(a.p(1).mode, 3);
    EXPECT_EQ(lineAt(d, a.absLine(a.p(1).linex)), "350");
    EXPECT_EQ(lineAt(d, a.absLine(a.p(2).linex)), "10");
    EXPECT_EQ(a.p(3 + 50).mode, 1);
    // 350 to 370 degrees, counter-clockwise through 0
    EXPECT_NEAR(a.p(3 + 50).x, 1, kTol);
    EXPECT_NEAR(a.p(3 + 50).y, 0, kTol);
    EXPECT_LT(a.p(3).y, 0);
    EXPECT_GT(a.p(103).y, 0);
}

TEST(CurveReaders, EllipseWithHiddenPointsAndMirroring) {
    Groups e{{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "0"}, {31, "0"},
             {40, "0.5"}};
    auto p = only(e);
    ASSERT_EQ(p.anzp, 104);
    EXPECT_EQ(p.detail().radius1, 10);
    EXPECT_EQ(p.detail().radius2, 5);
    EXPECT_EQ(p.detail().radius3, 0);
    EXPECT_NEAR(p.p(2).y, 5, kTol);
    EXPECT_EQ(p.p(2).mode, 2);
    EXPECT_TRUE(p.p(0).donotdraw && p.p(1).donotdraw && p.p(2).donotdraw);
    EXPECT_NEAR(p.p(3).x, 10, kTol);
    EXPECT_NEAR(p.p(103).x, 10, kTol);
    EXPECT_GT(p.p(4).y, 0); // counter-clockwise
    EXPECT_TRUE(p.needext230);

    e.push_back({230, "-1"});
    auto m = only(e);
    EXPECT_NEAR(m.p(2).y, -5, kTol);
    EXPECT_LT(m.p(4).y, 0); // clockwise
    EXPECT_FALSE(m.needext230);
    EXPECT_TRUE(m.needext210 && m.needext220);
}

TEST(CurveReaders, SplineWithAndWithoutKnots) {
    Groups cps{{10, "0"}, {20, "0"}, {30, "0"}, {10, "1"}, {20, "2"}, {30, "0"},
               {10, "3"}, {20, "2"}, {30, "0"}, {10, "4"}, {20, "0"}, {30, "0"}};
    Groups knots{{40, "0"}, {40, "0"}, {40, "0"}, {40, "0"},
                 {40, "1"}, {40, "1"}, {40, "1"}, {40, "1"}};
    auto withKnots = only(concat({{{0, "SPLINE"}, {70, "8"}, {71, "3"}}, knots, cps}));
    auto noKnots = only(concat({{{0, "SPLINE"}, {71, "3"}}, cps}));
    ASSERT_EQ(withKnots.anzp, noKnots.anzp);
    const int samples = withKnots.anzp - 4;
    ASSERT_GT(samples, 2);
    for (const auto *p : {&withKnots, &noKnots}) {
        EXPECT_EQ(p->p(0).x, 0.0);
        EXPECT_EQ(p->p(samples - 1).x, 4.0);
        for (int i = 0; i < samples; ++i) {
            EXPECT_FALSE(p->p(i).donotdraw);
            EXPECT_EQ(p->p(i).linex, 0);
            EXPECT_EQ(withKnots.p(i).x, noKnots.p(i).x);
        }
        // The control points follow, hidden, with their lines: the grips of the editor.
        for (int i = samples; i < p->anzp; ++i) {
            EXPECT_TRUE(p->p(i).donotdraw);
            EXPECT_NE(p->p(i).linex, 0);
        }
        EXPECT_EQ(p->rausx(), 4.0); // the last control point
        EXPECT_EQ(p->readIssues, 0);
    }
}

TEST(CurveReaders, FitPointSplinePassesNearItsPoints) {
    Groups s{{0, "SPLINE"}, {71, "3"}};
    const double fx[] = {0, 10, 20, 30, 40};
    const double fy[] = {0, 8, 0, -8, 0};
    for (int i = 0; i < 5; ++i) {
        s.push_back({11, std::to_string(fx[i])});
        s.push_back({21, std::to_string(fy[i])});
    }
    auto p = only(s);
    ASSERT_GT(p.anzp, 2);
    for (int i = 0; i < p.anzp; ++i) // no control points in the file, so no hidden vertices
        EXPECT_FALSE(p.p(i).donotdraw);
    for (int k = 0; k < 5; ++k) {
        double best = 1e9;
        for (int i = 0; i < p.anzp; ++i)
            best = std::min(best, std::hypot(p.p(i).x - fx[k], p.p(i).y - fy[k]));
        EXPECT_LT(best, 1.0) << k;
    }
}

TEST(SolidPointInsert, CornersPositionsAndReferences) {
    auto s = only({{0, "SOLID"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {12, "0"},
                   {22, "10"}, {13, "10"}, {23, "10"}, {370, "50"}});
    ASSERT_EQ(s.anzp, 4);
    EXPECT_TRUE(s.issolid && s.isclosed);
    EXPECT_FALSE(s.linweightpresent);
    const double ex[] = {0, 10, 10, 0}, ey[] = {0, 0, 10, 10};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.p(i).x, ex[i]);
        EXPECT_EQ(s.p(i).y, ey[i]);
    }
    auto pt = only({{0, "POINT"}, {10, "5"}, {20, "5"}, {30, "0"}});
    EXPECT_TRUE(pt.ispoint);
    EXPECT_EQ(pt.anzp, 1);
    auto ins = only({{0, "INSERT"}, {2, "A"}, {20, "50"}, {10, "100"}, {30, "0"}, {41, "2"},
                     {50, "90"}, {70, "3"}, {71, "2"}, {44, "20"}, {45, "10"}});
    EXPECT_EQ(ins.detail().insertstr, "A");
    ASSERT_EQ(ins.anzp, 1);
    EXPECT_EQ(ins.p(0).x, 100.0);
    EXPECT_EQ(ins.p(0).y, 50.0); // its y came first
    EXPECT_EQ(ins.p(0).linex, 0);
    EXPECT_EQ(ins.detail().rotation, 90.0);
    EXPECT_EQ(ins.detail().insscalex, 2.0);
    EXPECT_EQ(ins.detail().insscaley, 1.0);
    EXPECT_EQ(ins.detail().inscols, 3);
    EXPECT_EQ(ins.detail().insrows, 2);
    EXPECT_EQ(ins.detail().inscolspacing, 20.0);
    EXPECT_EQ(ins.detail().insrowspacing, 10.0);
}

TEST(TextReader, TextsAndRotation) {
    auto m = only({{0, "MTEXT"}, {10, "1"}, {20, "2"}, {40, "2.5"}, {3, "abc"}, {1, "def"},
                   {11, "0"}, {21, "1"}, {31, "0"}});
    EXPECT_TRUE(m.istext && m.ismtext);
    EXPECT_EQ(m.detail().textstr, "abcdef");
    EXPECT_NEAR(m.detail().rotation, 90, kTol);
    EXPECT_EQ(m.radius, 2.5);
    EXPECT_EQ(m.cx, 1.0);
    auto t = only({{0, "TEXT"}, {10, "0"}, {20, "0"}, {1, "Hi"}, {50, "30"}, {11, "100"},
                   {21, "50"}});
    EXPECT_EQ(t.detail().rotation, 30.0);
    EXPECT_FALSE(t.ismtext);
    EXPECT_EQ(t.anzp, 1);
}

TEST(DimensionReader, LinearRadiusAndMeasurement) {
    auto lin = only({{0, "DIMENSION"}, {70, "32"}, {42, "25.4"}, {10, "50"}, {20, "20"},
                     {13, "0"}, {23, "0"}, {14, "100"}, {24, "0"}});
    EXPECT_EQ(lin.detail().messuaretxt, "25.4000");
    ASSERT_EQ(lin.anzp, 6);
    const double ex[] = {0, 0, 100, 100, 0, 100}, ey[] = {0, 20, 0, 20, 20, 20};
    const bool jump[] = {false, false, true, false, true, false};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(lin.p(i).x, ex[i], 1e-9) << i;
        EXPECT_NEAR(lin.p(i).y, ey[i], 1e-9) << i;
        EXPECT_EQ(lin.p(i).moveonly, jump[i]) << i;
    }
    EXPECT_EQ(lin.p(5).botharrows, 3);
    EXPECT_TRUE(lin.p(5).doadddimtexthere);

    auto rad = only({{0, "DIMENSION"}, {70, "4"}, {10, "0"}, {20, "0"}, {15, "5"}, {25, "0"}});
    EXPECT_EQ(rad.anzp, 2);
    EXPECT_TRUE(rad.arrowhead);
    EXPECT_EQ(rad.detail().addtextmode, 2);
    EXPECT_EQ(only({{0, "DIMENSION"}, {42, "abc"}}).detail().messuaretxt, "abc");

    auto ang = only({{0, "DIMENSION"}, {70, "2"}, {15, "0"}, {25, "0"}, {13, "10"}, {23, "0"},
                     {14, "0"}, {24, "10"}, {10, "5"}, {20, "5"}});
    ASSERT_EQ(ang.anzp, 103);
    EXPECT_NEAR(ang.radius, std::sqrt(50.0), kTol);
    EXPECT_EQ(ang.detail().addtextmode, 0);
    EXPECT_TRUE(ang.p(102).doadddimtexthere);
}

TEST(AreaReaders, HatchWipeoutViewport) {
    auto h = only({{0, "HATCH"}, {10, "0"}, {20, "0"}, {30, "0"}, {91, "1"}, {92, "2"},
                   {72, "0"}, {73, "1"}, {93, "4"}, {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"},
                   {10, "10"}, {20, "10"}, {10, "0"}, {20, "10"}, {98, "1"}, {10, "5"},
                   {20, "5"}});
    // The loop closes itself (the entity as a whole need not: it may have more loops).
    ASSERT_EQ(h.anzp, 5);
    EXPECT_EQ(h.p(4).x, h.p(0).x);
    EXPECT_EQ(h.p(4).y, h.p(0).y);
    EXPECT_TRUE(h.issolid && h.patternfill); // no solid flag: a pattern (without lines here)

    auto w = only({{0, "WIPEOUT"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "0"},
                   {22, "1"}, {14, "-0.5"}, {24, "-0.5"}, {14, "0.5"}, {24, "0.5"}});
    EXPECT_TRUE(w.iswipeout);
    ASSERT_EQ(w.anzp, 2);
    EXPECT_NEAR(w.p(0).x, 0, kTol);
    EXPECT_NEAR(w.p(0).y, 1, kTol);

    auto d = drawingOf({{0, "VIEWPORT"}, {67, "1"}, {10, "100"}, {20, "100"}, {40, "50"},
                        {41, "40"}, {69, "7"}, {12, "3"}, {22, "4"}, {45, "9"}});
    const auto &v = d.polys[0];
    EXPECT_TRUE(v.isviewport && v.ispaperspace);
    ASSERT_EQ(v.anzp, 8);
    const double cx[] = {75, 125, 125, 75, 75}, cy[] = {80, 80, 120, 120, 80};
    const char *lines[] = {"100", "100", "50", "40"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(v.p(i).x, cx[i]);
        EXPECT_EQ(v.p(i).y, cy[i]);
        if (i < 4) {
            EXPECT_EQ(lineAt(d, v.absLine(v.p(i).linex)), lines[i]);
        }
    }
    EXPECT_TRUE(v.p(5).donotdraw && v.p(6).donotdraw && v.p(7).donotdraw);
    EXPECT_EQ(lineAt(d, v.absLine(v.geom->liney(v.p(5)))), "4");
    EXPECT_EQ(lineAt(d, v.absLine(v.p(6).linex)), "9");
    EXPECT_EQ(d.maxviewportid, 7);
    EXPECT_EQ(only({{0, "VIEWPORT"}, {69, "1"}, {40, "5"}}).anzp, 0);

    auto r12 = only({{0, "VIEWPORT"}, {69, "2"}, {1001, "ACAD"}, {1040, "0"}, {1040, "7"},
                     {1040, "8"}, {1040, "9"}, {1040, "10"}});
    EXPECT_EQ(r12.detail().viewheight, 7.0);
    EXPECT_EQ(r12.detail().panx, 8.0);
    EXPECT_EQ(r12.detail().pany, 9.0);
}

TEST(EntityFrame, UnconvertibleValuesLeaveFieldsUnchanged) {
    auto p = only({{0, "LINE"}, {62, "1.0"}, {10, "abc"}, {10, "1"}, {20, "nan"}, {20, "2"},
                   {10, "inf"}, {11, "3"}, {21, "4"}, {370, "x"}});
    EXPECT_FALSE(p.colorispresent);
    EXPECT_FALSE(p.linweightpresent);
    ASSERT_EQ(p.anzp, 2);
    EXPECT_EQ(p.p(0).y, 2.0);
}
