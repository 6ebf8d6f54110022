// The material dialog window with its thickness and price-per-m² windows.
#include "costing/ui/material_dialog.h"

#include "costing/ui/field_binder.h"
#include "costing/ui/number_spin_box.h"
#include "costing/ui/report_list.h"
#include "costing/decimal_text.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quentar::costing::ui {

namespace {

// Rows of label and bound number editor.
QLineEdit *addRow(QGridLayout *grid, FieldBinder &binder, const QString &label, NumberField &field,
                  bool readOnly = false) {
    const int row = grid->rowCount();
    auto *edit = new QLineEdit;
    edit->setObjectName(qs(field.name()));
    edit->setReadOnly(readOnly);
    binder.bind(edit, field);
    auto *caption = new QLabel(label);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

// The dialogs without a cancel button: closing the window cancels.
QPushButton *addOkButton(QDialog &window, QVBoxLayout *column) {
    auto *ok = new QPushButton(QStringLiteral("OK"));
    QObject::connect(ok, &QPushButton::clicked, &window, &QDialog::accept);
    column->addWidget(ok, 0, Qt::AlignRight);
    return ok;
}

bool runThicknessDialog(ThicknessDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Materialstärke bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    auto *thickness = new NumberSpinBox(dialog.starked, 0.5);
    thickness->setObjectName(qs(dialog.starked.name()));
    binder.bind(thickness->editor(), dialog.starked);
    auto *caption = new QLabel(QStringLiteral("Materialstärke:"));
    caption->setBuddy(thickness);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(thickness, 0, 1);
    addRow(grid, binder, QStringLiteral("Vorschub in m/min:"), dialog.VorschubEd);
    addRow(grid, binder, QStringLiteral("Vorschub in m/sec:"), dialog.RxSpinEdit1);
    column->addLayout(grid);
    QPushButton *ok = addOkButton(window, column);
    ok->setDefault(true);
    binder.enableWhileTaken(ok, {&dialog.starked, &dialog.VorschubEd, &dialog.RxSpinEdit1});
    return window.exec() == QDialog::Accepted;
}

bool runPriceDialog(SquareMetrePriceDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Preis pro m² berechnen"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    addRow(grid, binder, QStringLiteral("Menge bestellter Platten:"), dialog.MengeEd);
    addRow(grid, binder, QStringLiteral("Breite der Platten in cm:"), dialog.BreiteEd);
    addRow(grid, binder, QStringLiteral("Länge der Platten in cm:"), dialog.LangEd);
    addRow(grid, binder, QStringLiteral("Preis pro m² ohne Zuschläge:"), dialog.PreisEd2);
    addRow(grid, binder, QStringLiteral("Transportkosten Material:"), dialog.transportEd);
    addRow(grid, binder, QStringLiteral("Zuschlag Mindermenge:"), dialog.ZuschlagEd);
    addRow(grid, binder, QStringLiteral("Fläche in m²:"), dialog.FlaecheEd, true);
    addRow(grid, binder, QStringLiteral("Preis pro m²:"), dialog.PreisEd, true);
    column->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    auto *take = new QPushButton(QStringLiteral("Preis übernehmen"));
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"));
    take->setDefault(true);
    QObject::connect(take, &QPushButton::clicked, &window, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &window, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(take);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    dialog.recalculate();
    // Without an area there is no price to take over. The area's field is written after the area
    // is known, so its listener sees the new one.
    binder.enableWhileTaken(take,
                            {&dialog.MengeEd, &dialog.BreiteEd, &dialog.LangEd, &dialog.PreisEd2,
                             &dialog.transportEd, &dialog.ZuschlagEd, &dialog.FlaecheEd},
                            [&dialog] { return dialog.hasPrice(); });
    return window.exec() == QDialog::Accepted;
}

bool runSheetFormatDialog(SheetFormatDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Tafelformat bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    addRow(grid, binder, QStringLiteral("Breite in mm:"), dialog.BreiteEd);
    addRow(grid, binder, QStringLiteral("Länge in mm:"), dialog.LaengeEd);
    addRow(grid, binder, QStringLiteral("Randabstand in mm:"), dialog.RandEd);
    addRow(grid, binder, QStringLiteral("Teileabstand in mm:"), dialog.AbstandEd);
    column->addLayout(grid);
    auto *perSheet = new QCheckBox(QStringLiteral("Eigener Preis je Tafel (sonst aus dem "
                                                  "Materialpreis und der Stärke)"));
    perSheet->setObjectName(QStringLiteral("TafelPreisCheck"));
    perSheet->setChecked(dialog.pricePerSheet);
    auto *priceGrid = new QGridLayout;
    QLineEdit *price = addRow(priceGrid, binder, QStringLiteral("Preis je Tafel:"), dialog.PreisEd);
    price->setEnabled(dialog.pricePerSheet);
    QObject::connect(perSheet, &QCheckBox::toggled, [&dialog, price](bool on) {
        dialog.pricePerSheet = on;
        price->setEnabled(on);
    });
    column->addWidget(perSheet);
    column->addLayout(priceGrid);
    QPushButton *ok = addOkButton(window, column);
    ok->setDefault(true);
    binder.enableWhileTaken(ok, {&dialog.BreiteEd, &dialog.LaengeEd, &dialog.RandEd,
                                 &dialog.AbstandEd, &dialog.PreisEd});
    return window.exec() == QDialog::Accepted;
}

QString sheetMm(double v) { return qs(formatGeneral(v)).replace('.', ','); }

} // namespace

bool runMaterialDialog(MaterialDialog &dialog, QWidget *parent) {
    // Enter adds a thickness (the default button); Escape closes the window like its close
    // button and so cancels: a key that closes dialogs everywhere else must not delete here.
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Material bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    auto *name = new QLineEdit(QString::fromStdString(dialog.name));
    name->setObjectName(QStringLiteral("Edit1"));
    QObject::connect(name, &QLineEdit::textEdited,
                     [&dialog](const QString &t) { dialog.name = t.toStdString(); });
    auto *nameCaption = new QLabel(QStringLiteral("Name:"));
    nameCaption->setBuddy(name);
    grid->addWidget(nameCaption, 0, 0);
    grid->addWidget(name, 0, 1);
    addRow(grid, binder, QStringLiteral("Preis pro Kg:"), dialog.preised);
    addRow(grid, binder, QStringLiteral("Spez. Gewicht (kg/dm³):"), dialog.SpezGewEd);
    column->addLayout(grid);
    auto *perM2 = new QCheckBox(QStringLiteral("Peis pro Quadratmeter (z.B. für Holz)"));
    perM2->setObjectName(QStringLiteral("preisqmCheck"));
    perM2->setChecked(dialog.preisqmCheck);
    QObject::connect(perM2, &QCheckBox::clicked, [&dialog](bool on) { dialog.preisqmCheck = on; });
    column->addWidget(perM2);
    auto *priceBtn = new QPushButton(QStringLiteral("Preis pro m² berechnen..."));
    QObject::connect(priceBtn, &QPushButton::clicked, [&dialog, &window] {
        dialog.calculatePrice(
            [&window](SquareMetrePriceDialog &d) { return runPriceDialog(d, &window); });
    });
    column->addWidget(priceBtn, 0, Qt::AlignLeft);

    auto *listButtons = new QHBoxLayout;
    auto *newBtn = new QPushButton(QStringLiteral("Neue Stärke..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    listButtons->addWidget(newBtn);
    listButtons->addWidget(editBtn);
    listButtons->addWidget(delBtn);
    listButtons->addStretch();
    column->addLayout(listButtons);
    auto *list =
        newReportList({{QStringLiteral("Stärke"), 100},
                       {QStringLiteral("Vorschub"), 100, Qt::AlignRight | Qt::AlignVCenter}});
    list->setObjectName(QStringLiteral("ListView1"));
    column->addWidget(list, 1);
    auto refreshList = [&dialog, list](int select) {
        std::vector<QStringList> rows;
        for (const ThicknessRow &t : dialog.thicknesses)
            rows.push_back({qs(t.thickness), qs(t.feed)});
        fillReportList(list, rows, select);
    };
    refreshList(-1);

    const auto show = [&window](ThicknessDialog &d) { return runThicknessDialog(d, &window); };
    QObject::connect(newBtn, &QPushButton::clicked, [&dialog, show, refreshList, list] {
        const int chosen = selectedRow(list);
        dialog.newThickness(show);
        refreshList(chosen);
    });
    const auto edit = [&dialog, show, refreshList, list] {
        const int chosen = selectedRow(list);
        dialog.editThickness(chosen, show);
        refreshList(chosen);
    };
    QObject::connect(editBtn, &QPushButton::clicked, edit);
    // Like the calculator's own lists: a double click edits the row.
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, edit);
    QObject::connect(delBtn, &QPushButton::clicked, [&dialog, refreshList, list] {
        dialog.deleteThickness(selectedRow(list));
        refreshList(-1);
    });

    // The material's stock sheets, edited like its thicknesses.
    auto *sheetButtons = new QHBoxLayout;
    auto *newSheetBtn = new QPushButton(QStringLiteral("Neues Tafelformat..."));
    auto *editSheetBtn = new QPushButton(QStringLiteral("Format bearbeiten..."));
    auto *delSheetBtn = new QPushButton(QStringLiteral("Format löschen"));
    newSheetBtn->setObjectName(QStringLiteral("newSheetBtn"));
    editSheetBtn->setObjectName(QStringLiteral("editSheetBtn"));
    delSheetBtn->setObjectName(QStringLiteral("delSheetBtn"));
    sheetButtons->addWidget(newSheetBtn);
    sheetButtons->addWidget(editSheetBtn);
    sheetButtons->addWidget(delSheetBtn);
    sheetButtons->addStretch();
    column->addLayout(sheetButtons);
    auto *sheetList = newReportList(
        {{QStringLiteral("Breite"), 70, Qt::AlignRight | Qt::AlignVCenter},
         {QStringLiteral("Länge"), 70, Qt::AlignRight | Qt::AlignVCenter},
         {QStringLiteral("Rand"), 50, Qt::AlignRight | Qt::AlignVCenter},
         {QStringLiteral("Abstand"), 60, Qt::AlignRight | Qt::AlignVCenter},
         {QStringLiteral("Preis je Tafel"), 110, Qt::AlignRight | Qt::AlignVCenter}});
    sheetList->setObjectName(QStringLiteral("SheetList"));
    column->addWidget(sheetList, 1);
    auto refreshSheets = [&dialog, sheetList](int select) {
        std::vector<QStringList> rows;
        for (const SheetFormatRow &f : dialog.sheetFormats)
            rows.push_back({sheetMm(f.width), sheetMm(f.length), sheetMm(f.trim), sheetMm(f.gap),
                            f.price ? qs(formatTwoDecimals(*f.price)).replace('.', ',')
                                    : QStringLiteral("aus Material")});
        fillReportList(sheetList, rows, select);
    };
    refreshSheets(-1);
    const auto showSheet = [&window](SheetFormatDialog &d) {
        return runSheetFormatDialog(d, &window);
    };
    QObject::connect(newSheetBtn, &QPushButton::clicked, [&dialog, showSheet, refreshSheets] {
        dialog.newSheetFormat(showSheet);
        refreshSheets(static_cast<int>(dialog.sheetFormats.size()) - 1);
    });
    const auto editSheet = [&dialog, showSheet, refreshSheets, sheetList] {
        const int chosen = selectedRow(sheetList);
        dialog.editSheetFormat(chosen, showSheet);
        refreshSheets(chosen);
    };
    QObject::connect(editSheetBtn, &QPushButton::clicked, editSheet);
    QObject::connect(sheetList, &QTreeWidget::itemDoubleClicked, editSheet);
    QObject::connect(delSheetBtn, &QPushButton::clicked, [&dialog, refreshSheets, sheetList] {
        dialog.deleteSheetFormat(selectedRow(sheetList));
        refreshSheets(-1);
    });

    newBtn->setDefault(true);
    binder.enableWhileTaken(addOkButton(window, column), {&dialog.preised, &dialog.SpezGewEd});
    name->setFocus();
    return window.exec() == QDialog::Accepted;
}

} // namespace quentar::costing::ui
