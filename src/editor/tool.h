// The shape of an interactive tool: what it is told of the pointer, what it may ask, and the mode
// flags of the drawing window as questions about it.
#pragma once

#include "document/drawing.h"
#include "editor/entity_creation.h"
#include "editor/pointer_handler.h"
#include "render/view_transform.h"

#include <optional>

namespace quentar::editor {

class DrawingEditor;
class PreviewPainter;
class ToolHost;

// A point of the drawing a click, a typed position or the hovering pointer gave: snapped (or
// typed exactly) first, in drawing units, with the pixel it stands on.
struct ToolPoint {
    double x = 0, y = 0; // drawing units
    int px = 0, py = 0;  // pixel of the paint box (the pointer moved onto the point found)
    Modifiers mods;
    Point3 at() const { return {x, y, 0}; }
};

// The window's mode flags. At most one of them is set at a time (inlin with inarrow excepted),
// which holds by construction: each is a question answered by the one active tool.
enum class Flag {
    inlin,
    inarrow,
    insolid,
    indim,
    inrec,
    inpoly,
    incircle,
    inellipse,
    inarc,
    inmassselect,
    inzoom,
    inzoomit,
    inhand,
    inpan,
    incopyselect,
    inmoveselect,
    inrotateselect,
    inscaleselect,
    inmirrorselect,
    inarrayselect,
    indelselect,
    incopyline,
    inmoveline,
    inrotateline,
    inscaleline,
    inmirrorline,
    inmove,
    inmovepoint,
};

// The tool buttons of the drawing window that stand for a tool while it is active.
enum class ToolButton {
    None,
    Line,
    PolyLine,
    Pen,
    Spline,
    Rectangle,
    PolyGon,
    Circle,
    Arc,
    Ellipse,
    Text,
    Dimension,
    Point,
    Solid,
    Arrow,
    Copy,
    Move,
    Rotate,
    Scale,
    Mirror,
    Array,
    Delete,
};

// The items of the polyline input's menu (PopupMenu1).
enum class PolylineMenuItem {
    None,         // closed without a choice
    Finish,       // "Fertig"
    Close,        // "Linienzug schließen"
    ArcSegments,  // "Kreisbogen"
    LineSegments, // "Linie"
};

// What a tool may ask of the interaction it runs in.
class ToolContext {
public:
    virtual ~ToolContext() = default;
    virtual const document::Drawing &drawing() = 0;
    virtual DrawingEditor &editor() = 0;
    virtual ToolHost &host() = 0;
    virtual render::ViewTransform view() = 0;
    // Layer, properties and tab of new entities.
    virtual CreationSettings creationSettings() = 0;
    // Commits what an operation planned (each step an undo step, one read) and shows its
    // message; true when something was created.
    virtual bool commit(const Creation &c) = 0;
    // The tool is done: the interaction goes back to selecting once the current event is handled.
    virtual void endTool() = 0;
};

// A tool collects points and plans one operation from them. Hovering shows what a click would
// lock in: both come from the same geometry. Until it commits, the drawing is untouched, so a
// tool that is ended leaves nothing behind.
class Tool {
public:
    explicit Tool(ToolContext &ctx) : ctx_(ctx) {}
    virtual ~Tool() = default;
    Tool(const Tool &) = delete;
    Tool &operator=(const Tool &) = delete;

    virtual ToolButton button() const = 0;
    virtual bool holds(Flag) const { return false; }
    // Points are pending (one of its mode flags is set).
    virtual bool inProgress() const = 0;
    // The point a snapped pointer is aligned with: the tool's first point, the last polyline
    // vertex; none before the first point.
    virtual std::optional<Point3> reference() const { return std::nullopt; }

    // The left button, or a typed position.
    virtual void click(const ToolPoint &p) = 0;
    // The right button: ends the tool unless it says otherwise.
    virtual void rightClick(const ToolPoint &) { ctx_.endTool(); }
    // The pointer moved (no drag): what a click there would give.
    virtual void hover(const ToolPoint &p) { pointer_ = p; }
    // The pointer moved with a button held, unsnapped (freehand strokes).
    virtual void drag(const ToolPoint &) {}
    virtual void release(const ToolPoint &) {}
    // Escape while points are pending: drop them (the polyline tools finish instead).
    virtual void escape() { ctx_.endTool(); }
    // An item of the polyline menu (the polyline tools use it).
    virtual void menuItem(PolylineMenuItem) {}
    // Waits for a selection confirmed with the right button (edit tools before their points).
    virtual bool selecting() const { return false; }
    virtual void confirmSelection() {}

    virtual void drawPreview(PreviewPainter &) const {}
    // The snap marker follows the hovering pointer.
    virtual bool showsSnapMarker() const { return true; }
    virtual CursorShape cursor() const { return CursorShape::Cross; }

protected:
    ToolContext &ctx_;
    std::optional<ToolPoint> pointer_; // where it hovers
};

} // namespace quentar::editor
