// The drawing tools driven by pointer events through the headless host: what each creates, that
// undo and redo take it back and bring it again to the byte, and that a tool ended before its
// last point leaves the file as it was.
#include "creation_support.h"
#include "drawings.h"
#include "editor_fixture.h"

#include <cmath>

using namespace quentar;
using namespace quentar::testing;
using editor::MouseButton;
using editor::PolylineMenuItem;
using editor::ToolChoice;

namespace {

// One input event; positions in drawing units (one pixel each in the test's view).
struct Ev {
    enum Kind { Left, Right, Move, Press, Drag, Release, Escape, Typed, Ctrl } kind;
    double x = 0, y = 0;
    PolylineMenuItem menu = PolylineMenuItem::None; // what the menu a right click opens answers
};
Ev L(double x, double y) { return {Ev::Left, x, y}; }
Ev R(double x, double y, PolylineMenuItem m = PolylineMenuItem::None) {
    return {Ev::Right, x, y, m};
}
Ev M(double x, double y) { return {Ev::Move, x, y}; }
Ev T(double x, double y) { return {Ev::Typed, x, y}; }
Ev C(double x, double y) { return {Ev::Ctrl, x, y}; }
const Ev kEscape{Ev::Escape};

// The groups that say what an entity is, by kind: no handles, owners, layers or z.
bool shown(const std::string &type, int code) {
    if (type == "SPLINE") return code == 70 || code == 71 || code == 72 || code == 73;
    switch (code) {
    case 1:
    case 10:
    case 11:
    case 12:
    case 13:
    case 20:
    case 21:
    case 22:
    case 23:
    case 40:
    case 41:
    case 42:
    case 50:
    case 51:
    case 70:
    case 90: return true;
    default: return false;
    }
}

// Each entity as "TYPE code=value ...".
std::vector<std::string> describe(const document::Drawing &d) {
    std::vector<std::string> out;
    for (int i = 0; i < d.anzpoly; ++i) {
        const document::tpoly &e = d.polys[static_cast<std::size_t>(i)];
        const std::string type(document::trimLine(d.dxf[static_cast<std::size_t>(e.linefrom) + 1]));
        std::string s = type;
        for (int32_t l = e.linefrom + 2; l + 1 <= e.linebis; l += 2) {
            const int code = std::stoi(std::string(document::trimLine(d.dxf[l])));
            if (shown(type, code))
                s += " " + std::to_string(code) + "=" + std::string(d.dxf[l + 1]);
        }
        out.push_back(s);
    }
    return out;
}

class Tools : public EditorTest {
protected:
    void SetUp() override { openTemplate(kNewerTemplate); }
    void openTemplate(const char *name) { openFile(templatePath(name)); }

