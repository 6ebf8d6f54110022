// Copy, move, rotate, scale, mirror, array and delete: the selection phase, the two points, the
// preview of the selection as the operation would leave it.
#include "editor/edit_tools.h"

#include "editor/drawing_editor.h"
#include "editor/preview_painter.h"
#include "editor/selection_picture.h"
#include "editor/tool_host.h"

#include <cmath>

namespace quentar::editor {

PlaneMap previewMap(EditOperation operation, const Point3 &base, const Point3 &second) {
    switch (operation) {
    case EditOperation::Copy:
    case EditOperation::Move: return PlaneMap::moving(second.x - base.x, second.y - base.y);
    case EditOperation::Rotate: return PlaneMap::turning(base.x, base.y, second.x, second.y);
    case EditOperation::Mirror: return PlaneMap::mirroring(base.x, base.y, second.x, second.y);
    case EditOperation::Scale: return PlaneMap::scaling(base.x, base.y, second.x, second.y);
    case EditOperation::Array:
    case EditOperation::Delete: break;
    }
    return {};
}

namespace {

int messageOf(CopyOutcome outcome) {
    switch (outcome) {
    case CopyOutcome::NoHandlesLeft: return kMsgNoHandlesLeft;
    case CopyOutcome::TooLarge: return kMsgArrayTooLarge;
    case CopyOutcome::Copied:
    case CopyOutcome::NothingToCopy: break;
    }
    return 0;
}

Creation fromCopy(CopyPlan plan) {
    Creation c;
    c.steps = std::move(plan.steps);
    c.message = messageOf(plan.outcome);
    return c;
}

} // namespace

Creation planTransformation(const document::Drawing &d, const std::vector<std::size_t> &entities,
                            EditOperation operation, const Point3 &base, const Point3 &second) {
    const double dx = second.x - base.x, dy = second.y - base.y;
    Creation c;
    switch (operation) {
    case EditOperation::Copy: return fromCopy(CopyObjects(d, entities, dx, dy));
    case EditOperation::Move: c.steps.push_back(MoveObjects(d, entities, dx, dy)); break;
    case EditOperation::Rotate:
    case EditOperation::Mirror:
    case EditOperation::Scale: {
        const int modex = operation == EditOperation::Rotate   ? kRotateMode
                          : operation == EditOperation::Mirror ? kMirrorMode
                                                               : kScaleMode;
        c.steps.push_back(RotateObjects(d, entities, base.x, base.y, second.x, second.y, modex));
        break;
    }
    case EditOperation::Array:
    case EditOperation::Delete: break;
    }
    // A step that changes nothing is no step the user could take back.
    if (!c.steps.empty() && c.steps.back().empty()) c.steps.clear();
    return c;
}

Creation planArray(const document::Drawing &d, const std::vector<std::size_t> &entities,
                   const ArrayParameters &p) {
    return fromCopy(MakeArray(d, entities, p));
}

namespace {

ToolButton buttonOf(EditOperation op) {
    switch (op) {
    case EditOperation::Copy: return ToolButton::Copy;
    case EditOperation::Move: return ToolButton::Move;
    case EditOperation::Rotate: return ToolButton::Rotate;
    case EditOperation::Scale: return ToolButton::Scale;
    case EditOperation::Mirror: return ToolButton::Mirror;
    case EditOperation::Array: return ToolButton::Array;
    case EditOperation::Delete: return ToolButton::Delete;
    }
    return ToolButton::None;
}

Flag selectFlag(EditOperation op) {
    switch (op) {
    case EditOperation::Copy: return Flag::incopyselect;
    case EditOperation::Move: return Flag::inmoveselect;
    case EditOperation::Rotate: return Flag::inrotateselect;
    case EditOperation::Scale: return Flag::inscaleselect;
    case EditOperation::Mirror: return Flag::inmirrorselect;
    case EditOperation::Array: return Flag::inarrayselect;
    case EditOperation::Delete: break;
    }
    return Flag::indelselect;
}

Flag pointFlag(EditOperation op) {
    switch (op) {
    case EditOperation::Copy: return Flag::incopyline;
    case EditOperation::Move: return Flag::inmoveline;
    case EditOperation::Rotate: return Flag::inrotateline;
    case EditOperation::Scale: return Flag::inscaleline;
    default: return Flag::inmirrorline;
    }
}

class EditTool : public Tool {
public:
    EditTool(ToolContext &ctx, EditOperation op, bool waiting, const EditPlanner &planner,
             KeyboardEntry keyboard)
        : Tool(ctx), op_(op), selecting_(waiting), planner_(planner), keyboard_(keyboard) {}

