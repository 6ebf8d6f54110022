// The drawing surface's input while no drawing tool runs: clicks select, a click into empty space
// opens a box selection that the next click closes, the delete tool waits for a selection, and
// the view tools get the pointer while one of them is chosen.
#pragma once

#include "editor/drawing_editor.h"
#include "editor/pointer_handler.h"
#include "editor/view_tools.h"

#include <cstddef>

namespace quentar::editor {

class EditorInput : public PointerHandler {
public:
    EditorInput(DrawingEditor &editor, ViewTools &viewTools);
    EditorInput(const EditorInput &) = delete;
    EditorInput &operator=(const EditorInput &) = delete;

    void mouseDown(const PointerEvent &e) override;
    void mouseMove(const PointerEvent &e) override;
    void mouseUp(const PointerEvent &e) override;
    void wheel(const WheelEvent &e) override;
    bool keyDown(const KeyEvent &e) override;

    void chooseViewTool(ViewTool tool) override;
    ViewTool activeViewTool() const override { return viewTools_.activeViewTool(); }
    CursorShape cursor() const override;

    // DelBtnClick ("Löschen"): ends every tool and deletes the selection; with nothing selected
    // it waits for a selection, confirmed with the right button.
    void DelBtnClick();
    // SetAlltoFalse: ends every tool and drops what it had collected.
    void SetAlltoFalse();

    // The states a click without a tool leads to.
    bool inmassselect() const { return inmassselect_; }
    bool indelselect() const { return indelselect_; }
    bool inmove() const { return inmove_; }
    bool inmovepoint() const { return inmovepoint_; }
    std::size_t moveobjnr() const { return moveobjnr_; }
    int movepointnr() const { return movepointnr_; }

private:
    bool viewToolHasPointer() const {
        return viewTools_.activeViewTool() != ViewTool::None || viewTools_.dragging();
    }
    void drawOverlay(render::Canvas &canvas) const;

    DrawingEditor &editor_;
    ViewTools &viewTools_;
    bool inmassselect_ = false;           // a box selection has its first corner in linesx, linesy
    bool indelselect_ = false;            // the delete tool waits for a selection
    bool inmove_ = false;                 // the selection is being dragged
    bool inmovepoint_ = false;            // one grip is being dragged
    double linesx_ = 0, linesy_ = 0;      // first corner or drag start, drawing units
    int movestartx_ = 0, movestarty_ = 0; // pixel where a drag began
    std::size_t moveobjnr_ = 0;
    int movepointnr_ = 0;
    int lastmousex_ = 0, lastmousey_ = 0;
};

} // namespace quentar::editor
