// The quotation on a printer: the same page layout as the PDF file, drawn with QPainter.
#pragma once

#include "costing/report.h"

#include <QImage>
#include <QString>

#include <vector>

class QPrinter;

namespace quentar::costing::ui {

// PrintRichedit: one print job named `title`. The picture stands 50 mm wide at the top right of
// the first page; the lines fill the pages inside margins of 7/10 inch. False when the job
// cannot be started (a PDF file that cannot be created, a printer that refuses).
bool printReportLines(QPrinter &printer, const std::vector<ReportLine> &lines,
                      const QImage &picture, const QString &title);

} // namespace quentar::costing::ui
