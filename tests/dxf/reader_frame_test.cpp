// The reading pass: sections, header variables, tables, blocks, layouts, dispatch.
#include "dxf_builder.h"

#include <cmath>
#include <vector>
#include <gtest/gtest.h>

using namespace quentar;
using namespace quentar::testing;

namespace {

Groups line(double x1, double y1, double x2, double y2, std::string layer = "0") {
    return {{0, "LINE"},           {8, layer},          {10, std::to_string(x1)},
            {20, std::to_string(y1)}, {30, "0.0"},       {11, std::to_string(x2)},
            {21, std::to_string(y2)}, {31, "0.0"}};
}

Groups header(std::initializer_list<Group> vars) {
    Groups g{{0, "SECTION"}, {2, "HEADER"}};
    g.insert(g.end(), vars.begin(), vars.end());
    g.push_back({0, "ENDSEC"});
    return g;
}

} // namespace

TEST(ReaderFrame, HeaderVariables) {
    auto d = read(concat({header({{9, "$ACADVER"}, {1, "AC1009"}, {9, "$HANDSEED"}, {5, "20"}}),
                          entitiesSection({})}));
    EXPECT_EQ(d.cadver, 1009);
    EXPECT_EQ(d.maxhandle, 31); // hexadecimal 20 is 32, the largest handle in use one less
    EXPECT_EQ(d.handleseedpos, 11);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], "20");
    EXPECT_EQ(d.insertlinepos, 18);
}

TEST(ReaderFrame, MissingPartsLeaveMarkers) {
    document::Drawing d;
    d.cadver = 1015; // a previous document's version stays when the file names none
    d.dxf.assign(dxfText(concat({line(0, 0, 1, 1), {{0, "EOF"}}})));
    dxf::processdxf(d);
    EXPECT_EQ(d.cadver, 1015);
    EXPECT_EQ(d.handleseedpos, -1);
    EXPECT_EQ(d.insertlinepos, -1);
    EXPECT_EQ(d.layerinsertlinenr, -1);
    EXPECT_EQ(d.ltypeinsetlinenr, -1);
    EXPECT_EQ(d.anzpoly, 0); // entities outside ENTITIES and blocks are ignored
    EXPECT_TRUE(d.layouts.empty());
    EXPECT_EQ(d.tabCaptions, (std::vector<std::string>{"Model", "Layout1"}));
}

TEST(ReaderFrame, BlocksComeBeforeEntitiesAndKeepTheirContext) {
    Groups blocks{{0, "SECTION"}, {2, "BLOCKS"},
                  {0, "BLOCK"},   {5, "1F"},    {330, "1E"}, {8, "0"}, {2, "B1"}, {70, "0"},
                  {10, "5.0"},    {20, "6.0"},  {30, "0.0"}, {3, "B1"}};
    blocks = concat({blocks, line(0, 0, 1, 0), {{0, "ENDBLK"}, {5, "21"}},
                     {{0, "BLOCK"}, {330, "2A"}, {3, "EMPTY"}, {0, "ENDBLK"}},
                     {{0, "ENDSEC"}}});
    Groups ents = concat({line(0, 0, 2, 0), {{0, "3DFACE"}, {8, "0"}, {10, "1"}}, line(0, 0, 3, 0),
                          {{0, "line"}, {10, "0"}}});
    auto d = read(concat({blocks, {{0, "SECTION"}, {2, "ENTITIES"}}, ents,
                          {{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}},
                          line(0, 0, 4, 0), {{0, "ENDSEC"}, {0, "EOF"}}}));
    ASSERT_EQ(d.anzpoly, 4);
    EXPECT_TRUE(d.polys[0].isblock);
    EXPECT_EQ(d.polys[0].detail().theblockname, "B1");
    EXPECT_EQ(d.polys[0].layhan, 0x1E);
    EXPECT_EQ(d.polys[0].detail().blockbasex, 5.0);
    EXPECT_EQ(d.polys[0].detail().blockbasey, 6.0);
    EXPECT_FALSE(d.polys[1].isblock);
    EXPECT_EQ(d.polys[1].p(1).x, 2.0);
    EXPECT_EQ(d.polys[2].p(1).x, 3.0); // 3DFACE and lower-case "line" are skipped
    EXPECT_EQ(d.polys[3].p(1).x, 4.0); // the second ENTITIES section is read too
    ASSERT_EQ(d.blocks.size(), 2u);
    EXPECT_EQ(d.blocks[0].blockname, "B1");
    EXPECT_EQ(d.blocks[0].hand, 0x1E);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.blocks[0].linetoinsert + 1)], "ENDBLK");
    EXPECT_EQ(d.blocks[1].blockname, "EMPTY");
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.blocks[1].linetoinsert + 1)], "ENDBLK");
    EXPECT_EQ(d.maxhandle, 0x1F); // block header handle; ENDBLK's is not counted, 330 is an owner
    // The insertion point of new entities is the end of the first ENTITIES section.
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.insertlinepos + 1)], "ENDSEC");
    EXPECT_LT(d.insertlinepos, d.polys[3].linefrom);
}

