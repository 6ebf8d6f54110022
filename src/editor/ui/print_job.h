// Printing the selected tab on a QPrinter, and the printer's page as the view needs it.
#pragma once

#include "editor/drawing_viewer.h"

#include <QPrinter>
#include <QString>

namespace quentar::editor::ui {

// The printable area of the printer's page in device pixels, and its resolution.
render::PrinterPage printerPageOf(const QPrinter &printer);

// One page: the selected tab to scale within the margin. The job is named `title` ("DXF Datei").
// False when the printer could not be started; a page whose drawing is suppressed stays empty.
bool printSelectedTab(QPrinter &printer, DrawingViewer &viewer, const QString &title);

} // namespace quentar::editor::ui