    editor::PointerEvent at(double x, double y, MouseButton b = MouseButton::Left) {
        const render::Pixel p = px(x, y);
        return {p.x, p.y, b, {}};
    }
    void run(const std::vector<Ev> &events) {
        for (const Ev &e : events) {
            switch (e.kind) {
            case Ev::Left:
                input.mouseDown(at(e.x, e.y));
                input.mouseUp(at(e.x, e.y));
                break;
            case Ev::Ctrl: {
                editor::PointerEvent p = at(e.x, e.y);
                p.mods.ctrl = true;
                input.mouseDown(p);
                input.mouseUp(p);
                break;
            }
            case Ev::Right:
                if (e.menu != PolylineMenuItem::None) window.menuAnswers.push_back(e.menu);
                input.mouseDown(at(e.x, e.y, MouseButton::Right));
                input.mouseUp(at(e.x, e.y, MouseButton::Right));
                break;
            case Ev::Move: input.mouseMove(at(e.x, e.y)); break;
            case Ev::Press: input.mouseDown(at(e.x, e.y)); break;
            case Ev::Drag: {
                editor::PointerEvent p = at(e.x, e.y);
                p.held = true;
                input.mouseMove(p);
                break;
            }
            case Ev::Release: input.mouseUp(at(e.x, e.y)); break;
            case Ev::Escape: input.keyDown({editor::Key::Escape, {}, {}}); break;
            case Ev::Typed: input.typedClick(e.x, e.y); break;
            }
        }
    }
};

struct Case {
    const char *name;
    ToolChoice tool;
    std::vector<Ev> events;
    std::vector<std::string> expected;
};

// clang-format off
const Case kCases[] = {
    {"lines chain from the point just given; a click on the start makes none", ToolChoice::Line,
     {L(100, 100), L(300, 100), L(302, 101), L(300, 200), R(300, 200)},
     {"LINE 10=100 20=100 11=300 21=100", "LINE 10=300 20=100 11=300 21=200"}},
    {"construction lines fan out from their first point", ToolChoice::ConstructionLine,
     {L(100, 100), L(300, 150), L(200, 300), kEscape},
     {"XLINE 10=100 20=100 11=200 21=50", "XLINE 10=100 20=100 11=100 21=200"}},
    {"an arrow, then plain lines", ToolChoice::Arrow,
     {L(100, 100), L(300, 100), L(300, 200), R(0, 0)},
     {"LINE 10=100 20=100 11=300 21=100",
      "SOLID 10=100 20=100 11=100.17 21=100.034 12=100.17 22=99.966 13=100.17 23=99.966",
      "LINE 10=300 20=100 11=300 21=200"}},
    {"a rectangle", ToolChoice::Rectangle, {L(100, 100), L(300, 200)},
     {"LWPOLYLINE 90=4 70=1 10=100 20=100 10=300 20=100 10=300 20=200 10=100 20=200"}},
    {"a three-point arc", ToolChoice::ArcStartMiddleEnd, {L(300, 100), L(200, 200), L(100, 100)},
     {"ARC 10=200 20=100 40=100 50=0 51=180"}},
    {"an arc by centre, start and end", ToolChoice::ArcCentreStartEnd,
     {L(200, 100), L(300, 100), L(200, 400)},
     {"ARC 10=200 20=100 40=100 50=0 51=90"}},
    {"a circle through three points", ToolChoice::CircleThreePoints,
     {L(100, 100), L(300, 100), L(200, 200)}, {"CIRCLE 10=200 20=100 40=100"}},
    {"a circle by its diameter", ToolChoice::CircleCentreDiameter, {L(200, 100), L(400, 100)},
     {"CIRCLE 10=200 20=100 40=100"}},
    {"a circle by two points", ToolChoice::CircleTwoPoints, {L(100, 100), L(300, 100)},
     {"CIRCLE 10=200 20=100 40=100"}},
    {"a polyline with a tangent arc, closed from the menu", ToolChoice::Polyline,
     {L(100, 100), L(300, 100), R(300, 100, PolylineMenuItem::ArcSegments), L(300, 300),
      R(300, 300, PolylineMenuItem::Close)},
     {"LWPOLYLINE 90=3 70=1 10=100 20=100 10=300 20=100 42=1 10=300 20=300"}},
    {"a polyline finished by Escape", ToolChoice::Polyline,
     {L(100, 100), L(300, 100), L(300, 250), kEscape},
     {"LWPOLYLINE 90=3 10=100 20=100 10=300 20=100 10=300 20=250"}},
    {"a spline with its two tangent points", ToolChoice::Spline,
     {L(100, 100), L(200, 200), L(300, 100), R(300, 100, PolylineMenuItem::Finish),
      L(50, 50), L(350, 50)},
     {"SPLINE 72=9 73=5 71=3"}},
    {"a closed spline whose tangent phase ends from the menu", ToolChoice::Spline,
     {L(100, 100), L(200, 200), L(300, 100), R(300, 100, PolylineMenuItem::Close),
      L(50, 50), R(50, 50, PolylineMenuItem::Finish)},
     {"SPLINE 72=9 73=5 70=1 71=3"}},
    {"a freehand stroke", ToolChoice::Freehand,
     {{Ev::Press, 100, 100}, {Ev::Drag, 110, 100}, {Ev::Drag, 110, 100}, {Ev::Drag, 120, 105},
      {Ev::Release, 120, 105}},
     {"LWPOLYLINE 90=3 10=100 20=100 10=110 20=100 10=120 20=105"}},
    {"a filled triangle from the right button", ToolChoice::Solid,
     {L(100, 100), L(300, 100), L(200, 250), R(0, 0)},
     {"SOLID 10=100 20=100 11=300 21=100 12=200 22=250 13=200 23=250"}},
    {"points, one per click", ToolChoice::Point, {L(100, 100), L(300, 100), R(0, 0)},
     {"POINT 10=100 20=100", "POINT 10=300 20=100"}},
    {"a text from the dialog", ToolChoice::Text, {L(100, 100)},
     {"MTEXT 10=100 20=100 40=0.2 50=0 1=Text"}},
    {"an ellipse by its axes", ToolChoice::EllipseAxes, {L(100, 100), L(300, 100), L(200, 150)},
     {"ELLIPSE 10=200 20=100 11=100 21=0 40=0.5"}},
    {"an elliptical arc ends where the pointer points", ToolChoice::EllipseArcCentre,
     {L(200, 100), L(300, 100), L(200, 150), L(300, 100), L(100, 100)},
     {"ELLIPSE 10=200 20=100 11=100 21=0 40=0.5 41=0 42=3.14159265358979"}},
    {"a dimension", ToolChoice::Dimension, {L(100, 100), L(300, 100), L(200, 150)},
     {"LINE 10=100 20=100 11=100 21=150", "LINE 10=300 20=100 11=300 21=150",
      "LINE 10=100 20=150 11=300 21=150",
      "SOLID 10=100 20=150 11=100.17 21=150.034 12=100.17 22=149.966 13=100.17 23=149.966",
      "SOLID 10=300 20=150 11=299.83 21=149.966 12=299.83 22=150.034 13=299.83 23=150.034",
      "MTEXT 10=199.25 20=150.25 40=0.5 50=0 1=200.00"}},
    {"typed clicks land exactly, the next click uses the pointer again", ToolChoice::Line,
     {T(1.25, 2.5), T(3.75, 2.5), L(300, 200), R(0, 0)},
     {"LINE 10=1.25 20=2.5 11=3.75 21=2.5", "LINE 10=3.75 20=2.5 11=300 21=200"}},
};
// clang-format on

TEST_F(Tools, EachToolCreatesWhatItsClicksSayAndUndoRedoRestoreTheBytes) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        openTemplate(kNewerTemplate);
        const std::string original = lines();
        ASSERT_TRUE(input.chooseTool(c.tool));
        run(c.events);
        EXPECT_EQ(describe(viewer.drawing()), c.expected);
        EXPECT_TRUE(window.messages.empty());
        // One undo step per entity, all taken back to the byte and brought again.
        const std::string made = lines();
        const std::size_t steps = editor.undos().size();
        EXPECT_EQ(steps, c.expected.size());
        for (std::size_t k = 0; k < steps; ++k) editor.undo();
        EXPECT_EQ(lines(), original);
        for (std::size_t k = 0; k < steps; ++k) editor.redo();
        EXPECT_EQ(lines(), made);
        input.SetAlltoFalse();
    }
}