TEST(ReaderFrame, LayerAndLineTypeTables) {
    Groups tables{{0, "SECTION"}, {2, "TABLES"},
                  {0, "TABLE"},   {2, "LTYPE"},  {5, "5"},     {70, "2"},
                  {0, "LTYPE"},   {2, "CONTINUOUS"}, {3, "Solid line"}, {72, "65"},
                  {0, "LTYPE"},   {2, "DASHED"}, {3, "__ __"},  {49, "0.5"}, {49, "-0.25"},
                  {49, "0.0"},    {0, "ENDTAB"},
                  {0, "TABLE"},   {2, "LAYER"},  {0, "LAYER"},  {5, "10"}, {2, "A"}, {70, "4"},
                  {62, "-7"},     {6, "DASHED"}, {370, "25"},  {390, "F"},
                  {0, "LAYER"},   {2, "B"},      {62, "1"},     {0, "LAYER"}, {2, "C"},
                  {62, "x"},      {0, "ENDTAB"},
                  {0, "TABLE"},   {2, "STYLE"},  {0, "STYLE"},  {2, "NOTALAYER"}, {0, "ENDTAB"},
                  {0, "ENDSEC"}};
    auto d = read(concat({tables, entitiesSection({})}));
    ASSERT_EQ(d.anzlt, 2);
    EXPECT_EQ(d.linetype[1].name, "DASHED");
    EXPECT_EQ(d.linetype[1].desc, "__ __");
    EXPECT_EQ(d.linetype[1].parts, (std::vector<float>{0.5f, -0.25f, 0.0f}));
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.ltypeinsetlinenr + 1)], "ENDTAB");
    ASSERT_EQ(d.anzlayer, 3);
    EXPECT_EQ(d.layerNames, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(d.lineTypeNames, (std::vector<std::string>{"CONTINUOUS", "DASHED"}));
    const auto &a = d.layers[0];
    EXPECT_EQ(a.colornr, -7);
    EXPECT_EQ(a.flag, 4);
    EXPECT_EQ(a.ltname, "DASHED");
    EXPECT_EQ(a.lineweight, 25);
    EXPECT_TRUE(a.colorpresent && a.flagpresent && a.ltnamepresent && a.linweightpresent);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(a.colorlinenr)], "-7");
    EXPECT_EQ(d.plotstylereaded, "F");
    EXPECT_FALSE(d.layers[2].colorpresent); // "x" does not convert
    EXPECT_EQ(d.maxhandle, 0x10);
    EXPECT_GT(d.layerinsertlinenr, d.ltypeinsetlinenr);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.layerinsertlinenr + 1)], "ENDTAB");
}

TEST(ReaderFrame, LayoutsInTabOrder) {
    auto layout = [](std::string name, std::string order, std::string han) {
        return Groups{{0, "LAYOUT"}, {5, "3" + order}, {100, "AcDbLayout"}, {1, name},
                      {71, order},   {10, "1.5"},      {330, han}};
    };
    auto d = read(concat({entitiesSection({}),
                          {{0, "SECTION"}, {2, "OBJECTS"}},
                          layout("B", "2", "1A"), layout("Model", "0", "1B"), layout("A", "1", "1C"),
                          {{0, "ENDSEC"}, {0, "EOF"}}}));
    ASSERT_EQ(d.layouts.size(), 3u);
    EXPECT_EQ(d.tabCaptions, (std::vector<std::string>{"Model", "A", "B"}));
    EXPECT_EQ(d.layouts[0].layhan, 0x1B);
    EXPECT_EQ(d.layouts[1].lminx, 1.5);
    EXPECT_EQ(d.maxhandle, 0x32);
}

TEST(ReaderFrame, TruncatedFilesEndQuietly) {
    const std::string full = dxfText(entitiesSection(concat({line(0, 0, 10, 0), line(1, 1, 2, 2)})));
    // Every cut, including one in the middle of a group or a line, reads without failing.
    for (std::size_t cut = 0; cut <= full.size(); cut += 3) {
        SCOPED_TRACE(cut);
        auto d = readText(full.substr(0, cut));
        EXPECT_LE(d.anzpoly, 2);
        for (const auto &p : d.polys) EXPECT_LE(p.linebis, static_cast<int>(d.dxf.size()));
    }
    // A file that ends inside the second LINE completes it with the groups read so far.
    auto d = readText(full.substr(0, full.find("21\r\n2.0")));
    ASSERT_EQ(d.anzpoly, 2);
    EXPECT_EQ(d.polys[1].anzp, 2);
}

