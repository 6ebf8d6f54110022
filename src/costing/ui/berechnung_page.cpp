// The "Berechnung" page: inputs on the left, drawing and material figures, results, the preview.
#include "costing/ui/laser_form.h"

#include "costing/ui/number_spin_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace quentar::costing::ui {

namespace {

QColor colourOf(int role) {
    switch (role) {
    case 0: return QColor(192, 220, 192); // what the user enters
    case 1: return QColor(240, 202, 166); // what the formulas give
    case 2: return QColor(240, 250, 255); // what the material brings
    default: return QColor();
    }
}

void paint(QWidget *w, int role) {
    const QColor c = colourOf(role);
    if (!c.isValid()) return;
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    // A drop-down list without free text is drawn as a button.
    if (qobject_cast<QComboBox *>(w)) p.setColor(QPalette::Button, c);
    w->setPalette(p);
}

// A label standing above its editor.
void addLabelled(QVBoxLayout *column, const QString &label, QWidget *editor) {
    auto *l = new QLabel(label);
    // With a wider fallback font a long label wraps rather than losing its end.
    l->setWordWrap(true);
    l->setBuddy(editor);
    column->addWidget(l);
    // Aligned, the fixed-width editor does not hold its column to its own width.
    column->addWidget(editor, 0, Qt::AlignLeft);
}

// A label above its editor in cell (2 × row, column) of a grid, the editor in the cell below.
void addLabelled(QGridLayout *grid, const QString &label, QWidget *editor, int row, int column) {
    auto *l = new QLabel(label);
    l->setWordWrap(true);
    l->setBuddy(editor);
    grid->addWidget(l, 2 * row, column, Qt::AlignBottom);
    grid->addWidget(editor, 2 * row + 1, column, Qt::AlignLeft);
}

QVBoxLayout *compactColumn() {
    auto *c = new QVBoxLayout;
    c->setSpacing(1);
    return c;
}

} // namespace

QWidget *TLaserForm::numberEdit(NumberField &field, Role role, double step) {
    QWidget *editor = nullptr;
    if (step > 0) {
        auto *spin = new NumberSpinBox(field, step);
        // The spin box's own line edit carries the text, bound like any other number editor.
        binder_.bind(spin->editor(), field);
        editor = spin;
    } else {
        auto *edit = new QLineEdit;
        binder_.bind(edit, field);
        editor = edit;
    }
    editor->setObjectName(qs(field.name()));
    editor->setFixedWidth(120);
    paint(editor, static_cast<int>(role));
    editors_.emplace_back(field.name(), editor);
    return editor;
}

QWidget *TLaserForm::timeEdit(TimeField &field, Role role) {
    auto *edit = new QTimeEdit;
    edit->setObjectName(qs(field.name()));
    edit->setFixedWidth(120);
    // A result is typed over at most, never stepped: without spin buttons it looks like the
    // other results.
    if (role == Role::Result) edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
    paint(edit, static_cast<int>(role));
    binder_.bind(edit, field);
    editors_.emplace_back(field.name(), edit);
    return edit;
}

QWidget *TLaserForm::durationEdit(TimeField &field, Role role) {
    // A line edit: a time editor stops at 23:59:59, and a laser time of 25 hours must read so.
    auto *edit = new QLineEdit;
    edit->setObjectName(qs(field.name()));
    edit->setFixedWidth(120);
    paint(edit, static_cast<int>(role));
    binder_.bind(edit, field);
    editors_.emplace_back(field.name(), edit);
    return edit;
}