// The edit tools and drags on the selection, with the transformations behind them.
struct EditCase {
    const char *name;
    Groups entities;
    std::vector<std::size_t> selected;
    std::optional<editor::EditOperation> tool; // none: the events drag
    editor::KeyboardEntry keyboard;
    std::vector<Ev> events;
    std::vector<std::string> expected;
    std::size_t steps;
};

// A header of the newer version with a handle seed, for drawings built from groups.
Groups newerHeader() {
    return {{0, "SECTION"},   {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"},
            {9, "$HANDSEED"}, {5, "100"},    {0, "ENDSEC"}};
}

Groups arc(double cx, double cy, double r, double a0, double a1) {
    return {{0, "ARC"},   {8, "0"},      {10, num(cx)}, {20, num(cy)},
            {40, num(r)}, {50, num(a0)}, {51, num(a1)}};
}
Groups circle(double cx, double cy, double r) {
    return {{0, "CIRCLE"}, {8, "0"}, {10, num(cx)}, {20, num(cy)}, {40, num(r)}};
}

TEST_F(Tools, EditToolsAndDragsTransformTheSelection) {
    using Op = editor::EditOperation;
    const editor::KeyboardEntry clicks{false, false}, keys{true, true};
    // clang-format off
    const EditCase cases[] = {
        {"move by a base point and a second point", line(100, 100, 300, 100), {0}, Op::Move,
         clicks, {L(100, 100), L(150, 200)}, {"LINE 10=150 20=200 11=350 21=200"}, 1},
        {"copy a circle", circle(200, 200, 50), {0}, Op::Copy, clicks,
         {L(200, 200), L(400, 200)},
         {"CIRCLE 10=200 20=200 40=50", "CIRCLE 10=400 20=200 40=50"}, 1},
        {"rotate by the direction of a click", line(100, 100, 300, 100), {0}, Op::Rotate,
         clicks, {L(100, 100), L(100, 300)}, {"LINE 10=100 20=100 11=100 21=300"}, 1},
        {"rotate by the keyboard, clockwise", line(100, 100, 300, 100), {0}, Op::Rotate, keys,
         {L(100, 100)}, {"LINE 10=100 20=100 11=100 21=-100"}, 1},
        {"scale by the keyboard", line(100, 100, 300, 100), {0}, Op::Scale, keys, {L(100, 100)},
         {"LINE 10=100 20=100 11=500 21=100"}, 1},
        {"scale by the distance of a click", circle(200, 200, 50), {0}, Op::Scale, clicks,
         {L(200, 200), C(204, 200)}, {"CIRCLE 10=200 20=200 40=200"}, 1},
        {"mirror an arc in a horizontal line", arc(200, 200, 50, 0, 90), {0}, Op::Mirror, clicks,
         {L(100, 200), L(300, 200)}, {"ARC 10=200 20=200 40=50 50=270 51=360"}, 1},
        {"an array of 3 columns and 2 rows", point(100, 100), {0}, Op::Array, clicks, {},
         {"POINT 10=100 20=100", "POINT 10=100 20=120", "POINT 10=110 20=100",
          "POINT 10=110 20=120", "POINT 10=120 20=100", "POINT 10=120 20=120"}, 5},
        {"a grip dropped onto another line's end lands on it", concat({line(100, 100, 300, 100),
         line(100, 300, 300, 300)}), {0}, std::nullopt, clicks,
         {{Ev::Press, 302, 101}, {Ev::Drag, 250, 250}, {Ev::Release, 298, 302}},
         {"LINE 10=100 20=100 11=300 21=300", "LINE 10=100 20=300 11=300 21=300"}, 1},
        {"the selection dragged", line(100, 300, 300, 300), {0}, std::nullopt, clicks,
         {{Ev::Press, 200, 301}, {Ev::Drag, 230, 330}, {Ev::Release, 250, 351}},
         {"LINE 10=150 20=350 11=350 21=350"}, 1},
    };
    // clang-format on
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        open(concat({newerHeader(), entitiesSection(c.entities)}));
        const std::string original = lines();
        for (std::size_t i : c.selected) editor.select(i);
        input.setKeyboardEntry(c.keyboard);
        if (c.tool) input.chooseEditTool(*c.tool);
        run(c.events);
        EXPECT_EQ(describe(viewer.drawing()), c.expected);
        EXPECT_TRUE(window.messages.empty());
        EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
        const std::string made = lines();
        EXPECT_EQ(editor.undos().size(), c.steps);
        for (std::size_t k = 0; k < c.steps; ++k) editor.undo();
        EXPECT_EQ(lines(), original);
        for (std::size_t k = 0; k < c.steps; ++k) editor.redo();
        EXPECT_EQ(lines(), made);
        input.SetAlltoFalse();
    }
}