// A file that ends inside a section or without EOF was most likely cut off: it is marked, so
// that its figures say they are of its first part only.
TEST(ReaderFrame, ACutOffFileIsMarked) {
    const Groups lines = concat({line(0, 0, 10, 0), line(1, 1, 2, 2)});
    const Groups open = concat({{{0, "SECTION"}, {2, "ENTITIES"}}, lines});
    const struct {
        const char *name;
        Groups groups;
        bool truncated;
    } cases[] = {
        {"complete", entitiesSection(lines), false},
        {"without EOF", concat({open, {{0, "ENDSEC"}}}), true},
        {"ending inside ENTITIES", open, true},
        {"EOF inside an open section", concat({open, {{0, "EOF"}}}), true},
        {"ending inside the header", {{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}}, true},
        {"no sections at all", concat({lines, {{0, "EOF"}}}), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read(c.groups).truncated, c.truncated);
    }
    // Every cut of a complete file short of its EOF.
    const std::string full = dxfText(entitiesSection(lines));
    for (std::size_t cut = 1; cut < full.size() - 2; cut += 7) {
        SCOPED_TRACE(cut);
        const auto d = readText(full.substr(0, cut));
        EXPECT_EQ(d.truncated, d.hasSections);
    }
}

TEST(ReaderFrame, ByteOrderMarkIsNotAGroupCode) {
    auto d = readText("\xEF\xBB\xBF" + dxfText(entitiesSection(line(0, 0, 1, 0))));
    EXPECT_EQ(d.anzpoly, 1);
    EXPECT_EQ(d.dxf[0].substr(0, 3), "\xEF\xBB\xBF"); // kept in the line, written back
}

TEST(ReaderFrame, ReadingTwiceGivesTheSameArrays) {
    auto d = read(entitiesSection(concat({line(0, 0, 10, 0), {{0, "CIRCLE"}, {10, "1"}, {20, "2"},
                                                              {40, "3"}}})));
    auto first = d.polys;
    dxf::processdxf(d);
    ASSERT_EQ(d.polys.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(d.polys[i].anzp, first[i].anzp);
        for (int k = 0; k < first[i].anzp; ++k) EXPECT_EQ(d.polys[i].p(k).x, first[i].p(k).x);
    }
}

// Only entities that use a rarely needed field carry the detail part; the rest read it back as
// its defaults, bit for bit, so the split changes no value any entity reports.
TEST(ReaderFrame, DetailOnlyWhereAFieldNeedsIt) {
    const Groups ends{{10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"}};
    struct Case {
        const char *what;
        Groups entity;
        bool detail;
    };
    const std::vector<Case> cases{
        {"line", concat({{{0, "LINE"}, {8, "0"}}, ends}), false},
        {"default extrusion written out",
         concat({{{0, "LINE"}}, ends, {{210, "0"}, {220, "0.0"}, {230, "1"}}}), false},
        {"arc", {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "0"}, {51, "90"}}, false},
        {"circle", {{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "2"}}, false},
        {"lwpolyline", {{0, "LWPOLYLINE"}, {90, "2"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}},
         false},
        {"own line type", concat({{{0, "LINE"}, {6, "DASHED"}}, ends}), true},
        {"mirrored extrusion", concat({{{0, "LINE"}}, ends, {{230, "-1"}}}), true},
        {"negative zero in the extrusion", concat({{{0, "LINE"}}, ends, {{210, "-0"}}}), true},
        {"text", {{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2.5"}, {1, "A"}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto d = read(entitiesSection(c.entity));
        ASSERT_EQ(d.anzpoly, 1);
        const document::tpoly &e = d.polys[0];
        EXPECT_EQ(e.hasDetail(), c.detail);
        if (!c.detail) {
            EXPECT_EQ(e.detail().extz, 1.0);
            EXPECT_FALSE(std::signbit(e.detail().extx));
        }
    }
    const auto mirrored = read(entitiesSection(cases[6].entity));
    EXPECT_EQ(mirrored.polys[0].detail().extz, -1.0);
    const auto negativeZero = read(entitiesSection(cases[7].entity));
    EXPECT_TRUE(std::signbit(negativeZero.polys[0].detail().extx));
    EXPECT_EQ(read(entitiesSection(cases[5].entity)).polys[0].detail().ltname, "DASHED");
}
