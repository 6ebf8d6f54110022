// The rules every creation follows: handles and their seed, the layout a tab writes into, arcs
// through three points, text pieces, polygons and splines.
#include "creation_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace quentar;
using namespace quentar::testing;
using editor::Creation;
using editor::CreationSettings;
using editor::Point3;

namespace {

// The template's lines with the header's seed replaced.
std::string withSeed(const char *templ, const std::string &seed) {
    document::Drawing d = newDrawing(templ);
    d.dxf.replace(static_cast<std::size_t>(d.handleseedpos), seed);
    return d.dxf.serialize();
}

std::string handleOf(const Creation &c) {
    const auto l = insertedLines(c);
    for (std::size_t i = 0; i + 1 < l.size(); ++i)
        if (l[i] == "  5") return l[i + 1];
    return {};
}

std::vector<std::string> groupValues(const std::vector<std::string> &l, const std::string &code) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < l.size(); i += 2)
        if (l[i] == code) out.push_back(l[i + 1]);
    return out;
}

} // namespace

TEST(CreationHandles, EachEntityTakesTheNextHandleAndAdvancesTheSeed) {
    struct HandleCase {
        const char *templ;
        const char *seed;
        const char *first, *second, *seedAfter;
    };
    const HandleCase cases[] = {
        {kR12Template, "FF", "FF", "100", "101"}, // the handle after FF is 100
        {kNewerTemplate, "FF", "FF", "100", "101"},
        {kR12Template, "9", "09", "0A", "0B"}, // at least two digits
        {kR12Template, "1f3", "1F3", "1F4", "1F5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.templ) + " " + c.seed);
        document::Drawing d = drawingOf(withSeed(c.templ, c.seed));
        EXPECT_EQ(handleOf(apply(d, editor::AddPoint(d, {}, {1, 2, 0}))), c.first);
        dxf::processdxf(d); // the window reads the drawing after every creation
        EXPECT_EQ(handleOf(apply(d, editor::AddPoint(d, {}, {3, 4, 0}))), c.second);
        EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], c.seedAfter);
    }
}

TEST(CreationHandles, CreationsWithoutAReadBetweenThemFollowEachOther) {
    // The arrow tool plans its line and then its arrowhead after it: the insertion place and the
    // handles follow on, and applied together they make two entities.
    for (const char *templ : {kR12Template, kNewerTemplate}) {
        SCOPED_TRACE(templ);
        document::Drawing d = newDrawing(templ);
        const Creation line = editor::AddLine(d, {}, 0, {0, 0, 0}, {1, 0, 0});
        const Creation arrow = editor::AddArrowToLine(d, {}, 0, 0, 1, 0, &line);
        apply(d, line);
        apply(d, arrow);
        const std::string first = handleOf(line), second = handleOf(arrow);
        EXPECT_EQ(std::stoi(second, nullptr, 16), std::stoi(first, nullptr, 16) + 1);
        dxf::processdxf(d);
        ASSERT_EQ(d.anzpoly, 2);
        EXPECT_EQ(d.polys[0].kind, document::EntityKind::Line);
        EXPECT_EQ(d.polys[1].kind, document::EntityKind::Solid);
        EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.insertlinepos) + 1], "ENDSEC");
    }
}

TEST(CreationHandles, AnR12PolylineGivesEveryVertexAndItsEndAHandle) {
    document::Drawing d = newDrawing(kR12Template);
    const Creation c =
        editor::AddPolyLine(d, {}, {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}}, false);
    apply(d, c);
    EXPECT_EQ(groupValues(insertedLines(c), "  5"),
              (std::vector<std::string>{"20", "21", "22", "23", "24"}));
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], "25");
}

TEST(CreationHandles, WithoutASeedTheHeaderStaysAsItWas) {
    document::Drawing t = newDrawing(kNewerTemplate);
    // The seed's variable and value taken out: 4 lines.
    t.dxf.erase(static_cast<std::size_t>(t.handleseedpos) - 3, 4);
    document::Drawing d = drawingOf(t.dxf.serialize());
    ASSERT_EQ(d.handleseedpos, -1);
    const auto before = linesOf(d.dxf);
    const auto at = static_cast<std::size_t>(d.insertlinepos);
    const Creation c = editor::AddPoint(d, {}, {1, 2, 0});
    apply(d, c);
    ASSERT_EQ(c.steps.size(), 1u);
    EXPECT_EQ(c.steps[0].edits.size(), 1u); // the insertion alone
    const auto after = linesOf(d.dxf);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + at, after.begin()));
    // Above every handle of the file: its objects reach 29.
    EXPECT_EQ(handleOf(c), "2A");
}

