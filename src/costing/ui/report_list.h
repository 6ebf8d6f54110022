// The lists of the "Materialien" and "Staffelpreise" pages and of the material dialog: columns
// with headers, one row per item, chosen as whole rows, never edited in place.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QTreeWidget;

namespace quentar::costing::ui {

struct ReportColumn {
    QString title;
    int width; // pixels
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

QTreeWidget *newReportList(const std::vector<ReportColumn> &columns);
// Replaces the rows (one text per column) and selects row `select`; -1 or a row that no longer
// exists: none.
void fillReportList(QTreeWidget *list, const std::vector<QStringList> &rows, int select);
// The chosen row, -1 when none is chosen.
int selectedRow(const QTreeWidget *list);

} // namespace quentar::costing::ui
