// The drawing window's tool bar icons and cursors, drawn at run time (no image files to ship).
#pragma once

#include "editor/ui/pointer_handler.h"

#include <QCursor>
#include <QIcon>

namespace quentar::editor::ui {

enum class Artwork {
    NewDrawing,
    NewDrawingR12,
    Open,
    Save,
    SaveAs,
    Print,
    PrintPreview,
    ShowAll,
    ZoomIn,
    ZoomOut,
    ZoomTool,
    Hand,
    LineWeights,
    Confirm,
    Application,
};

QIcon iconFor(Artwork which);
QCursor cursorFor(CursorShape shape);

} // namespace quentar::editor::ui
