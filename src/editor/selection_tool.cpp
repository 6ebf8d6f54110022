// Picking, the box selection and the drags of the selection and of a grip.
#include "editor/selection_tool.h"

#include "editor/drawing_editor.h"
#include "editor/preview_painter.h"

namespace quentar::editor {

SelectionTool::SelectionTool(ToolContext &ctx, const EditPlanner &moves, const GripPlanner &grips)
    : Tool(ctx), moves_(moves), grips_(grips) {}

bool SelectionTool::holds(Flag f) const {
    switch (f) {
    case Flag::inmassselect: return box_;
    case Flag::inmove: return drag_ == Drag::Selection;
    case Flag::inmovepoint: return drag_ == Drag::Grip;
    default: return false;
    }
}

std::optional<Point3> SelectionTool::reference() const {
    // A drag snaps the pointer as it is: no alignment with where it began.
    return std::nullopt;
}

void SelectionTool::cancel() {
    box_ = false;
    drag_ = Drag::None;
    dragged_.clear();
    pointer_.reset();
}

void SelectionTool::click(const ToolPoint &p) {
    DrawingEditor &ed = ctx_.editor();
    const PickResult r = ed.pick(p.px, p.py, p.mods.shift);
    switch (r.outcome) {
    case PickOutcome::GripDrag:
        drag_ = Drag::Grip;
        moveobjnr_ = r.moveobjnr;
        movepointnr_ = r.movepointnr;
        linesx_ = r.linesx;
        linesy_ = r.linesy;
        dragged_ = {r.moveobjnr};
        break;
    case PickOutcome::SelectionDrag: {
        drag_ = Drag::Selection;
        // The point the selection is taken by: snapped, so that a vertex dragged onto another
        // lands on it exactly.
        const SnapResult s = ed.SnapPoints(p.px, p.py, p.px, p.py, p.mods.ctrl);
        if (s.setted) {
            linesx_ = s.ex;
            linesy_ = s.ey;
        } else {
            linesx_ = p.x;
            linesy_ = p.y;
        }
        dragged_ = ed.selectedOnTab();
        break;
    }
    case PickOutcome::Hit: return;
    case PickOutcome::Nothing:
        box_ = true;
        linesx_ = p.x;
        linesy_ = p.y;
        pointer_ = p;
        return;
    }
    movestartx_ = p.px;
    movestarty_ = p.py;
    pointer_.reset();
}

void SelectionTool::closeBox(const ToolPoint &p) {
    if (!box_) return;
    box_ = false;
    const render::Pixel first = ctx_.view().pixel(linesx_, linesy_);
    ctx_.editor().MassSelect(first.x, first.y, p.px, p.py, p.mods.shift);
    pointer_.reset();
}

void SelectionTool::release(const ToolPoint &p) {
    if (drag_ == Drag::None) return;
    const Drag drag = drag_;
    const std::vector<std::size_t> entities = std::move(dragged_);
    drag_ = Drag::None;
    dragged_.clear();
    pointer_.reset();
    // A release where the drag began moves nothing (the grip of a viewport's configuration
    // aside, which a click alone opens).
    const document::Drawing &d = ctx_.drawing();
    const bool dialog = drag == Drag::Grip && opensViewportDialog(d, moveobjnr_, movepointnr_);
    if (p.px == movestartx_ && p.py == movestarty_ && !dialog) return;
    // Where it was released, snapped as a click there would be.
    Point3 to = p.at();
    const SnapResult s = ctx_.editor().SnapPoints(p.px, p.py, p.px, p.py, p.mods.ctrl);
    if (s.setted)
        to = {s.ex, s.ey, 0};
    else
        ctx_.view().world(s.x, s.y, to.x, to.y);
    const Point3 from{linesx_, linesy_, 0};
    if (to.x == from.x && to.y == from.y && !dialog) return;
    if (drag == Drag::Selection) {
        if (moves_) ctx_.commit(moves_(d, entities, EditOperation::Move, from, to));
    } else if (grips_) {
        ctx_.commit(grips_(d, moveobjnr_, movepointnr_, from, to));
    }
}

void SelectionTool::drawPreview(PreviewPainter &painter) const {
    if (!pointer_) return;
    if (box_) {
        const render::Pixel first = painter.view().pixel(linesx_, linesy_);
        painter.selectionBox(first.x, first.y, pointer_->px, pointer_->py);
        return;
    }
    if (drag_ == Drag::None) return;
    const Point3 from{linesx_, linesy_, 0}, to = pointer_->at();
    painter.line(from, to);
    const document::Drawing &d = ctx_.drawing();
    if (drag_ == Drag::Selection) {
        DrawingViewer &viewer = ctx_.editor().viewer();
        picture_.draw(painter, d, viewer.readCount(), viewer.tab(), dragged_,
                      previewMap(EditOperation::Move, from, to));
        return;
    }
    // A grip: the entity's outline with the dragged vertex where the pointer is (a hidden
    // construction point, such as a centre, shows by the line to the pointer alone).
    if (moveobjnr_ >= d.polys.size()) return;
    const document::tpoly &e = d.polys[moveobjnr_];
    if (!e.geom || movepointnr_ < 0 || movepointnr_ >= e.anzp) return;
    std::vector<Point3> figure;
    const int n = std::min<int>(e.anzp, static_cast<int>(e.geom->ps().size()));
    for (int k = 0; k < n; ++k) {
        const document::Tmypoi &v = e.p(k);
        if (v.donotdraw || v.moveonly) {
            if (figure.size() > 1) painter.outline(figure, false);
            figure.clear();
            if (v.donotdraw) continue;
        }
        figure.push_back(k == movepointnr_ ? to : Point3{v.x, v.y, 0});
    }
    painter.outline(figure, e.isclosed);
}

} // namespace quentar::editor