QWidget *TLaserForm::buildBerechnungPage() {
    Engine &e = calc_->engine();
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(6);
    // Eleven labelled inputs fill the page's height: no pixel is left between the rows.
    grid->setVerticalSpacing(0);

    auto *inputs = compactColumn();
    auto *material = new QComboBox;
    material->setObjectName(QStringLiteral("MaterialBoxEd"));
    material->setFixedWidth(150);
    paint(material, 0);
    binder_.bind(material, e.MaterialBoxEd);
    editors_.emplace_back(e.MaterialBoxEd.name(), material);
    addLabelled(inputs, QStringLiteral("Material:"), material);
    addLabelled(inputs, QStringLiteral("Stück:"), numberEdit(e.StueckEd, Role::Input, 1));
    addLabelled(inputs, QStringLiteral("Materialstärke in mm:"),
                numberEdit(e.MatstarkEd, Role::Input, 0.5));
    addLabelled(inputs, QStringLiteral("Materialzugabe an jeder Seite in mm:"),
                numberEdit(e.MatZugabeEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Materialaufschlag in %:"),
                numberEdit(e.mataufschlagEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Maschinen Stundensatz:"),
                numberEdit(e.StundensatzEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Stundensatz für Initalaufwand:"),
                numberEdit(e.FabrikationsStundensatzEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Initialaufwand:"), timeEdit(e.InitialEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Programmier-Stundensatz:"),
                numberEdit(e.ProgramStundenEd, Role::Input));
    addLabelled(inputs, QStringLiteral("Programmieraufwand:"),
                timeEdit(e.ProgrammierEd, Role::Input));
    inputs->addStretch();
    grid->addLayout(inputs, 0, 0);
    // The profit mark-up and the discount share the bottom row, side by side: the discount is
    // what the tiers make of the quantity, read together with the mark-up.
    auto *profit = compactColumn();
    addLabelled(profit, QStringLiteral("Gewinnaufschlag in %:"),
                numberEdit(e.GewinnAufschlagEd, Role::Input));
    grid->addLayout(profit, 1, 0);

    auto *middle = compactColumn();
    auto *drawing = new QGroupBox(QStringLiteral("Aus DXF Datei übernommen"));
    auto *drawingColumn = compactColumn();
    addLabelled(drawingColumn, QStringLiteral("Breite der Fläche in mm:"),
                numberEdit(e.breited, Role::Drawing));
    addLabelled(drawingColumn, QStringLiteral("Länge der Fläche in mm:"),
                numberEdit(e.hoched, Role::Drawing));
    addLabelled(drawingColumn, QStringLiteral("Konturlänge in mm:"),
                numberEdit(e.KonturmmEd, Role::Drawing));
    addLabelled(drawingColumn, QStringLiteral("Flächenbelegung in %:"),
                numberEdit(e.FlaecheEd, Role::Drawing));
    // What the figures are measured in, how many pierces the contours take, and what may be
    // wrong with them (the warnings in full when the pointer rests on it).
    drawingNote_ = new QLabel;
    drawingNote_->setObjectName(QStringLiteral("drawingNote"));
    drawingNote_->setWordWrap(true);
    drawingNote_->setMaximumWidth(150);
    drawingColumn->addWidget(drawingNote_);
    drawing->setLayout(drawingColumn);
    middle->addWidget(drawing);
    auto *props = new QGroupBox(QStringLiteral("Materialeigenschaften"));
    auto *propsColumn = compactColumn();
    addLabelled(propsColumn, QStringLiteral("Materialpreis/Kg:"),
                numberEdit(e.MatPreisEd, Role::Property));
    addLabelled(propsColumn, QStringLiteral("Vorschub in m/min:"),
                numberEdit(e.vorschubed, Role::Property));
    addLabelled(propsColumn, QStringLiteral("Spez. Gewicht (kg/dm³):"),
                numberEdit(e.SpezGewEd, Role::Property));
    props->setLayout(propsColumn);
    middle->addWidget(props);
    middle->addStretch();
    grid->addLayout(middle, 0, 1);
    auto *discount = compactColumn();
    addLabelled(discount, QStringLiteral("Rabatt auf Maschinenstundenssatz:"),
                numberEdit(e.RabattEd, Role::Input));
    // The discount's caption may reach under the results: the middle column stays narrow and the
    // room goes to the long input captions on the left, which would otherwise be cut.
    grid->addLayout(discount, 1, 1, 1, 2);

    // The results, with the preview beside the first of them and the two per-order charges
    // beside the two prices they go into.
    auto *results = new QGridLayout;
    results->setHorizontalSpacing(6);
    results->setVerticalSpacing(1);
    // The two ends of the chain: nothing follows from them, so a typed value would only make the
    // page contradict itself.
    const auto endOfChain = [this](NumberField &field) {
        QWidget *editor = numberEdit(field, Role::Result);
        static_cast<QLineEdit *>(editor)->setReadOnly(true);
        return editor;
    };
    int row = 0;
    const auto result = [&](const QString &label, QWidget *editor, int column = 0) {
        addLabelled(results, label, editor, column == 0 ? row++ : row - 1, column);
    };
    result(QStringLiteral("Laserzeit/Stück:"), durationEdit(e.LaserZeitEd, Role::Result));
    result(QStringLiteral("Materialkosten/Stück:"), numberEdit(e.matkostenEd, Role::Result));
    result(QStringLiteral("Schneidkosten/Stück:"), numberEdit(e.SchneidkostenEd, Role::Result));
    result(QStringLiteral("Lohnkosten:"), numberEdit(e.lohnkostened, Role::Result));
    result(QStringLiteral("Gesamtkosten/Stück:"), numberEdit(e.GesamtKostenEd, Role::Result));
    result(QStringLiteral("Gewicht/Stück in Kg:"), endOfChain(e.TeilgewichtEd));
    result(QStringLiteral("Materialverbrauch/Stück in Kg:"),
           numberEdit(e.GewichtEd, Role::Result));
    const int previewRows = 2 * row;
    result(QStringLiteral("Preis/Stück:"), numberEdit(e.PreisProStueckEd, Role::Result));
    result(QStringLiteral("Kleinmengenzuschlag:"), numberEdit(e.KleinMengenEd, Role::Input), 1);
    result(QStringLiteral("Gesamtpreis:"), endOfChain(e.GesamtPreisEd));
    result(QStringLiteral("Transport:"), numberEdit(e.TransportEd, Role::Input), 1);
    paintBox1_ = new QLabel;
    paintBox1_->setObjectName(QStringLiteral("PaintBox1"));
    paintBox1_->setFixedSize(180, 210);
    paintBox1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintBox1_->setPixmap(QPixmap::fromImage(vorschau_.copy(0, 0, 180, 210)));
    results->addWidget(paintBox1_, 0, 1, previewRows, 1, Qt::AlignLeft | Qt::AlignTop);
    // Material charged by the sheet: said under the results, the sheets' figures and the nest
    // with the option on "Einstellungen".
    sheetNote_ = new QLabel;
    sheetNote_->setObjectName(QStringLiteral("sheetNote"));
    sheetNote_->setWordWrap(true);
    results->addWidget(sheetNote_, 2 * row, 0, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    results->setRowStretch(2 * row, 1);
    results->setColumnMinimumWidth(1, 180);
    grid->addLayout(results, 0, 2);
    grid->setColumnStretch(0, 1);

    auto *note = new QLabel(QStringLiteral("Die Kosten für den Programmieraufwand werden nur für "
                                           "das erste Stück berechnet."));
    grid->addWidget(note, 2, 0, 1, 3);
    auto *qm = new QCheckBox(
        QStringLiteral("Materialkosten per m² Preis berechnen statt nach Gewicht"));
    qm->setObjectName(QStringLiteral("qmPreisCheck"));
    binder_.bind(qm, e.qmPreisCheck);
    editors_.emplace_back(e.qmPreisCheck.name(), qm);
    grid->addWidget(qm, 3, 0, 1, 3);
    return page;
}

} // namespace quentar::costing::ui