TEST(CreationHandles, NeverReuseAHandleOfTheFileEvenBeyondItsSeed) {
    // A seed below the handles of the file's objects (the reader counts the handles of tables,
    // blocks, entities and layouts only) and a DIMSTYLE handle under group 105.
    document::Drawing t = newDrawing(kNewerTemplate);
    std::string text = t.dxf.serialize();
    const std::string objects = "  0\r\nSECTION\r\n  2\r\nOBJECTS\r\n";
    text.insert(text.find(objects) + objects.size(),
                "  0\r\nDICTIONARY\r\n  5\r\n4F\r\n330\r\n0\r\n");
    const std::string dimstyle = "  0\r\nDIMSTYLE\r\n105\r\n5A\r\n  2\r\nEXTRA\r\n";
    const std::string ltype = "  0\r\nTABLE\r\n  2\r\nLTYPE\r\n";
    ASSERT_NE(text.find(ltype), std::string::npos);
    text.insert(text.find(ltype),
                "  0\r\nTABLE\r\n  2\r\nDIMSTYLE\r\n" + dimstyle + "  0\r\nENDTAB\r\n");
    document::Drawing d = drawingOf(text);
    ASSERT_LT(d.maxhandle, 0x5A);
    EXPECT_EQ(handleOf(apply(d, editor::AddPoint(d, {}, {1, 2, 0}))), "5B");
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], "5C");
}

TEST(CreationHandles, HandlesGoOnBeyondThirtyTwoBits) {
    // A drawing holding a handle at or above 7FFF0000 still gets new entities: handles are
    // 64-bit hexadecimal. Only a drawing that used up that range is refused, with a message.
    struct Case {
        const char *held; // the handle of a POINT in the drawing
        const char *first, *seedAfter;
        int message;
    };
    const Case cases[] = {
        {"7FFF0000", "7FFF0001", "7FFF0002", 0},
        {"7FFFFFFF", "80000000", "80000001", 0},
        {"FFFFFFFF", "100000000", "100000001", 0},
        {"FFFFFFFFFFFFFFFE", "FFFFFFFFFFFFFFFF", "", 0},
        {"FFFFFFFFFFFFFFFF", "", "", editor::kMsgNoHandlesLeft},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.held);
        std::string text = newDrawing(kNewerTemplate).dxf.serialize();
        const std::string entities = "  2\r\nENTITIES\r\n";
        text.insert(text.find(entities) + entities.size(),
                    "  0\r\nPOINT\r\n  5\r\n" + std::string(c.held) +
                        "\r\n  8\r\n0\r\n 10\r\n1\r\n 20\r\n1\r\n");
        document::Drawing d = drawingOf(text);
        const std::string seedBefore(d.dxf[static_cast<std::size_t>(d.handleseedpos)]);
        const Creation made = editor::AddPoint(d, {}, {1, 2, 0});
        EXPECT_EQ(made.message, c.message);
        EXPECT_EQ(handleOf(made), c.first);
        EXPECT_EQ(made.created(), c.message == 0);
        apply(d, made);
        // Past the last handle there is no seed to give: the header keeps its own.
        EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)],
                  *c.seedAfter ? std::string(c.seedAfter) : seedBefore);
        dxf::processdxf(d);
        EXPECT_EQ(d.anzpoly, made.created() ? 2 : 1);
    }
}

TEST(CreationLayouts, EachTabWritesItsOwnershipLines) {
    struct LayoutCase {
        const char *templ;
        int tab;
        std::vector<std::string> ownership; // the lines between the type and the layer
    };
    const LayoutCase cases[] = {
        {kNewerTemplate, 0, lines("  5|2A|330|1F|100|AcDbEntity")},
        {kNewerTemplate, 1, lines("  5|2A|330|1B|100|AcDbEntity| 67|1")},
        {kR12Template, 0, {}},
        {kR12Template, 1, lines(" 67|1")},
        {kR12Template, 2, {}}, // no layout record: model space unless it is the second tab
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.templ) + " tab " + std::to_string(c.tab));
        document::Drawing d = newDrawing(c.templ);
        const int32_t endsec = d.insertlinepos;
        CreationSettings s;
        s.tab = c.tab;
        const auto l = insertedLines(apply(d, editor::AddLine(d, s, 0, {0, 0, 0}, {1, 1, 0})));
        ASSERT_GE(l.size(), 4u);
        const auto layer = std::find(l.begin(), l.end(), "  8");
        EXPECT_EQ(std::vector<std::string>(l.begin() + 2, layer), c.ownership);
        // Both the model space and the active paper space keep their entities in ENTITIES.
        EXPECT_EQ(d.dxf[static_cast<std::size_t>(endsec)], "  0");
        EXPECT_EQ(d.dxf[static_cast<std::size_t>(endsec) + 1], "LINE");
        dxf::processdxf(d);
        ASSERT_EQ(d.anzpoly, 1);
        EXPECT_EQ(d.polys[0].ispaperspace, c.tab == 1);
    }
}