TEST_F(Tools, CancelledTransformationDialogsChangeNothing) {
    open(concat({newerHeader(), entitiesSection(line(100, 100, 300, 100))}));
    const std::string original = lines();
    window.dialogsAccept = false;
    input.setKeyboardEntry({true, true});
    for (editor::EditOperation op : {editor::EditOperation::Rotate, editor::EditOperation::Scale,
                                     editor::EditOperation::Array}) {
        editor.select(0);
        input.chooseEditTool(op);
        run({L(100, 100)});
        EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
        EXPECT_EQ(lines(), original);
    }
    EXPECT_EQ(window.transformDialogs, 3);
}

TEST_F(Tools, EscapeOrAnotherToolBeforeTheLastPointLeavesTheFileAsItWas) {
    // Every tool, given all but its last point: Escape drops the points, and so does choosing
    // another tool.
    const std::pair<ToolChoice, std::vector<Ev>> pending[] = {
        {ToolChoice::Line, {L(100, 100), M(200, 150)}},
        {ToolChoice::ConstructionLine, {L(100, 100), M(200, 150)}},
        {ToolChoice::Ray, {L(100, 100)}},
        {ToolChoice::Arrow, {L(100, 100)}},
        {ToolChoice::Polyline, {L(100, 100), M(200, 150)}},
        {ToolChoice::Spline, {L(100, 100), L(200, 200), M(300, 100)}},
        {ToolChoice::Freehand, {{Ev::Press, 100, 100}}},
        {ToolChoice::Rectangle, {L(100, 100), M(200, 150)}},
        {ToolChoice::Polygon, {L(100, 100), M(200, 150)}},
        {ToolChoice::ArcStartMiddleEnd, {L(100, 100), L(200, 200), M(300, 100)}},
        {ToolChoice::ArcStartEndMiddle, {L(100, 100), L(300, 100)}},
        {ToolChoice::ArcCentreStartEnd, {L(100, 100), L(300, 100)}},
        {ToolChoice::CircleCentreRadius, {L(100, 100), M(200, 150)}},
        {ToolChoice::CircleCentreDiameter, {L(100, 100)}},
        {ToolChoice::CircleTwoPoints, {L(100, 100)}},
        {ToolChoice::CircleThreePoints, {L(100, 100), L(300, 100), M(200, 200)}},
        {ToolChoice::EllipseAxes, {L(100, 100), L(300, 100), M(200, 150)}},
        {ToolChoice::EllipseArcAxes, {L(100, 100), L(300, 100), L(200, 150), L(300, 100)}},
        {ToolChoice::EllipseCentre, {L(100, 100), L(300, 100)}},
        {ToolChoice::EllipseArcCentre, {L(200, 100), L(300, 100), L(200, 150)}},
        {ToolChoice::Text, {}},
        {ToolChoice::Dimension, {L(100, 100), L(300, 100), M(200, 150)}},
        {ToolChoice::Point, {}},
        {ToolChoice::Solid, {L(100, 100), L(300, 100), L(200, 250)}},
    };
    const std::string original = lines();
    for (const auto &[tool, events] : pending) {
        for (bool escape : {true, false}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(tool)) + (escape ? " Escape" : " tool"));
            ASSERT_TRUE(input.chooseTool(tool));
            run(events);
            if (escape)
                run({kEscape});
            else
                input.chooseTool(ToolChoice::Point);
            EXPECT_EQ(lines(), original);
            EXPECT_FALSE(editor.canUndo());
            EXPECT_EQ(input.pressedButton(),
                      escape ? editor::ToolButton::None : editor::ToolButton::Point);
            EXPECT_TRUE(input.idle());
            input.SetAlltoFalse();
        }
    }
    // A cancelled dialog creates nothing either.
    window.dialogsAccept = false;
    for (ToolChoice tool : {ToolChoice::Text, ToolChoice::Dimension}) {
        input.chooseTool(tool);
        run({L(100, 100), L(300, 100), L(200, 150)});
        EXPECT_EQ(lines(), original);
    }
    EXPECT_FALSE(input.chooseTool(ToolChoice::Polygon));
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
}

