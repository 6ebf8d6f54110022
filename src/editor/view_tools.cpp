// Zoom and pan drags, the wheel, and leaving a view tool.
#include "editor/view_tools.h"

namespace quentar::editor {

void ViewTools::chooseViewTool(ViewTool tool) {
    tool_ = tool;
    inzoomit_ = inpan_ = false;
}

void ViewTools::mouseDown(const PointerEvent &e) {
    if (tool_ == ViewTool::None) return;
    if (e.button == MouseButton::Right) {
        chooseViewTool(ViewTool::None);
        return;
    }
    if (tool_ == ViewTool::Zoom) {
        inzoomit_ = true;
        zoomDrag_ = render::startZoomDrag(viewer_.view(), e.y);
    } else {
        inpan_ = true;
        panDrag_ = render::startPanDrag(viewer_.view(), e.x, e.y);
    }
}

void ViewTools::mouseMove(const PointerEvent &e) {
    if (inzoomit_) {
        render::ViewState v = viewer_.view();
        render::moveZoomDrag(v, zoomDrag_, viewer_.paintBoxHeight(), e.x, e.y);
        viewer_.setView(v);
    } else if (inpan_) {
        render::ViewState v = viewer_.view();
        render::movePanDrag(v, panDrag_, e.x, e.y);
        viewer_.setView(v);
    }
}

void ViewTools::mouseUp(const PointerEvent &) { inzoomit_ = inpan_ = false; }

void ViewTools::wheel(const WheelEvent &e) {
    viewer_.wheelStep(e.x, e.y, e.up, e.mods.shift, e.mods.ctrl);
}

bool ViewTools::keyDown(const KeyEvent &e) {
    if (e.key != Key::Escape || tool_ == ViewTool::None) return false;
    chooseViewTool(ViewTool::None);
    return true;
}

CursorShape ViewTools::cursor() const {
    switch (tool_) {
    case ViewTool::Zoom:
        return CursorShape::Magnifier;
    case ViewTool::Hand:
        return CursorShape::Hand;
    case ViewTool::None:
        break;
    }
    return CursorShape::Cross;
}

} // namespace quentar::editor
