// The material dialog window with its thickness and price-per-m² windows.
#include "costing/ui/material_dialog.h"

#include "costing/ui/field_binder.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quentar::costing::ui {

namespace {

QDialogButtonBox *okCancel(QDialog &window, const QString &okText = QStringLiteral("OK")) {
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(okText);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    return buttons;
}

// Rows of label and bound number editor.
void addRow(QGridLayout *grid, FieldBinder &binder, const QString &label, NumberField &field,
            bool readOnly = false) {
    const int row = grid->rowCount();
    auto *edit = new QLineEdit;
    edit->setReadOnly(readOnly);
    binder.bind(edit, field);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
}

bool runThicknessDialog(ThicknessDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Materialstärke bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    addRow(grid, binder, QStringLiteral("Materialstärke in mm:"), dialog.starked);
    addRow(grid, binder, QStringLiteral("Vorschub in m/min:"), dialog.VorschubEd);
    addRow(grid, binder, QStringLiteral("Vorschub in m/s:"), dialog.RxSpinEdit1);
    column->addLayout(grid);
    column->addWidget(okCancel(window));
    return window.exec() == QDialog::Accepted;
}

bool runPriceDialog(SquareMetrePriceDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Preis pro m² berechnen"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    addRow(grid, binder, QStringLiteral("Menge:"), dialog.MengeEd);
    addRow(grid, binder, QStringLiteral("Breite in cm:"), dialog.BreiteEd);
    addRow(grid, binder, QStringLiteral("Länge in cm:"), dialog.LangEd);
    addRow(grid, binder, QStringLiteral("Preis pro m²:"), dialog.PreisEd2);
    addRow(grid, binder, QStringLiteral("Transport:"), dialog.transportEd);
    addRow(grid, binder, QStringLiteral("Zuschlag:"), dialog.ZuschlagEd);
    addRow(grid, binder, QStringLiteral("Fläche in m²:"), dialog.FlaecheEd, true);
    addRow(grid, binder, QStringLiteral("Preis pro m² gesamt:"), dialog.PreisEd, true);
    column->addLayout(grid);
    auto *buttons = okCancel(window, QStringLiteral("Preis übernehmen"));
    column->addWidget(buttons);
    dialog.recalculate();
    // Without an area there is no price to take over.
    QPushButton *take = buttons->button(QDialogButtonBox::Ok);
    auto refresh = [&dialog, take] { take->setEnabled(dialog.hasPrice()); };
    refresh();
    for (auto *edit : window.findChildren<QLineEdit *>())
        QObject::connect(edit, &QLineEdit::textEdited, &window, refresh);
    return window.exec() == QDialog::Accepted;
}

} // namespace

bool runMaterialDialog(MaterialDialog &dialog, QWidget *parent) {
    QDialog window(parent);
    window.setWindowTitle(QStringLiteral("Material bearbeiten"));
    auto *column = new QVBoxLayout(&window);
    auto *grid = new QGridLayout;
    FieldBinder binder;
    auto *name = new QLineEdit(QString::fromStdString(dialog.name));
    QObject::connect(name, &QLineEdit::textEdited,
                     [&dialog](const QString &t) { dialog.name = t.toStdString(); });
    grid->addWidget(new QLabel(QStringLiteral("Name:")), 0, 0);
    grid->addWidget(name, 0, 1);
    addRow(grid, binder, QStringLiteral("Preis:"), dialog.preised);
    addRow(grid, binder, QStringLiteral("Spez. Gewicht (kg/dm³):"), dialog.SpezGewEd);
    column->addLayout(grid);
    auto *perM2 = new QCheckBox(QStringLiteral("Preis pro m²"));
    perM2->setChecked(dialog.preisqmCheck);
    QObject::connect(perM2, &QCheckBox::clicked, [&dialog](bool on) { dialog.preisqmCheck = on; });
    column->addWidget(perM2);
    auto *priceBtn = new QPushButton(QStringLiteral("Preis pro m² berechnen..."));
    QObject::connect(priceBtn, &QPushButton::clicked, [&dialog, &window] {
        dialog.calculatePrice([&window](SquareMetrePriceDialog &d) {
            return runPriceDialog(d, &window);
        });
    });
    column->addWidget(priceBtn, 0, Qt::AlignLeft);

    auto *row = new QHBoxLayout;
    auto *list = new QListWidget;
    auto refreshList = [&dialog, list] {
        list->clear();
        for (const ThicknessRow &t : dialog.thicknesses)
            list->addItem(QString::fromStdString(t.thickness) + QStringLiteral(" mm: ") +
                          QString::fromStdString(t.feed) + QStringLiteral(" m/min"));
    };
    refreshList();
    row->addWidget(list, 1);
    auto *buttons = new QVBoxLayout;
    const auto show = [&window](ThicknessDialog &d) { return runThicknessDialog(d, &window); };
    auto *newBtn = new QPushButton(QStringLiteral("Neue Stärke..."));
    auto *editBtn = new QPushButton(QStringLiteral("Bearbeiten..."));
    auto *delBtn = new QPushButton(QStringLiteral("Löschen"));
    QObject::connect(newBtn, &QPushButton::clicked, [&dialog, show, refreshList] {
        dialog.newThickness(show);
        refreshList();
    });
    QObject::connect(editBtn, &QPushButton::clicked, [&dialog, show, refreshList, list] {
        dialog.editThickness(list->currentRow(), show);
        refreshList();
    });
    QObject::connect(delBtn, &QPushButton::clicked, [&dialog, refreshList, list] {
        dialog.deleteThickness(list->currentRow());
        refreshList();
    });
    buttons->addWidget(newBtn);
    buttons->addWidget(editBtn);
    buttons->addWidget(delBtn);
    buttons->addStretch();
    row->addLayout(buttons);
    column->addLayout(row);
    column->addWidget(okCancel(window));
    return window.exec() == QDialog::Accepted;
}

} // namespace quentar::costing::ui
