// Copy, move, rotate, scale, mirror, array and delete: the selection phase, the two points, the
// preview of the selection as the operation would leave it.
#include "editor/edit_tools.h"

#include "editor/drawing_editor.h"
#include "editor/preview_painter.h"

#include <cmath>

namespace quentar::editor {

PreviewMap previewMap(EditOperation operation, const Point3 &base, const Point3 &second) {
    const double dx = second.x - base.x, dy = second.y - base.y;
    PreviewMap m;
    switch (operation) {
    case EditOperation::Copy:
    case EditOperation::Move:
        m.c = dx;
        m.f = dy;
        return m;
    case EditOperation::Rotate: {
        const double phi = std::atan2(dy, dx), c = std::cos(phi), s = std::sin(phi);
        m = {c, -s, 0, s, c, 0};
        break;
    }
    case EditOperation::Mirror: {
        const double phi = std::atan2(dy, dx), c = std::cos(2 * phi), s = std::sin(2 * phi);
        m = {c, s, 0, s, -c, 0};
        break;
    }
    case EditOperation::Scale: {
        const double f = std::hypot(dx, dy);
        m = {f, 0, 0, 0, f, 0};
        break;
    }
    case EditOperation::Array:
    case EditOperation::Delete:
        return m;
    }
    // About the base point.
    m.c = base.x - (m.a * base.x + m.b * base.y);
    m.f = base.y - (m.d * base.x + m.e * base.y);
    return m;
}

void drawOutlines(PreviewPainter &painter, const document::Drawing &d,
                  const std::vector<std::size_t> &entities, const PreviewMap &map) {
    std::vector<Point3> figure;
    for (std::size_t i : entities) {
        if (i >= d.polys.size()) continue;
        const document::tpoly &e = d.polys[i];
        if (!e.geom) continue;
        const auto n = std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzp, 0)),
                                             e.geom->ps().size());
        figure.clear();
        bool broken = false;
        for (std::size_t k = 0; k < n; ++k) {
            const document::Tmypoi &v = e.geom->ps()[k];
            // A hidden construction point starts a new figure, as the picking walks it.
            if (v.donotdraw && !figure.empty()) {
                painter.outline(figure, false);
                figure.clear();
                broken = true;
            }
            figure.push_back(map({v.x, v.y, 0}));
        }
        painter.outline(figure, e.isclosed && !broken);
    }
}

namespace {

ToolButton buttonOf(EditOperation op) {
    switch (op) {
    case EditOperation::Copy:
        return ToolButton::Copy;
    case EditOperation::Move:
        return ToolButton::Move;
    case EditOperation::Rotate:
        return ToolButton::Rotate;
    case EditOperation::Scale:
        return ToolButton::Scale;
    case EditOperation::Mirror:
        return ToolButton::Mirror;
    case EditOperation::Array:
        return ToolButton::Array;
    case EditOperation::Delete:
        return ToolButton::Delete;
    }
    return ToolButton::None;
}

Flag selectFlag(EditOperation op) {
    switch (op) {
    case EditOperation::Copy:
        return Flag::incopyselect;
    case EditOperation::Move:
        return Flag::inmoveselect;
    case EditOperation::Rotate:
        return Flag::inrotateselect;
    case EditOperation::Scale:
        return Flag::inscaleselect;
    case EditOperation::Mirror:
        return Flag::inmirrorselect;
    case EditOperation::Array:
        return Flag::inarrayselect;
    case EditOperation::Delete:
        break;
    }
    return Flag::indelselect;
}

Flag pointFlag(EditOperation op) {
    switch (op) {
    case EditOperation::Copy:
        return Flag::incopyline;
    case EditOperation::Move:
        return Flag::inmoveline;
    case EditOperation::Rotate:
        return Flag::inrotateline;
    case EditOperation::Scale:
        return Flag::inscaleline;
    default:
        return Flag::inmirrorline;
    }
}

class EditTool : public Tool {
public:
    EditTool(ToolContext &ctx, EditOperation op, bool waiting, const EditPlanner &planner)
        : Tool(ctx), op_(op), selecting_(waiting), planner_(planner) {}

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
            // The array takes its dialog's values, no points: it comes with the transformations.
            ctx_.endTool();
        }
    }

    void click(const ToolPoint &p) override {
        if (selecting_) return;
        if (!base_) {
            base_ = p.at();
            return;
        }
        const Point3 second = p.at();
        Creation planned;
        if (planner_)
            planned.steps = planner_(ctx_.drawing(), ctx_.editor().selectedOnTab(), op_, *base_,
                                     second);
        ctx_.commit(planned);
        ctx_.endTool();
    }

    void drawPreview(PreviewPainter &painter) const override {
        if (selecting_ || !base_ || !pointer_) return;
        const Point3 second = pointer_->at();
        painter.line(*base_, second);
        drawOutlines(painter, ctx_.drawing(), ctx_.editor().selectedOnTab(),
                     previewMap(op_, *base_, second));
    }

private:
    EditOperation op_;
    bool selecting_;
    const EditPlanner &planner_;
    std::optional<Point3> base_; // linesx, linesy once given (ellipsemode 1)
};

} // namespace

std::unique_ptr<Tool> makeEditTool(ToolContext &ctx, EditOperation operation,
                                   bool waitForSelection, const EditPlanner &planner) {
    return std::make_unique<EditTool>(ctx, operation, waitForSelection, planner);
}

} // namespace quentar::editor
