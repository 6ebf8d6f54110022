// Creating every entity kind: the exact lines of the R12 and the newer forms, the handle seed,
// the place of the lines, and undo giving back every line.
#include "creation_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

using namespace quentar;
using namespace quentar::testing;
using editor::Creation;
using editor::CreationSettings;
using editor::DrawnVertex;
using editor::Point3;
namespace modes = editor::arcmodes;

namespace {

// The first lines of an entity as written in model space of the two templates.
std::string r12Head(const std::string &type, const std::string &handle) {
    return "  0|" + type + "|  8|0|  5|" + handle;
}
std::string newHead(const std::string &type, const std::string &subclass,
                    const std::string &handle) {
    return "  0|" + type + "|  5|" + handle + "|330|1F|100|AcDbEntity|  8|0|100|" + subclass;
}
std::string xyz(int code, const std::string &x, const std::string &y, const std::string &z) {
    const std::string c = std::to_string(code);
    return "|  " + c + "|" + x + "|  " + std::to_string(code + 10) + "|" + y + "|  " +
           std::to_string(code + 20) + "|" + z;
}

using Create = std::function<Creation(document::Drawing &, const CreationSettings &)>;

struct Case {
    const char *name;
    Create create;
    std::string r12; // the lines written into the R12 template, joined by "|"; empty: none
    int r12Message;  // message number the R12 creation reports
    std::string r12Seed;
    std::string newer; // the same for the AC1015 template
    int newerMessage;
    std::string newerSeed;
};

const Point3 kP1{1, 1, 0}, kP2{4, 5, 0};
const Point3 kEast{10, 0, 0}, kNorth{0, 10, 0}, kWest{-10, 0, 0};

// The six entities of a dimension of (0, 0)-(10, 0) with its line at y = 2 and its text
// centred on (5, 2): 100 by 50 pixels at 100 pixels a drawing unit.
std::string dimensionLines(bool newer) {
    const char *handles[2][6] = {{"20", "21", "22", "23", "24", "25"},
                                 {"2A", "2B", "2C", "2D", "2E", "2F"}};
    auto head = [&](const char *type, const char *subclass, int i) {
        return newer ? newHead(type, subclass, handles[1][i]) : r12Head(type, handles[0][i]);
    };
    const std::vector<std::string> entities = {
        head("LINE", "AcDbLine", 0) + xyz(10, "0", "0", "0") + xyz(11, "0", "2", "0"),
        head("LINE", "AcDbLine", 1) + xyz(10, "10", "0", "0") + xyz(11, "10", "2", "0"),
        head("LINE", "AcDbLine", 2) + xyz(10, "0", "2", "0") + xyz(11, "10", "2", "0"),
        head("SOLID", "AcDbTrace", 3) + xyz(10, "0", "2", "0") + xyz(11, "0.17", "2.034", "0") +
            xyz(12, "0.17", "1.966", "0") + xyz(13, "0.17", "1.966", "0"),
        head("SOLID", "AcDbTrace", 4) + xyz(10, "10", "2", "0") + xyz(11, "9.83", "1.966", "0") +
            xyz(12, "9.83", "2.034", "0") + xyz(13, "9.83", "2.034", "0"),
        (newer ? newHead("MTEXT", "AcDbMText", handles[1][5]) : r12Head("TEXT", handles[0][5])) +
            xyz(10, "4.5", "2.25", "0") + "|  40|0.5|  50|0|  1|10.00",
    };
    return joined(entities);
}

const std::vector<DrawnVertex> kBulged = {{0, 0, 0, 0.5}, {2, 0, 0, 0}, {2, 2, 0, -1}};

std::vector<Case> cases() {
    const std::string line = xyz(10, "1", "1", "0") + xyz(11, "4", "5", "0");
    const std::string direction = xyz(10, "1", "1", "0") + xyz(11, "3", "4", "0");
    const std::string solid = xyz(10, "0", "0", "0") + xyz(11, "2", "0", "0") +
                              xyz(12, "0", "1", "0") + xyz(13, "2", "1", "0");
    const std::string halfCircle = xyz(10, "0", "0", "0") + "|  40|10";
    const std::string arrow = xyz(10, "0", "0", "0") + xyz(11, "0.17", "0.034", "0") +
                              xyz(12, "0.17", "-0.034", "0") + xyz(13, "0.17", "-0.034", "0");
    const std::string bulgedR12 = "|  0|VERTEX|  8|0|  5|21" + xyz(10, "0", "0", "0") +
                                  "|  42|-0.5|  0|VERTEX|  8|0|  5|22" + xyz(10, "2", "0", "0") +
                                  "|  0|VERTEX|  8|0|  5|23" + xyz(10, "2", "2", "0") +
                                  "|  42|1|  0|SEQEND|  8|0|  5|24";
    const std::string bulgedNewer = "| 90|3" + xyz(10, "0", "0", "0") + "|  42|-0.5" +
                                    xyz(10, "2", "0", "0") + xyz(10, "2", "2", "0") + "|  42|1";
    const std::string rectangle = xyz(10, "0", "0", "0") + xyz(10, "3", "0", "0") +
                                  xyz(10, "3", "2", "0") + xyz(10, "0", "2", "0");
    std::string rectangleR12;
    const char *corners[][3] = {
        {"0", "0", "21"}, {"3", "0", "22"}, {"3", "2", "23"}, {"0", "2", "24"}};
    for (const auto &[x, y, handle] : corners)
        rectangleR12 += std::string("|  0|VERTEX|  8|0|  5|") + handle + xyz(10, x, y, "0");
    rectangleR12 += "|  0|SEQEND|  8|0|  5|25";
    const std::string knots4 = "|  40|0|  40|0|  40|0|  40|0|  40|1|  40|1|  40|1|  40|1";

    return {
        {"Line", [](auto &d, auto &s) { return editor::AddLine(d, s, modes::kLine, kP1, kP2); },
         r12Head("LINE", "20") + line, 0, "21", newHead("LINE", "AcDbLine", "2A") + line, 0, "2B"},
        // The direction P2 - P1, not normalised.
        {"ConstructionLine",
         [](auto &d, auto &s) { return editor::AddLine(d, s, modes::kConstructionLine, kP1, kP2); },
         "", editor::kMsgNoConstructionLines, "20", newHead("XLINE", "AcDbXline", "2A") + direction,
         0, "2B"},
        {"Ray", [](auto &d, auto &s) { return editor::AddLine(d, s, modes::kRay, kP1, kP2); }, "",
         editor::kMsgNoRays, "20", newHead("RAY", "AcDbRay", "2A") + direction, 0, "2B"},
        // Outline order in, the SOLID's zig-zag order out.
        {"Solid",
         [](auto &d, auto &s) {
             return editor::AddSolid(d, s, {0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0});
         },
         r12Head("SOLID", "20") + solid, 0, "21", newHead("SOLID", "AcDbTrace", "2A") + solid, 0,
         "2B"},
        {"Point",
         [](auto &d, auto &s) {
             return editor::AddPoint(d, s, {2.75, -3, 0});
         },
         r12Head("POINT", "20") + xyz(10, "2.75", "-3", "0"), 0, "21",
         newHead("POINT", "AcDbPoint", "2A") + xyz(10, "2.75", "-3", "0"), 0, "2B"},
        {"CircleCentreRadius",
         [](auto &d, auto &s) { return editor::AddCircle(d, s, modes::kCentreRadius, kP1, kP2); },
         r12Head("CIRCLE", "20") + xyz(10, "1", "1", "0") + "|  40|5", 0, "21",
         newHead("CIRCLE", "AcDbCircle", "2A") + xyz(10, "1", "1", "0") + "|  40|5", 0, "2B"},
        {"CircleCentreDiameter",
         [](auto &d, auto &s) { return editor::AddCircle(d, s, modes::kCentreDiameter, kP1, kP2); },
         r12Head("CIRCLE", "20") + xyz(10, "1", "1", "0") + "|  40|2.5", 0, "21",
         newHead("CIRCLE", "AcDbCircle", "2A") + xyz(10, "1", "1", "0") + "|  40|2.5", 0, "2B"},
        {"CircleThreePoints",
         [](auto &d, auto &s) { return editor::AddCircleDurch3Punkte(d, s, kEast, kNorth, kWest); },
         r12Head("CIRCLE", "20") + halfCircle, 0, "21",
         newHead("CIRCLE", "AcDbCircle", "2A") + halfCircle, 0, "2B"},
        {"ArcStartMiddleEnd",
         [](auto &d, auto &s) {
             return editor::AddArc(d, s, modes::kStartMiddleEnd, kEast, kNorth, kWest);
         },
         r12Head("ARC", "20") + halfCircle + "|  50|0|  51|180", 0, "21",
         newHead("ARC", "AcDbCircle", "2A") + halfCircle + "|100|AcDbArc|  50|0|  51|180", 0, "2B"},
        // The other way round, the middle point given last: the same arc.
        {"ArcStartEndMiddle",
         [](auto &d, auto &s) {
             return editor::AddArc(d, s, modes::kStartEndMiddle, kWest, kEast, kNorth);
         },
         r12Head("ARC", "20") + halfCircle + "|  50|0|  51|180", 0, "21",
         newHead("ARC", "AcDbCircle", "2A") + halfCircle + "|100|AcDbArc|  50|0|  51|180", 0, "2B"},
        // Start at -135 degrees: both angles turned by 360, the end beyond it.
        {"ArcCentreStartEnd",
         [](auto &d, auto &s) {
             return editor::AddArc(d, s, modes::kCentreStartEnd, {0, 0, 0}, {-1, -1, 0}, {5, 0, 0});
         },
         r12Head("ARC", "20") + xyz(10, "0", "0", "0") + "|  40|1.4142135623731|  50|225|  51|360",
         0, "21",
         newHead("ARC", "AcDbCircle", "2A") + xyz(10, "0", "0", "0") +
             "|  40|1.4142135623731|100|AcDbArc|  50|225|  51|360",
         0, "2B"},
        {"EllipseAxes",
         [](auto &d, auto &s) {
             return editor::AddEllipse(d, s, modes::kEllipseAxes, {0, 0, 0}, {4, 0, 0}, {2, 1, 0});
         },
         "", editor::kMsgNoEllipses, "20",
         newHead("ELLIPSE", "AcDbEllipse", "2A") + xyz(10, "2", "0", "0") + xyz(11, "2", "0", "0") +
             "|  40|0.5",
         0, "2B"},
        {"EllipseArcByCentre",
         [](auto &d, auto &s) {
             return editor::AddEllipse(d, s, modes::kEllipseArcCentre, {1, 1, 0}, {3, 1, 0},
                                       {1, 2, 0}, 0.5, 3);
         },
         "", editor::kMsgNoEllipses, "20",
         newHead("ELLIPSE", "AcDbEllipse", "2A") + xyz(10, "1", "1", "0") + xyz(11, "2", "0", "0") +
             "|  40|0.5|  41|0.5|  42|3",
         0, "2B"},
        // A third point beyond the major axis: the axes swapped, the ratio at most 1.
        {"EllipseMinorBeyondMajor",
         [](auto &d, auto &s) {
             return editor::AddEllipse(d, s, modes::kEllipseCentre, {0, 0, 0}, {1, 0, 0},
                                       {0, 2, 0});
         },
         "", editor::kMsgNoEllipses, "20",
         newHead("ELLIPSE", "AcDbEllipse", "2A") + xyz(10, "0", "0", "0") + xyz(11, "0", "2", "0") +
             "|  40|0.5",
         0, "2B"},
        {"Text",
         [](auto &d, auto &s) {
             return editor::AddText(d, s, {1, 2, 0}, {"Hallo", 0.2, 30});
         },
         r12Head("TEXT", "20") + xyz(10, "1", "2", "0") + "|  40|0.2|  50|30|  1|Hallo", 0, "21",
         newHead("MTEXT", "AcDbMText", "2A") + xyz(10, "1", "2", "0") +
             "|  40|0.2|  50|30|  1|Hallo",
         0, "2B"},
        {"TextOfTwoLines",
         [](auto &d, auto &s) {
             return editor::AddText(d, s, {1, 2, 0}, {"Zeile 1\r\nZeile 2", 0.2, 0});
         },
         r12Head("TEXT", "20") + xyz(10, "1", "2", "0") + "|  40|0.2|  50|0|  1|Zeile 1",
         editor::kMsgOnlyFirstTextLine, "21",
         newHead("MTEXT", "AcDbMText", "2A") + xyz(10, "1", "2", "0") +
             "|  40|0.2|  50|0|  1|Zeile 1\\PZeile 2",
         0, "2B"},
        // Bulges are held in screen orientation and written negated; a straight segment has none.
        {"PolylineWithBulges",
         [](auto &d, auto &s) { return editor::AddPolyLine(d, s, kBulged, false); },
         "  0|POLYLINE| 66|1|  8|0|  5|20" + bulgedR12, 0, "25",
         newHead("LWPOLYLINE", "AcDbPolyline", "2A") + bulgedNewer, 0, "2B"},
        {"Rectangle",
         [](auto &d, auto &s) {
             return editor::AddRectangle(d, s, {0, 0, 0}, {3, 2, 0});
         },
         "  0|POLYLINE| 66|1|  8|0| 70|1|  5|20" + rectangleR12, 0, "26",
         newHead("LWPOLYLINE", "AcDbPolyline", "2A") + "| 90|4| 70|1" + rectangle, 0, "2B"},
        {"Arrowhead", [](auto &d, auto &s) { return editor::AddArrowToLine(d, s, 0, 0, 1, 0); },
         r12Head("SOLID", "20") + arrow, 0, "21", newHead("SOLID", "AcDbTrace", "2A") + arrow, 0,
         "2B"},
        {"Dimension",
         [](auto &d, auto &s) {
             return editor::AddDimension(d, s, {0, 0, 0}, {10, 0, 0}, {0, 2, 0}, {10, 2, 0},
                                         {5, 2, 0}, {"10.00", 0.5, 0, 100, 50});
         },
         dimensionLines(false), 0, "26", dimensionLines(true), 0, "30"},
        // Two fit points and the two tangent clicks: the handles at half the distance of the fit
        // points on the far side of the clicks, nothing left to fit.
        {"SplineWithTangents",
         [](auto &d, auto &s) {
             return editor::AddSPLINE(d, s, {{0, 0, 0}, {10, 0, 0}, {-3, 0, 0}, {7, 0, 0}}, 2,
                                      false);
         },
         "", editor::kMsgNoSplines, "20",
         newHead("SPLINE", "AcDbSpline", "2A") + "| 72|8| 73|4| 71|3" + knots4 +
             xyz(10, "0", "0", "0") + xyz(10, "5", "0", "0") + xyz(10, "15", "0", "0") +
             xyz(10, "10", "0", "0"),
         0, "2B"},
        // Three points are too few for a cubic: the parabola through the middle one.
        {"ClosedSplineOfThreePoints",
         [](auto &d, auto &s) {
             return editor::AddSPLINE(d, s, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}, 0, true);
         },
         "", editor::kMsgNoSplines, "20",
         newHead("SPLINE", "AcDbSpline", "2A") + "| 72|6| 73|3| 70|1| 71|2" +
             "|  40|0|  40|0|  40|0|  40|1|  40|1|  40|1" + xyz(10, "0", "0", "0") +
             xyz(10, "1", "2", "0") + xyz(10, "2", "0", "0"),
         0, "2B"},
    };
}

