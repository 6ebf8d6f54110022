// Report-style lists over QTreeWidget.
#include "costing/ui/report_list.h"

#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>

namespace quentar::costing::ui {

QTreeWidget *newReportList(const std::vector<ReportColumn> &columns) {
    auto *list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setColumnCount(static_cast<int>(columns.size()));
    auto *header = new QTreeWidgetItem;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        header->setText(i, columns[i].title);
        header->setTextAlignment(i, columns[i].alignment);
    }
    list->setHeaderItem(header);
    // The widths are the list's own; the last column must not swallow the rest of the list.
    list->header()->setStretchLastSection(false);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        list->setColumnWidth(i, columns[i].width);
    // The buttons beside the list act on the chosen row, so it must stay visible while the user
    // moves to them.
    QPalette palette = list->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list->setPalette(palette);
    return list;
}

void fillReportList(QTreeWidget *list, const std::vector<QStringList> &rows, int select) {
    list->clear();
    const QTreeWidgetItem *header = list->headerItem();
    for (const QStringList &texts : rows) {
        auto *item = new QTreeWidgetItem(list, texts);
        for (int i = 0; i < list->columnCount(); ++i)
            item->setTextAlignment(i, Qt::Alignment(header->textAlignment(i)));
    }
    if (select >= 0 && select < list->topLevelItemCount()) {
        QTreeWidgetItem *item = list->topLevelItem(select);
        list->setCurrentItem(item);
        item->setSelected(true);
    } else {
        list->clearSelection();
    }
}

int selectedRow(const QTreeWidget *list) {
    const QList<QTreeWidgetItem *> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->indexOfTopLevelItem(chosen.first());
}

} // namespace quentar::costing::ui
