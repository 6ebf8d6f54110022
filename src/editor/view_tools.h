// The view tools (zoom and hand) and the mouse wheel: the editor's input hands them the pointer.
#pragma once

#include "editor/drawing_viewer.h"
#include "editor/pointer_handler.h"
#include "render/view_ops.h"

namespace quentar::editor {

// The right button leaves a view tool; any other button drags: up and down zooms about the
// pointer (zoom tool), or the drawing follows the pointer (hand tool). Escape leaves the tool.
class ViewTools : public PointerHandler {
public:
    explicit ViewTools(DrawingViewer &viewer) : viewer_(viewer) {}

    void mouseDown(const PointerEvent &e) override;
    void mouseMove(const PointerEvent &e) override;
    void mouseUp(const PointerEvent &e) override;
    void wheel(const WheelEvent &e) override;
    bool keyDown(const KeyEvent &e) override;

    void chooseViewTool(ViewTool tool) override;
    ViewTool activeViewTool() const override { return tool_; }
    CursorShape cursor() const override;

    // A drag is under way (the editor's handler leaves the pointer to the view tools then).
    bool dragging() const { return inzoomit_ || inpan_; }
    bool inzoomit() const { return inzoomit_; }
    bool inpan() const { return inpan_; }

private:
    DrawingViewer &viewer_;
    ViewTool tool_ = ViewTool::None; // inzoom / inhand
    bool inzoomit_ = false, inpan_ = false;
    render::ZoomDrag zoomDrag_;
    render::PanDrag panDrag_;
};

} // namespace quentar::editor
