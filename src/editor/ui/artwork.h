// The drawing window's tool bar icons and cursors, drawn at run time (no image files to ship).
#pragma once

#include "editor/pointer_handler.h"

#include <QCursor>
#include <QIcon>

class QPainter;

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
    // The editing tools.
    Undo,
    Redo,
    Delete,
    Copy,
    Move,
    Rotate,
    Scale,
    Mirror,
    Array,
    TypedClick,
    Line,
    Polyline,
    Freehand,
    Spline,
    Rectangle,
    Polygon,
    Circle,
    Arc,
    Ellipse,
    Text,
    Dimension,
    Point,
    Solid,
    Arrow,
};

QIcon iconFor(Artwork which);

// Paints the icon of an editing tool on the 24-unit grid; false for any other artwork.
bool paintToolArtwork(QPainter &p, Artwork which);
QCursor cursorFor(CursorShape shape);

} // namespace quentar::editor::ui