TEST(CreationLayouts, ALayoutOfItsOwnBlockReceivesTheLinesBeforeItsEnd) {
    // A second paper-space layout whose entities live in its block "*Paper_Space0" (record 2B).
    document::Drawing t = newDrawing(kNewerTemplate);
    std::string text = t.dxf.serialize();
    const std::string block = "  0\r\nBLOCK\r\n  5\r\n2C\r\n330\r\n2B\r\n100\r\nAcDbEntity\r\n"
                              " 67\r\n1\r\n  8\r\n0\r\n100\r\nAcDbBlockBegin\r\n  2\r\n"
                              "*Paper_Space0\r\n 70\r\n0\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n"
                              "0.0\r\n  3\r\n*Paper_Space0\r\n  1\r\n\r\n  0\r\nENDBLK\r\n  5\r\n"
                              "2D\r\n330\r\n2B\r\n100\r\nAcDbEntity\r\n 67\r\n1\r\n  8\r\n0\r\n"
                              "100\r\nAcDbBlockEnd\r\n";
    const std::string layout = "  0\r\nLAYOUT\r\n  5\r\n2E\r\n100\r\nAcDbLayout\r\n  1\r\n"
                               "Layout2\r\n 71\r\n2\r\n330\r\n2B\r\n";
    const std::string blocksEnd = "  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    text.insert(text.find(blocksEnd), block);
    text.insert(text.rfind("  0\r\nENDSEC\r\n  0\r\nEOF"), layout);
    document::Drawing d = drawingOf(text);
    ASSERT_EQ(d.tabCaptions, (std::vector<std::string>{"Model", "Layout1", "Layout2"}));
    const std::string before = d.dxf.serialize();

    CreationSettings s;
    s.tab = 2;
    const Creation c = editor::AddCircle(d, s, 0, {0, 0, 0}, {1, 0, 0});
    apply(d, c);
    const auto l = insertedLines(c);
    EXPECT_EQ(std::vector<std::string>(l.begin() + 2, l.begin() + 10),
              lines("  5|2F|330|2B|100|AcDbEntity| 67|1"));
    // Inside the block, just before its ENDBLK.
    const std::string after = d.dxf.serialize();
    EXPECT_NE(after.find("*Paper_Space0\r\n  1\r\n\r\n  0\r\nCIRCLE\r\n"), std::string::npos);
    dxf::processdxf(d);
    ASSERT_EQ(d.anzpoly, 1);
    EXPECT_EQ(d.polys[0].detail().theblockname, "*Paper_Space0");
    undoAll(d, c);
    EXPECT_EQ(d.dxf.serialize(), before);
}

