// Selecting clicks, the box selection and its rubber band, the delete tool's selection phase.
#include "editor/editor_input.h"

namespace quentar::editor {

EditorInput::EditorInput(DrawingEditor &editor, ViewTools &viewTools)
    : editor_(editor), viewTools_(viewTools) {
    editor_.viewer().setOverlay([this](render::Canvas &c) { drawOverlay(c); });
}

void EditorInput::SetAlltoFalse() {
    const bool rubberBand = inmassselect_;
    viewTools_.chooseViewTool(ViewTool::None);
    inmassselect_ = indelselect_ = inmove_ = inmovepoint_ = false;
    if (rubberBand) editor_.viewer().repaintOverlay();
}

void EditorInput::chooseViewTool(ViewTool tool) {
    SetAlltoFalse();
    viewTools_.chooseViewTool(tool);
}

void EditorInput::DelBtnClick() {
    SetAlltoFalse();
    if (!editor_.Loeschen()) indelselect_ = true;
}

void EditorInput::mouseDown(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseDown(e);
        return;
    }
    lastmousex_ = e.x;
    lastmousey_ = e.y;
    if (indelselect_ && e.button == MouseButton::Right) {
        // The selection is confirmed: delete it.
        indelselect_ = false;
        if (inmassselect_) {
            inmassselect_ = false;
            editor_.viewer().repaintOverlay();
        }
        editor_.Loeschen();
        return;
    }
    if (inmassselect_) {
        // The second corner, with any button.
        inmassselect_ = false;
        const render::Pixel first = editor_.viewer().transform().pixel(linesx_, linesy_);
        editor_.viewer().repaintOverlay();
        editor_.MassSelect(first.x, first.y, e.x, e.y, e.mods.shift);
        return;
    }
    if (e.button != MouseButton::Left) return;
    const PickResult r = editor_.pick(e.x, e.y, e.mods.shift);
    switch (r.outcome) {
    case PickOutcome::GripDrag:
        inmovepoint_ = true;
        moveobjnr_ = r.moveobjnr;
        movepointnr_ = r.movepointnr;
        linesx_ = r.linesx;
        linesy_ = r.linesy;
        movestartx_ = e.x;
        movestarty_ = e.y;
        break;
    case PickOutcome::SelectionDrag:
        inmove_ = true;
        movestartx_ = e.x;
        movestarty_ = e.y;
        editor_.viewer().transform().world(e.x, e.y, linesx_, linesy_);
        break;
    case PickOutcome::Hit:
        break;
    case PickOutcome::Nothing:
        inmassselect_ = true;
        editor_.viewer().transform().world(e.x, e.y, linesx_, linesy_);
        editor_.viewer().repaintOverlay();
        break;
    }
}

void EditorInput::mouseMove(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseMove(e);
        return;
    }
    lastmousex_ = e.x;
    lastmousey_ = e.y;
    if (inmassselect_) editor_.viewer().repaintOverlay();
}

void EditorInput::mouseUp(const PointerEvent &e) {
    if (viewToolHasPointer()) {
        viewTools_.mouseUp(e);
        return;
    }
    // Dragging grips and the selection moves them once the transformations are there; until
    // then a drag ends where it began.
    inmove_ = inmovepoint_ = false;
}

void EditorInput::wheel(const WheelEvent &e) {
    viewTools_.wheel(e);
    // The rubber band's first corner is a drawing point: it follows the view.
    if (inmassselect_) editor_.viewer().repaintOverlay();
}

bool EditorInput::keyDown(const KeyEvent &e) {
    if (e.key == Key::Delete) {
        editor_.Lschen1Click();
        return true;
    }
    if (e.key != Key::Escape) return false;
    if (viewTools_.keyDown(e)) return true;
    if (inmassselect_ || indelselect_ || inmove_ || inmovepoint_) {
        SetAlltoFalse();
    } else {
        editor_.Nichtsauswhlen1Click();
    }
    return true;
}

CursorShape EditorInput::cursor() const {
    if (viewTools_.activeViewTool() != ViewTool::None) return viewTools_.cursor();
    return indelselect_ ? CursorShape::Arrow : CursorShape::Cross;
}

void EditorInput::drawOverlay(render::Canvas &canvas) const {
    if (!inmassselect_) return;
    const render::Pixel first = editor_.viewer().transform().pixel(linesx_, linesy_);
    render::Path box;
    box.moveTo(first.x, first.y);
    box.lineTo(lastmousex_, first.y);
    box.lineTo(lastmousex_, lastmousey_);
    box.lineTo(first.x, lastmousey_);
    box.closeFigure();
    // White under black dashes: seen on the white model, the grey sheet and the black paper.
    canvas.strokePath(box, {render::kWhite, 1, {}, 0});
    canvas.strokePath(box, {render::kBlack, 1, {3, 3}, 0});
}

} // namespace quentar::editor