TEST_F(Tools, EscapeBeforeAnEditOrADragEndsLeavesTheFileAsItWas) {
    using Op = editor::EditOperation;
    open(concat({newerHeader(),
                 entitiesSection(concat({line(100, 100, 300, 100), line(100, 300, 300, 300)}))}));
    const std::string original = lines();
    const editor::KeyboardEntry clicks{false, false};
    input.setKeyboardEntry(clicks);
    const std::pair<const char *, std::vector<Ev>> pending[] = {
        {"a drag of the selection", {{Ev::Press, 200, 101}, {Ev::Drag, 230, 250}}},
        {"a drag of a grip", {{Ev::Press, 302, 101}, {Ev::Drag, 250, 250}}},
    };
    const auto ended = [&] {
        EXPECT_EQ(lines(), original);
        EXPECT_FALSE(editor.canUndo());
        EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
        EXPECT_FALSE(input.inmove());
        EXPECT_FALSE(input.inmovepoint());
    };
    for (Op op : {Op::Move, Op::Copy, Op::Rotate, Op::Scale, Op::Mirror}) {
        SCOPED_TRACE(static_cast<int>(op));
        editor.select(0);
        input.chooseEditTool(op);
        // The base point given, the pointer where the second would be.
        run({L(100, 100), M(200, 250), kEscape});
        ended();
        input.SetAlltoFalse();
        editor.selectNone();
    }
    for (const auto &[name, events] : pending) {
        SCOPED_TRACE(name);
        editor.select(0);
        run(events);
        run({kEscape});
        // The release that follows the Escape drops nothing.
        run({{Ev::Release, 250, 250}});
        ended();
        editor.selectNone();
    }
}