class CreateEveryKind : public ::testing::TestWithParam<Case> {};

void checkCreation(const Case &c, const char *templ, const std::string &expected, int message,
                   const std::string &seed) {
    SCOPED_TRACE(templ);
    document::Drawing d = newDrawing(templ);
    const std::string before = d.dxf.serialize();
    const int32_t at = d.insertlinepos;
    const int32_t entities = d.anzpoly;
    const Creation made = c.create(d, CreationSettings{});
    EXPECT_EQ(made.message, message);
    EXPECT_EQ(joined(insertedLines(made)), expected);
    // Planned only: the lines change when the steps are applied.
    EXPECT_EQ(d.dxf.serialize(), before);
    apply(d, made);
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(d.handleseedpos)], seed);
    if (expected.empty()) {
        EXPECT_FALSE(made.created());
        EXPECT_EQ(d.dxf.serialize(), before);
        return;
    }
    // Before the ENDSEC of the ENTITIES section.
    const auto count = static_cast<int32_t>(insertedLines(made).size());
    EXPECT_EQ(d.dxf[static_cast<std::size_t>(at + count) + 1], "ENDSEC");
    // One undo step per entity; read again, every one of them is there.
    dxf::processdxf(d);
    EXPECT_EQ(static_cast<std::size_t>(d.anzpoly - entities), made.steps.size());
    // Undo gives back every line byte for byte, the handle seed included.
    undoAll(d, made);
    EXPECT_EQ(d.dxf.serialize(), before);
}

TEST_P(CreateEveryKind, WritesItsLinesInBothVersionsAndUndoGivesThemBack) {
    const Case &c = GetParam();
    checkCreation(c, kR12Template, c.r12, c.r12Message, c.r12Seed);
    checkCreation(c, kNewerTemplate, c.newer, c.newerMessage, c.newerSeed);
}

INSTANTIATE_TEST_SUITE_P(Creation, CreateEveryKind, ::testing::ValuesIn(cases()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
