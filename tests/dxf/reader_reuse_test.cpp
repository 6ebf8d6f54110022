// A kept reader takes unchanged entities over from its last read: the result must be exactly what
// a fresh read gives, line numbers included.
#include "document/dxf_file.h"
#include "dxf_builder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;

namespace {

// Everything a read produces for one entity, with vertex lines made absolute.
void expectSameEntity(const document::tpoly &a, const document::tpoly &b) {
    EXPECT_EQ(a.linefrom, b.linefrom);
    EXPECT_EQ(a.linebis, b.linebis);
    EXPECT_EQ(a.layerlinenr, b.layerlinenr);
    EXPECT_EQ(a.colorlinenr, b.colorlinenr);
    EXPECT_EQ(a.radiuslinenr, b.radiuslinenr);
    EXPECT_EQ(a.winkel1linenr, b.winkel1linenr);
    EXPECT_EQ(a.detail().ltnamelinenr, b.detail().ltnamelinenr);
    EXPECT_EQ(a.lineweightlinenr, b.lineweightlinenr);
    EXPECT_EQ(a.han, b.han);
    EXPECT_EQ(a.layhan, b.layhan);
    EXPECT_EQ(a.detail().theblockname, b.detail().theblockname);
    EXPECT_EQ(a.detail().textstr, b.detail().textstr);
    EXPECT_EQ(a.isblock, b.isblock);
    ASSERT_EQ(a.anzp, b.anzp);
    ASSERT_EQ(a.anzs, b.anzs);
    for (int i = 0; i < a.anzp; ++i) {
        EXPECT_EQ(a.p(i).x, b.p(i).x);
        EXPECT_EQ(a.p(i).y, b.p(i).y);
        EXPECT_EQ(a.absLine(a.p(i).linex), b.absLine(b.p(i).linex));
        EXPECT_EQ(a.absLine(a.geom->liney(a.p(i))), b.absLine(b.geom->liney(b.p(i))));
        EXPECT_EQ(a.absLine(a.geom->linez(a.p(i))), b.absLine(b.geom->linez(b.p(i))));
    }
}

void expectSameDrawing(const document::Drawing &a, const document::Drawing &b) {
    EXPECT_EQ(a.maxhandle, b.maxhandle);
    EXPECT_EQ(a.maxviewportid, b.maxviewportid);
    EXPECT_EQ(a.insertlinepos, b.insertlinepos);
    ASSERT_EQ(a.anzpoly, b.anzpoly);
    for (int i = 0; i < a.anzpoly; ++i) {
        SCOPED_TRACE(i);
        expectSameEntity(a.polys[static_cast<std::size_t>(i)], b.polys[static_cast<std::size_t>(i)]);
    }
}

document::Drawing freshRead(const document::LineStore &lines) {
    document::Drawing d;
    d.dxf = lines;
    dxf::processdxf(d);
    return d;
}

} // namespace

TEST(ReaderReuse, EditsGiveWhatAFreshReadGives) {
    document::Drawing d;
    ASSERT_TRUE(document::loadDxfLines(
        QUENTAR_SAMPLES_DIR "/flange_qcad_ac1027_paperspace_dims_hatch.dxf", d));
    dxf::Reader reader;
    reader.processdxf(d);
    const int64_t total = reader.lastRead();
    ASSERT_GT(total, 100);

    reader.processdxf(d); // nothing changed: everything is taken over
    EXPECT_EQ(reader.lastReused(), total);
    EXPECT_EQ(reader.lastRead(), 0);

    // Insert a new LINE in front of every model entity: all later line numbers shift by 8.
    const int first = d.polys[static_cast<std::size_t>(d.anzpoly - 1)].linefrom;
    d.dxf.insert(static_cast<std::size_t>(first),
                 std::vector<std::string>{"  0", "LINE", "  8", "0", " 10", "1", " 11", "2"});
    reader.processdxf(d);
    EXPECT_EQ(reader.lastRead(), 1);
    expectSameDrawing(d, freshRead(d.dxf));

    // Change a coordinate of one entity and delete another: only the changed one is read again.
    const auto &victim = d.polys[10];
    d.dxf.replace(static_cast<std::size_t>(victim.absLine(victim.p(victim.anzp - 1).linex)),
                  "123.5");
    const auto gone = d.polys[20];
    d.dxf.erase(static_cast<std::size_t>(gone.linefrom),
                static_cast<std::size_t>(gone.linebis - gone.linefrom + 1));
    reader.processdxf(d);
    EXPECT_EQ(reader.lastRead(), 1);
    expectSameDrawing(d, freshRead(d.dxf));
}

