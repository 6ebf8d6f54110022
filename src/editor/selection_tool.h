// Clicks without a tool: picking, the box selection across two clicks, dragging the selection or
// one of its grips.
#pragma once

#include "editor/edit_tools.h"
#include "editor/selection_picture.h"
#include "editor/tool.h"

#include <cstddef>

namespace quentar::editor {

// Moves one grip of an entity from where it is (`from`, the vertex) to `to`: MovePoint (or the
// viewport grip that opens its dialog). Returns the steps to commit.
using GripPlanner = std::function<Creation(const document::Drawing &d, std::size_t entity,
                                           int vertex, const Point3 &from, const Point3 &to)>;

class SelectionTool : public Tool {
public:
    SelectionTool(ToolContext &ctx, const EditPlanner &moves, const GripPlanner &grips);

    ToolButton button() const override { return ToolButton::None; }
    bool holds(Flag f) const override;
    bool inProgress() const override { return box_ || drag_ != Drag::None; }
    std::optional<Point3> reference() const override;

    // A left button press at the pointer as it is (or a typed position): pick (Shift deselects).
    // A click into empty space opens a box, a click on a selected entity or its grip starts
    // dragging it.
    void click(const ToolPoint &p) override;
    // The second corner of an open box, with any button.
    void closeBox(const ToolPoint &p);
    bool boxOpen() const { return box_; }
    void rightClick(const ToolPoint &) override {}
    // The button released at the pointer (as it is: the release snaps it itself).
    void release(const ToolPoint &p) override;
    void escape() override { cancel(); }
    // Drops an open box and a drag.
    void cancel();

    void drawPreview(PreviewPainter &painter) const override;
    bool showsSnapMarker() const override { return drag_ != Drag::None; }

    // The grip being dragged (moveobjnr, movepointnr).
    std::size_t moveobjnr() const { return moveobjnr_; }
    int movepointnr() const { return movepointnr_; }

private:
    enum class Drag { None, Selection, Grip };
    const EditPlanner &moves_;
    const GripPlanner &grips_;
    bool box_ = false;                    // inmassselect: the first corner is in linesx, linesy
    Drag drag_ = Drag::None;              // inmove, inmovepoint
    double linesx_ = 0, linesy_ = 0;      // first corner, drag start or the grip, drawing units
    int movestartx_ = 0, movestarty_ = 0; // pixel where a drag began
    std::size_t moveobjnr_ = 0;
    int movepointnr_ = 0;
    std::vector<std::size_t> dragged_; // the selection a drag moves
    mutable SelectionPicture picture_; // what a drag of the selection shows moving
};

} // namespace quentar::editor
