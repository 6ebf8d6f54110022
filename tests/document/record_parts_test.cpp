// The shared parts of an entity record: the detail copied on write and the counted geometry block.
#include "document/records.h"

#include <gtest/gtest.h>

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