TEST(ReaderReuse, BlockContextIsPartOfTheEntity) {
    // The same LINE text in two blocks with different base points is two different entities.
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"},  {0, "BLOCK"},   {3, "A"},   {10, "1"},
                  {0, "LINE"},    {10, "0"},      {11, "1"},      {0, "ENDBLK"}, {0, "BLOCK"},
                  {3, "B"},       {10, "2"},      {0, "LINE"},    {10, "0"},  {11, "1"},
                  {0, "ENDBLK"},  {0, "ENDSEC"}};
    document::Drawing d;
    d.dxf.assign(dxfText(concat({blocks, entitiesSection({})})));
    dxf::Reader reader;
    reader.processdxf(d);
    reader.processdxf(d);
    ASSERT_EQ(d.anzpoly, 2);
    EXPECT_EQ(d.polys[0].detail().blockbasex, 1.0);
    EXPECT_EQ(d.polys[1].detail().blockbasex, 2.0);
    EXPECT_EQ(d.polys[1].detail().theblockname, "B");
}

TEST(ReaderReuse, FitPointSplineKeepsItsShapeAcrossEdits) {
    Groups spline{{0, "SPLINE"}, {71, "3"}, {11, "0"}, {21, "0"}, {11, "10"}, {21, "7"},
                  {11, "20"},    {21, "-3"}, {11, "30"}, {21, "0"}};
    document::Drawing d;
    d.dxf.assign(dxfText(entitiesSection(concat({spline, {{0, "LINE"}, {10, "0"}, {11, "1"}}}))));
    dxf::Reader reader;
    reader.processdxf(d);
    const auto before = d.polys[0];
    d.dxf.replace(static_cast<std::size_t>(d.polys[1].linebis), "5"); // edit the LINE only
    reader.processdxf(d);
    ASSERT_EQ(d.polys[0].anzp, before.anzp);
    for (int i = 0; i < before.anzp; ++i) EXPECT_EQ(d.polys[0].p(i).x, before.p(i).x);
    EXPECT_EQ(d.polys[1].p(1).x, 5.0);
}

// Taken-over entities share their geometry and detail with the read before (what makes a re-read
// after an edit cheap); a shift of their own line type's line gives the new read its own detail
// and leaves copies of the old one, as the editor keeps them, as they were.
TEST(ReaderReuse, TakenOverEntitiesShareGeometryAndDetail) {
    const Groups dashed{{0, "LINE"}, {6, "DASHED"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"}};
    const Groups text{{0, "TEXT"}, {10, "1"}, {20, "1"}, {40, "2"}, {1, "A"}};
    const Groups plain{{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}};
    document::Drawing d;
    d.dxf.assign(dxfText(entitiesSection(concat({plain, text, dashed}))));
    dxf::Reader reader;
    reader.processdxf(d);
    ASSERT_EQ(d.anzpoly, 3);
    const document::EntityList before = d.polys;

    reader.processdxf(d); // nothing changed
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(d.polys[i].geom, before[i].geom);
        EXPECT_EQ(&d.polys[i].detail(), &before[i].detail());
    }

    // Two more lines in front of everything: the text keeps its detail, the dashed line gets one
    // of its own with the shifted line.
    d.dxf.insert(static_cast<std::size_t>(before[0].linefrom),
                 std::vector<std::string>{"999", "a comment"});
    reader.processdxf(d);
    EXPECT_EQ(reader.lastRead(), 0);
    EXPECT_EQ(d.polys[0].geom, before[0].geom);
    EXPECT_EQ(&d.polys[1].detail(), &before[1].detail());
    EXPECT_EQ(d.polys[2].geom, before[2].geom);
    EXPECT_EQ(d.polys[2].detail().ltnamelinenr, before[2].detail().ltnamelinenr + 2);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.polys[2].detail().ltnamelinenr)], "DASHED");
    EXPECT_EQ(before[2].detail().ltname, "DASHED");
    expectSameDrawing(d, freshRead(d.dxf));
}