TEST_F(Tools, FlagsAndButtonsFollowTheActiveTool) {
    input.chooseTool(ToolChoice::Arrow);
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::Arrow);
    EXPECT_FALSE(input.inlin());
    run({L(100, 100)});
    EXPECT_TRUE(input.is(editor::Flag::inlin));
    EXPECT_TRUE(input.is(editor::Flag::inarrow));
    run({L(300, 100)});
    EXPECT_TRUE(input.inlin());
    EXPECT_FALSE(input.is(editor::Flag::inarrow));
    // Another tool: the line's point and flags are gone, the new tool's button is pressed.
    input.chooseTool(ToolChoice::Rectangle);
    EXPECT_FALSE(input.inlin());
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::Rectangle);
    run({L(100, 300)});
    EXPECT_TRUE(input.is(editor::Flag::inrec));
    EXPECT_EQ(input.cursor(), editor::CursorShape::Cross);
    // Escape ends it; a second Escape, with no tool, deselects.
    run({kEscape});
    EXPECT_EQ(input.pressedButton(), editor::ToolButton::None);
    editor.selectAll();
    ASSERT_TRUE(editor.IsSelected());
    run({kEscape});
    EXPECT_FALSE(editor.IsSelected());
}

TEST_F(Tools, TheR12VersionRefusesWhatItCannotHold) {
    openTemplate(kR12Template);
    input.chooseTool(ToolChoice::Line);
    run({L(100, 100)});
    struct Refusal {
        ToolChoice tool;
        int message;
        bool lineGoesOn; // refused before the previous tool ends
    };
    const Refusal refusals[] = {
        {ToolChoice::ConstructionLine, editor::kMsgNoConstructionLines, true},
        {ToolChoice::Ray, editor::kMsgNoRays, true},
        {ToolChoice::Spline, editor::kMsgNoSplines, true},
        {ToolChoice::EllipseArcCentre, editor::kMsgNoEllipses, false},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.message);
        window.messages.clear();
        EXPECT_FALSE(input.chooseTool(r.tool));
        EXPECT_EQ(window.messages, std::vector<int>{r.message});
        EXPECT_EQ(input.inlin(), r.lineGoesOn);
    }
    // A text of two lines: the first line, and message 32.
    window.messages.clear();
    window.textAnswer = "erste\r\nzweite";
    input.chooseTool(ToolChoice::Text);
    run({L(100, 100)});
    EXPECT_EQ(window.messages, std::vector<int>{editor::kMsgOnlyFirstTextLine});
    EXPECT_EQ(describe(viewer.drawing()),
              std::vector<std::string>{"TEXT 10=100 20=100 40=0.2 50=0 1=erste"});
}