TEST(CreationGeometry, ArcThroughThreePointsInEitherOrder) {
    struct ArcCase {
        const char *name;
        Point3 a, b, c;
        bool made;
        double cx, cy, r, start, end; // degrees
    };
    const ArcCase cases[] = {
        {"counter-clockwise", {10, 0, 0}, {0, 10, 0}, {-10, 0, 0}, true, 0, 0, 10, 0, 180},
        {"clockwise", {-10, 0, 0}, {0, 10, 0}, {10, 0, 0}, true, 0, 0, 10, 0, 180},
        {"below", {10, 0, 0}, {0, -10, 0}, {-10, 0, 0}, true, 0, 0, 10, 180, 0},
        {"off centre", {3, 1, 0}, {1, 3, 0}, {-1, 1, 0}, true, 1, 1, 2, 0, 180},
        {"collinear", {0, 0, 0}, {1, 1, 0}, {2, 2, 0}, false, 0, 0, 0, 0, 0},
        {"all alike", {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, false, 0, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        editor::CircleArc arc;
        arc.arcmx = 99;
        ASSERT_EQ(editor::ArcDurch3Punkte(c.a.x, c.a.y, c.b.x, c.b.y, c.c.x, c.c.y, arc), c.made);
        EXPECT_NEAR(arc.arcmx, c.cx, 1e-12);
        EXPECT_NEAR(arc.arcmy, c.cy, 1e-12);
        EXPECT_NEAR(arc.arcradius, c.r, 1e-12);
        if (!c.made) continue;
        const auto [start, end] = editor::arcAnglesInDegrees(arc);
        EXPECT_NEAR(start, c.start, 1e-9);
        EXPECT_NEAR(end, c.end, 1e-9);
        // Created as ARC: the collinear points create nothing.
        document::Drawing d = newDrawing(kNewerTemplate);
        EXPECT_EQ(editor::AddArc(d, {}, 0, c.a, c.b, c.c).created(), c.made);
    }
    document::Drawing d = newDrawing(kR12Template);
    EXPECT_FALSE(editor::AddCircleDurch3Punkte(d, {}, {0, 0, 0}, {1, 1, 0}, {3, 3, 0}).created());
    EXPECT_FALSE(editor::AddArc(d, {}, 3, {0, 0, 0}, {1, 1, 0}, {3, 3, 0}).created());
    EXPECT_FALSE(editor::AddArc(d, {}, 2, {0, 0, 0}, {1, 1, 0}, {3, 0, 0}).created()); // no mode
}

TEST(CreationGeometry, ArcAnglesStayPositiveAndMayEndBeyondATurn) {
    editor::CircleArc arc;
    arc.arcwinkel1 = -170 * std::numbers::pi / 180;
    arc.arcwinkel2 = 10 * std::numbers::pi / 180;
    const auto [start, end] = editor::arcAnglesInDegrees(arc);
    EXPECT_NEAR(start, 190, 1e-9);
    EXPECT_NEAR(end, 370, 1e-9);
}

TEST(CreationText, MtextIsWrittenInPiecesOf250Characters) {
    struct PieceCase {
        std::string text;
        std::vector<std::size_t> pieces3; // lengths of the "  3" pieces in bytes
        std::size_t last;                 // length of the "  1" piece in bytes
    };
    std::string umlauts;
    for (int i = 0; i < 251; ++i) umlauts += "\xC3\xA4"; // 251 times "ä" in UTF-8
    const PieceCase cases[] = {
        {std::string(250, 'a'), {}, 250},
        {std::string(251, 'a'), {250}, 1},
        {std::string(501, 'a'), {250, 250}, 1},
        {umlauts, {500}, 2},                  // characters, not bytes, and never cut apart
        {std::string(251, '\xE4'), {250}, 1}, // a code page's bytes are characters
        {"", {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.size());
        document::Drawing d = newDrawing(kNewerTemplate);
        const auto l = insertedLines(editor::AddText(d, {}, {0, 0, 0}, {c.text, 0.2, 0}));
        std::vector<std::size_t> pieces;
        for (const auto &p : groupValues(l, "  3")) pieces.push_back(p.size());
        EXPECT_EQ(pieces, c.pieces3);
        const auto last = groupValues(l, "  1");
        ASSERT_EQ(last.size(), 1u);
        EXPECT_EQ(last[0].size(), c.last);
        std::string whole;
        for (const auto &p : groupValues(l, "  3")) whole += p;
        EXPECT_EQ(whole + last[0], c.text);
    }
}

TEST(CreationText, LineBreaksOfEveryKindBecomeParagraphs) {
    document::Drawing d = newDrawing(kNewerTemplate);
    const auto l = insertedLines(editor::AddText(d, {}, {0, 0, 0}, {"a\r\nb\nc\rd", 0.2, 0}));
    EXPECT_EQ(groupValues(l, "  1"), (std::vector<std::string>{"a\\Pb\\Pc\\Pd"}));
    EXPECT_EQ(editor::textAngle(" 45.5 "), 45.5);
    EXPECT_EQ(editor::textAngle("abc"), 0);
}

TEST(CreationGeometry, RegularPolygonStartsAQuarterTurnBeforeThePointerAndRunsClockwise) {
    const Point3 centre{1, 1, 0}, pointer{1, 3, 0}; // radius 2, straight up
    for (int n : {3, 4, 7}) {
        SCOPED_TRACE(n);
        const auto v = editor::polygonCorners(centre, pointer, n);
        ASSERT_EQ(v.size(), static_cast<std::size_t>(n) + 1);
        // The pointer turned a quarter turn counter-clockwise: straight left.
        EXPECT_NEAR(v[0].x, -1, 1e-12);
        EXPECT_NEAR(v[0].y, 1, 1e-12);
        EXPECT_NEAR(v[n].x, v[0].x, 1e-12);
        EXPECT_NEAR(v[n].y, v[0].y, 1e-12);
        for (int i = 0; i < n; ++i) {
            const double a0 = std::atan2(v[i].y - 1, v[i].x - 1);
            const double a1 = std::atan2(v[i + 1].y - 1, v[i + 1].x - 1);
            double step = a1 - a0;
            while (step > std::numbers::pi) step -= 2 * std::numbers::pi;
            while (step < -std::numbers::pi) step += 2 * std::numbers::pi;
            EXPECT_NEAR(step, -2 * std::numbers::pi / n, 1e-12); // clockwise
            EXPECT_NEAR(std::hypot(v[i].x - 1, v[i].y - 1), 2, 1e-12);
        }
    }
    // The corner field rounds to the nearest integer, ties to even, within 3 ... 1000.
    EXPECT_EQ(editor::polygonCornerCount(4.5), 4);
    EXPECT_EQ(editor::polygonCornerCount(5.5), 6);
    EXPECT_EQ(editor::polygonCornerCount(2), 3);
    EXPECT_EQ(editor::polygonCornerCount(5000), 1000);
}

TEST(CreationGeometry, DegenerateInputCreatesNothingReadersWouldRefuse) {
    document::Drawing d = newDrawing(kNewerTemplate);
    const std::string before = d.dxf.serialize();
    const Point3 o{1, 1, 0};
    EXPECT_FALSE(editor::AddEllipse(d, {}, 2, o, o, {2, 2, 0}).created()); // no major axis
    EXPECT_FALSE(editor::AddEllipse(d, {}, 2, o, {3, 1, 0}, o).created()); // no minor axis
    EXPECT_FALSE(editor::AddLine(d, {}, 1, o, o).created());               // no direction
    EXPECT_FALSE(editor::AddArrowToLine(d, {}, 1, 1, 1, 1).created());
    EXPECT_FALSE(editor::AddPolyLine(d, {}, {{1, 1, 0, 0}}, false).created());
    EXPECT_FALSE(editor::AddPoint(d, {}, {std::nan(""), 0, 0}).created());
    EXPECT_FALSE(editor::AddSPLINE(d, {}, {{1, 1, 0, 0}}, 0, false).created());
    EXPECT_EQ(d.dxf.serialize(), before);
    // A drawing without an ENTITIES section has no place for new entities.
    document::Drawing none = drawingOf("  0\r\nSECTION\r\n  2\r\nHEADER\r\n  0\r\nENDSEC\r\n"
                                       "  0\r\nEOF\r\n");
    ASSERT_EQ(none.insertlinepos, -1);
    EXPECT_FALSE(editor::AddLine(none, {}, 0, o, {2, 2, 0}).created());
    EXPECT_FALSE(
        editor::AddDimension(none, {}, o, {2, 1, 0}, {1, 2, 0}, {2, 2, 0}, o, {}).created());
    EXPECT_EQ(none.dxf.size(), 8u);
    // A zero radius is a circle still, as the pointer left it.
    EXPECT_TRUE(editor::AddCircle(d, {}, 0, o, o).created());
}

TEST(CreationHead, LayerAndChosenPropertiesGoIntoTheHead) {
    document::Drawing d = newDrawing(kNewerTemplate);
    CreationSettings s;
    s.layer = "Kontur";
    s.lineType = "DASHED";
    s.colorNumber = 1;
    s.lineWeight = 50;
    const auto l = insertedLines(editor::AddPoint(d, s, {0, 0, 0}));
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 18),
              lines("  0|POINT|  5|2A|330|1F|100|AcDbEntity|  8|Kontur|  6|DASHED| 62|1|370|50|"
                    "100|AcDbPoint"));
    // A value never breaks the line it stands on.
    s.layer = "Kon\r\ntur";
    EXPECT_EQ(insertedLines(editor::AddPoint(d, s, {0, 0, 0}))[9], "Kon  tur");
    s.layer = "Kontur";
    // R12 knows no line weights.
    document::Drawing r12 = newDrawing(kR12Template);
    EXPECT_EQ(joined(insertedLines(editor::AddPoint(r12, s, {0, 0, 0}))),
              "  0|POINT|  8|Kontur|  6|DASHED| 62|1|  5|20|  10|0|  20|0|  30|0");
}
