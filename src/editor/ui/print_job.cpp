// One print job of the drawing window.
#include "editor/ui/print_job.h"

#include "render/qt/qpainter_canvas.h"

#include <QPainter>

namespace quentar::editor::ui {

render::PrinterPage printerPageOf(const QPrinter &printer) {
    const int dpi = printer.resolution();
    const QRect area = printer.pageLayout().paintRectPixels(dpi);
    render::PrinterPage page;
    if (dpi > 0 && area.width() > 0 && area.height() > 0) {
        page.widthPx = area.width();
        page.heightPx = area.height();
        page.ppi = dpi;
    }
    return page;
}

bool printSelectedTab(QPrinter &printer, DrawingViewer &viewer, const QString &title) {
    printer.setDocName(title);
    viewer.setPrinterPage(printerPageOf(printer));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    {
        render::QPainterCanvas canvas(painter);
        viewer.printSelectedTab(canvas);
    }
    painter.end();
    return true;
}

} // namespace quentar::editor::ui
