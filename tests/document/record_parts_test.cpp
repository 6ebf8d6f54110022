// The shared parts of an entity record: the detail copied on write and the counted geometry block.
#include "document/records.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace quentar::document;

TEST(EntityDetailBox, ReadsDefaultsUntilWrittenAndCopiesOnWrite) {
    tpoly a;
    EXPECT_FALSE(a.hasDetail());
    // An empty box reads as a fresh detail: the defaults the fields had in the record.
    EXPECT_EQ(a.detail().extz, 1);
    EXPECT_EQ(a.detail().insscalex, 1);
    EXPECT_EQ(a.detail().inscols, 1);
    EXPECT_TRUE(a.detail().textstr.empty());

    a.detailForWrite().textstr = "first";
    ASSERT_TRUE(a.hasDetail());
    tpoly b = a;
    EXPECT_EQ(&a.detail(), &b.detail()); // a copy shares it
    b.detailForWrite().textstr = "second";
    EXPECT_EQ(a.detail().textstr, "first");
    EXPECT_EQ(b.detail().textstr, "second");
    EXPECT_NE(&a.detail(), &b.detail());

    // The last holder writes in place; a moved-from record is empty again.
    const EntityDetail *own = &b.detail();
    b.detailForWrite().rotation = 30;
    EXPECT_EQ(&b.detail(), own);
    tpoly c = std::move(b);
    EXPECT_EQ(c.detail().rotation, 30);
    EXPECT_FALSE(b.hasDetail()); // NOLINT(bugprone-use-after-move): the moved-from state counts
    b = c;
    b = std::move(c);
    EXPECT_EQ(b.detail().textstr, "second");
}

TEST(EntityGeometryBlock, KeepsTheThreeRunsApartAndLivesWhileReferenced) {
    auto point = [](double x) {
        Tmypoi v;
        v.x = x;
        v.linex = static_cast<int32_t>(x);
        return v;
    };
    const std::vector<Tmypoi> ps{point(1), point(2), point(3)}, snap{point(10)},
        pattern{point(20), point(21)};
    EXPECT_FALSE(EntityGeometry::make({}, {}, {}));

    GeometryRef g = EntityGeometry::make(ps, snap, pattern);
    ASSERT_TRUE(g);
    ASSERT_EQ(g->ps().size(), 3u);
    ASSERT_EQ(g->snap().size(), 1u);
    ASSERT_EQ(g->pattern().size(), 2u);
    EXPECT_EQ(g->ps()[2].x, 3);
    EXPECT_EQ(g->snap()[0].linex, 10);
    EXPECT_EQ(g->pattern()[1].x, 21);

    // Vertices alone (a LINE) and the other runs without vertices.
    GeometryRef line = EntityGeometry::make(ps, {}, {});
    EXPECT_EQ(line->ps().size(), 3u);
    EXPECT_EQ(line->ps()[0].x, 1);
    EXPECT_TRUE(line->snap().empty());
    EXPECT_TRUE(line->pattern().empty());
    GeometryRef only = EntityGeometry::make({}, snap, pattern);
    EXPECT_TRUE(only->ps().empty());
    EXPECT_EQ(only->snap()[0].x, 10);
    EXPECT_EQ(only->pattern()[0].x, 20);

    // Records share one block; it outlives the reference it was made through.
    tpoly a;
    a.geom = g;
    a.anzp = 3;
    tpoly b = a;
    g = nullptr;
    EXPECT_EQ(a.geom, b.geom);
    a = tpoly{};
    EXPECT_EQ(b.p(1).x, 2);
    EXPECT_EQ(b.reinx(), 1);
    EXPECT_EQ(b.rausx(), 3);
    b.isclosed = true;
    EXPECT_EQ(b.rausx(), 1); // a closed contour ends where it began
}

TEST(VertexLines, KeepEveryLineExactlyNearOrFar) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        int32_t x, y, z;
        bool far; // needs the owner's table
    };
    const Case cases[] = {
        {11, 13, 15, false},          // 10, 20, 30 one after the other
        {11, 13, 0, false},           // no z line
        {0, 0, 0, false},             // no lines at all
        {11, 0, 15, false},           // no y line
        {41, 11, 21, false},          // 20 and 30 written before 10
        {11, 11 + 1023, 11 - 1023, false}, // the farthest that fits
        {11, 11 + 1024, 13, true},
        {11, 13, 11 - 1024, true},
        {0, 5000, 0, true},           // no x line, a y line deep in the entity
        {kMax, kMin, kMax, true},
        {kMin, kMax, kMin + 1, true},
    };
    std::vector<FarLines> far;
    std::vector<Tmypoi> ps;
    for (const Case &c : cases) {
        Tmypoi v;
        v.linex = c.x;
        v.moveonly = true; // the flags beside the lines stay what they were
        v.mode = 3;
        ASSERT_TRUE(v.setLines(c.y, c.z, far));
        EXPECT_EQ(v.linesFar(), c.far) << c.x << " " << c.y << " " << c.z;
        ps.push_back(v);
    }
    // A far vertex set again keeps its entry rather than growing the table.
    const std::size_t entries = far.size();
    ASSERT_TRUE(ps.back().setLines(kMax, kMin, far));
    ASSERT_TRUE(ps.back().setLines(kMax, kMin + 1, far));
    EXPECT_EQ(far.size(), entries);
    ASSERT_TRUE(ps.back().setLines(cases[10].y, cases[10].z, far));
    ps.push_back(ps[6]); // a copy refers to the same entry

    // The block keeps the table beside the vertices, whatever run they are in.
    const std::vector<float> widths{0, 0.5f};
    GeometryRef g = EntityGeometry::make(ps, {ps.begin() + 6, ps.end()}, {}, far, widths);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        for (const Tmypoi &v : {g->ps()[i], ps[i]}) {
            SCOPED_TRACE(i);
            EXPECT_EQ(v.linex, c.x);
            EXPECT_EQ(g->liney(v), c.y);
            EXPECT_EQ(g->linez(v), c.z);
            EXPECT_TRUE(v.moveonly);
            EXPECT_EQ(v.mode, 3);
        }
        if (i >= 6) {
            EXPECT_EQ(g->liney(g->snap()[i - 6]), c.y);
        }
    }
    EXPECT_EQ(g->linez(g->ps().back()), cases[6].z);

    // Widths are kept for the vertices that have one, only when one is not 0.
    EXPECT_EQ(g->width(0), 0);
    EXPECT_EQ(g->width(1), 0); // no setwid: never drawn
    std::vector<Tmypoi> wide = ps;
    wide[1].setwid = wide[2].setwid = true;
    g = EntityGeometry::make(wide, {}, {}, far, widths);
    EXPECT_EQ(g->width(1), 0.5f);
    EXPECT_EQ(g->width(2), 0); // beyond the widths given
    EXPECT_EQ(g->liney(g->ps()[7]), cases[7].y);
    g = EntityGeometry::make(wide, {}, {}, {}, std::vector<float>{0, 0});
    EXPECT_EQ(g->width(1), 0);
    EXPECT_EQ(g->liney(g->ps()[0]), 13);
}