TEST_F(Tools, ClicksSnapAndAlignExceptWithCtrl) {
    // An end point to snap to at (300, 100).
    input.chooseTool(ToolChoice::Line);
    run({L(100, 100), L(300, 100), R(0, 0)});
    ASSERT_EQ(viewer.drawing().anzpoly, 1);
    input.chooseTool(ToolChoice::Line);
    // 3 pixels off the end point snaps onto it; the second point 4 pixels off the horizontal
    // through the first aligns with it; with Ctrl the pointer is taken as it is.
    run({L(302, 97), L(304, 300), C(504, 296), R(0, 0)});
    EXPECT_EQ(describe(viewer.drawing()),
              (std::vector<std::string>{"LINE 10=100 20=100 11=300 21=100",
                                        "LINE 10=300 20=100 11=300 21=300",
                                        "LINE 10=300 20=300 11=504 21=296"}));
}

// What the overlay draws, in pixels.
class StrokeCanvas : public render::Canvas {
public:
    std::vector<render::PointF> points;
    int strokes = 0;
    void strokePath(const render::Path &path, const render::Pen &pen) override {
        // Helper lines (dashed) are no part of the shape.
        if (!pen.dashPattern.empty()) return;
        ++strokes;
        for (const auto &f : path.figures)
            points.insert(points.end(), f.points.begin(), f.points.end());
    }
    void fillPath(const render::Path &, const render::Brush &) override {}
    void fillRect(int, int, int, int, render::Rgb) override {}
    void frameRect(int, int, int, int, render::Rgb) override {}
    void drawText(std::string_view, double, const render::Transform &, render::Rgb) override {}
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
    void pushClipRect(int, int, int, int) override {}
    void popClip() override {}
    void drawHandleImage(int, int, int) override {}
};

double distanceToSegment(render::PointF p, render::PointF a, render::PointF b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

TEST_F(Tools, ThePreviewShowsWhatTheClickCreates) {
    // Hovering over the last point draws the entity the click there then creates: every point of
    // the preview lies on the created entity's drawn outline, within a pixel.
    const std::pair<ToolChoice, std::vector<Ev>> cases[] = {
        {ToolChoice::Rectangle, {L(100, 100), L(300, 200)}},
        {ToolChoice::ArcStartEndMiddle, {L(300, 100), L(100, 100), L(200, 170)}},
        {ToolChoice::CircleThreePoints, {L(100, 100), L(300, 100), L(220, 170)}},
        {ToolChoice::Polygon, {L(200, 200), L(260, 280)}},
        {ToolChoice::EllipseArcAxes,
         {L(100, 100), L(300, 140), L(200, 170), L(320, 100), L(130, 260)}},
        {ToolChoice::Polyline,
         {L(100, 100), L(300, 100), R(300, 100, PolylineMenuItem::ArcSegments), L(300, 300),
          L(170, 380)}},
        {ToolChoice::Spline,
         {L(100, 100), L(200, 200), L(300, 100), R(300, 100, PolylineMenuItem::Finish), L(50, 50),
          L(350, 50)}},
    };
    for (const auto &[tool, events] : cases) {
        SCOPED_TRACE(static_cast<int>(tool));
        openTemplate(kNewerTemplate);
        input.chooseTool(tool);
        const std::vector<Ev> before(events.begin(), events.end() - 1);
        run(before);
        const Ev last = events.back();
        run({M(last.x, last.y)});
        StrokeCanvas preview;
        input.drawOverlay(preview);
        ASSERT_GT(preview.points.size(), 3u);
        run({last});
        if (tool == ToolChoice::Polyline) run({R(0, 0, PolylineMenuItem::Finish)});
        const document::Drawing &d = viewer.drawing();
        ASSERT_EQ(d.anzpoly, 1);
        const document::tpoly &e = d.polys[0];
        std::vector<render::PointF> outline;
        for (int k = 0; k < e.anzp; ++k)
            if (!e.p(k).donotdraw) {
                const render::ViewTransform vt = viewer.transform();
                outline.push_back({vt.screenX(e.p(k).x), vt.exactScreenY(e.p(k).y)});
            }
        if (e.isclosed) outline.push_back(outline.front());
        double worst = 0;
        for (const render::PointF &p : preview.points) {
            double best = 1e9;
            for (std::size_t k = 0; k + 1 < outline.size(); ++k)
                best = std::min(best, distanceToSegment(p, outline[k], outline[k + 1]));
            worst = std::max(worst, best);
        }
        EXPECT_LT(worst, 1.0);
    }
}

} // namespace