    ToolButton button() const override { return buttonOf(op_); }
    bool holds(Flag f) const override {
        return selecting_ ? f == selectFlag(op_) : f == pointFlag(op_);
    }
    bool inProgress() const override { return true; }
    std::optional<Point3> reference() const override {
        if (base_) return base_;
        return std::nullopt;
    }
    bool selecting() const override { return selecting_; }
    CursorShape cursor() const override {
        return selecting_ ? CursorShape::Arrow : CursorShape::Cross;
    }
    bool showsSnapMarker() const override { return !selecting_; }

    void confirmSelection() override {
        selecting_ = false;
        DrawingEditor &ed = ctx_.editor();
        if (op_ == EditOperation::Delete) {
            ed.deleteSelection();
            ctx_.endTool();
        } else if (op_ == EditOperation::Array) {
            // The array takes its dialog's values, no points.
            if (const std::optional<ArrayParameters> p = ctx_.host().askArray())
                ctx_.commit(planArray(ctx_.drawing(), ed.selectedOnTab(), *p));
            ctx_.endTool();
        }
    }

    void click(const ToolPoint &p) override {
        if (selecting_) return;
        if (!base_) {
            base_ = p.at();
            keyboardVariant();
            return;
        }
        runWith(p.at());
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (selecting_ || !base_ || !pointer_) return;
        const Point3 second = pointer_->at();
        painter.line(*base_, second);
        DrawingViewer &viewer = ctx_.editor().viewer();
        picture_.draw(painter, ctx_.drawing(), viewer.readCount(), viewer.tab(),
                      ctx_.editor().selectedOnTab(), previewMap(op_, *base_, second));
    }

private:
    void runWith(const Point3 &second) {
        if (planner_)
            ctx_.commit(
                planner_(ctx_.drawing(), ctx_.editor().selectedOnTab(), op_, *base_, second));
        ctx_.endTool();
    }

    // Rotate and scale may take their angle or factor from a dialog right after the base point
    // (a clockwise turn, a percentage); cancelled, the tool ends without a change.
    void keyboardVariant() {
        if (op_ == EditOperation::Rotate && keyboard_.rotation) {
            if (const std::optional<KeyboardRotation> r = ctx_.host().askRotation()) {
                const auto [ex, ey] = keyboardRotationPoint(base_->x, base_->y, r->degrees);
                runWith({ex, ey, 0});
            } else {
                ctx_.endTool();
            }
        } else if (op_ == EditOperation::Scale && keyboard_.scaling) {
            if (const std::optional<KeyboardScaling> f = ctx_.host().askScaling()) {
                const auto [ex, ey] = keyboardScalingPoint(base_->x, base_->y, f->percent);
                runWith({ex, ey, 0});
            } else {
                ctx_.endTool();
            }
        }
    }

    EditOperation op_;
    bool selecting_;
    const EditPlanner &planner_;
    KeyboardEntry keyboard_;
    std::optional<Point3> base_; // linesx, linesy once given (ellipsemode 1)
    mutable SelectionPicture picture_;
};

} // namespace

std::unique_ptr<Tool> makeEditTool(ToolContext &ctx, EditOperation operation, bool waitForSelection,
                                   const EditPlanner &planner, KeyboardEntry keyboard) {
    return std::make_unique<EditTool>(ctx, operation, waitForSelection, planner, keyboard);
}

} // namespace quentar::editor
