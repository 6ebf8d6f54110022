// Printing the quotation through QPainter.
#include "costing/ui/report_printer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace quentar::costing::ui {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Measures and draws in printer dots; the painter's font metrics are those of the printer, not
// of the screen, so wrapping matches what comes out on paper.
class PainterCanvas : public ReportCanvas {
public:
    PainterCanvas(QPainter &painter, QPrinter &printer) : painter_(painter), printer_(printer) {}

    int textWidth(std::string_view t) override {
        return painter_.fontMetrics().horizontalAdvance(fromUtf8(t));
    }
    int textHeight(std::string_view) override { return painter_.fontMetrics().height(); }
    void textOut(int x, int y, std::string_view t) override {
        // (x, y) is the top of the text's cell, as on the PDF canvas.
        painter_.drawText(x, y + painter_.fontMetrics().ascent(), fromUtf8(t));
    }
    void setLineFont(int pointSize, bool bold) override {
        QFont font(QString::fromLatin1(kReportFont));
        font.setPointSize(pointSize);
        font.setBold(bold);
        painter_.setFont(font);
    }
    void newPage() override { printer_.newPage(); }

private:
    QPainter &painter_;
    QPrinter &printer_;
};

} // namespace

bool printReportLines(QPrinter &printer, const std::vector<ReportLine> &lines,
                      const QImage &picture, const QString &title) {
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setPen(Qt::black);
    const int dpiX = printer.logicalDpiX(), dpiY = printer.logicalDpiY();
    const PageArea area{dpiX * 7 / 10, dpiY * 7 / 10, printer.width() - dpiX * 7 / 10,
                        printer.height() - dpiY * 7 / 10};
    if (!picture.isNull() && picture.width() > 0) {
        const int b = static_cast<int>(dpiX * 50 / 25.39995); // 50 mm
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(
            QRect(area.right - b, area.top, b, b * picture.height() / picture.width()), picture);
    }
    PainterCanvas canvas(painter, printer);
    layoutReport(canvas, lines, area);
    return painter.end();
}

} // namespace quentar::costing::ui
