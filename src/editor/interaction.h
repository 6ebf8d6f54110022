// The drawing surface's one interaction object: it snaps the pointer, turns a click and a typed
// position into the same point in drawing units and hands it to the active tool, or to the
// selection tool when none is active. The window's mode flags are questions asked of it.
#pragma once

#include "editor/drawing_editor.h"
#include "editor/edit_tools.h"
#include "editor/pointer_handler.h"
#include "editor/selection_tool.h"
#include "editor/tool.h"
#include "editor/tool_host.h"
#include "editor/view_tools.h"

#include <functional>
#include <memory>
#include <optional>

namespace quentar::editor {

// A tool as the tool buttons and the "Zeichnen" menu choose it (with its sub-mode).
enum class ToolChoice {
    Line,
    ConstructionLine,
    Ray,
    Arrow,
    Polyline,
    Freehand,
    Spline,
    Rectangle,
    Polygon,
    ArcStartMiddleEnd,
    ArcStartEndMiddle,
    ArcCentreStartEnd,
    CircleCentreRadius,
    CircleCentreDiameter,
    CircleTwoPoints,
    CircleThreePoints,
    EllipseAxes,
    EllipseArcAxes,
    EllipseCentre,
    EllipseArcCentre,
    Text,
    Dimension,
    Point,
    Solid,
};

class Interaction : public PointerHandler, private ToolContext {
public:
    Interaction(DrawingEditor &editor, ViewTools &viewTools, ToolHost &host);
    ~Interaction() override;
    Interaction(const Interaction &) = delete;
    Interaction &operator=(const Interaction &) = delete;

    // --- PointerHandler ---
    void mouseDown(const PointerEvent &e) override;
    void mouseMove(const PointerEvent &e) override;
    void mouseUp(const PointerEvent &e) override;
    void doubleClick(const PointerEvent &e) override;
    void wheel(const WheelEvent &e) override;
    bool keyDown(const KeyEvent &e) override;
    void chooseViewTool(ViewTool tool) override;
    ViewTool activeViewTool() const override { return viewTools_.activeViewTool(); }
    CursorShape cursor() const override;

    // --- Choosing tools ---
    // A drawing tool; false when the drawing's version cannot hold its entity (the message is
    // shown, and for every tool but the ellipses the previous tool goes on).
    bool chooseTool(ToolChoice choice);
    // Copy, move, rotate, scale, mirror, array: with a selection straight to the points (the
    // array to its dialog); without one they wait for a selection confirmed with the right
    // button. The delete tool deletes the selection, or waits for one.
    void chooseEditTool(EditOperation operation);
    void DelBtnClick();
    // SetAlltoFalse: ends the active tool, drops what it collected and its preview.
    void SetAlltoFalse();

    // A left click at (x, y) in drawing units, exactly there (BenutzenBtnClick: Xed, YEd).
    void typedClick(double x, double y);
    // The polyline menu's items, as if chosen from the menu (Fertig1Click, ...).
    void polylineItem(PolylineMenuItem item);

    // What plans the edit tools' operations and the drags (the transformations unless a test
    // puts another in their place).
    void setEditPlanner(EditPlanner planner) { planner_ = std::move(planner); }
    // What plans the drag of a grip (MovePoint, the viewport dialog).
    void setGripPlanner(GripPlanner planner) { grips_ = std::move(planner); }
    // Layer and properties of new entities (LayerCombo and the property pickers).
    void setCreationSettings(CreationSettings s) { settings_ = std::move(s); }
    // "Rotationsrichtung per Tastatur eingeben", "Skalierungsfaktor per Tastatur eingeben".
    void setKeyboardEntry(KeyboardEntry k) { keyboard_ = k; }
    KeyboardEntry keyboardEntry() const { return keyboard_; }

    // --- The window's mode flags and state, as questions ---
    bool is(Flag f) const;
    bool inlin() const { return is(Flag::inlin); }
    bool inpoly() const { return is(Flag::inpoly); }
    bool inmassselect() const { return is(Flag::inmassselect); }
    bool inmove() const { return is(Flag::inmove); }
    bool inmovepoint() const { return is(Flag::inmovepoint); }
    bool indelselect() const { return is(Flag::indelselect); }
    // No mode flag is set (inpan and inzoomit aside): Escape then deselects.
    bool idle() const;
    // The tool button shown pressed.
    ToolButton pressedButton() const { return tool_ ? tool_->button() : ToolButton::None; }
    const Tool *activeTool() const { return tool_.get(); }
    SelectionTool &selectionTool() { return selection_; }

    // The previews of the active tool, the snap marker, the selection box.
    void drawOverlay(render::Canvas &canvas) const;

private:
    // ToolContext
    const document::Drawing &drawing() override;
    DrawingEditor &editor() override { return editor_; }
    ToolHost &host() override { return host_; }
    render::ViewTransform view() override;
    CreationSettings creationSettings() override;
    bool commit(const Creation &c) override;
    void endTool() override { ending_ = true; }

    Creation planGrip(const document::Drawing &d, std::size_t entity, int vertex,
                      const Point3 &from, const Point3 &to);
    void start(std::unique_ptr<Tool> tool);
    // After each event: a tool that ended goes.
    void settle();
    // The point a click (or the hovering pointer) at pixel (x, y) gives: the typed position, or
    // the pointer snapped with the active tool's reference point.
    ToolPoint pointAt(const PointerEvent &e, bool typed, bool &snapped);
    bool viewToolHasPointer() const {
        return viewTools_.activeViewTool() != ViewTool::None || viewTools_.dragging();
    }
    void documentReplaced();

    DrawingEditor &editor_;
    ViewTools &viewTools_;
    ToolHost &host_;
    EditPlanner planner_;
    GripPlanner grips_;
    SelectionTool selection_;
    std::unique_ptr<Tool> tool_;
    bool ending_ = false;
    CreationSettings settings_;
    KeyboardEntry keyboard_;
    // The typed position of the click under way (useexact, exactx, exacty), drawing units.
    std::optional<Point3> exact_;
    // The hovering pointer and whether it snapped onto a point (the marker).
    std::optional<ToolPoint> hover_;
    bool hoverSnapped_ = false;
    int lastmousex_ = 0, lastmousey_ = 0;
};

} // namespace quentar::editor
