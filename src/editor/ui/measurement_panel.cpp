// The measurement in the drawing window: marks, summary line and what is measured.
#include "editor/ui/measurement_panel.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

#include <memory>

namespace quentar::editor::ui {

namespace {

std::unique_ptr<QSettings> storeOf(const QString &file) {
    if (file.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QStringLiteral("Morvane"), QStringLiteral("Quentar"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

const QString kGroup = QStringLiteral("Measurement");

} // namespace

MeasurementPanel::MeasurementPanel(QMainWindow &window, QMenu &menu, DrawingViewer &viewer,
                                   const QString &settingsFile)
    : QObject(&window), viewer_(viewer), settingsFile_(settingsFile) {
    auto stored = storeOf(settingsFile_);
    stored->beginGroup(kGroup);
    show_ = new QAction(QStringLiteral("Konturen anzeigen"), &window);
    show_->setObjectName(QStringLiteral("Konturenanzeigen1"));
    show_->setCheckable(true);
    show_->setChecked(stored->value(QStringLiteral("ShowContours"), true).toBool());
    show_->setToolTip(QStringLiteral("Teile, Löcher, offene Enden und doppelte Schnitte zeigen"));
    cutOnly_ = new QAction(QStringLiteral("Nur Schnittkonturen messen"), &window);
    cutOnly_->setObjectName(QStringLiteral("NurSchnittkonturenmessen1"));
    cutOnly_->setCheckable(true);
    // Only what the laser cuts is measured unless the user asked for the whole drawn figure.
    cutOnly_->setChecked(stored->value(QStringLiteral("CutContoursOnly"), true).toBool());
    cutOnly_->setToolTip(QStringLiteral(
        "Bemaßungen, Führungslinien, Schraffurgrenzen, Konstruktionslinien, "
        "Ansichtsfensterrahmen, Mittel- und Strichlinien und Netze nicht in die Konturlänge "
        "zählen"));
    measure_ = new QAction(QStringLiteral("Konturen messen"), &window);
    measure_->setObjectName(QStringLiteral("Konturenmessen1"));
    measure_->setShortcut(QKeySequence(Qt::Key_F5));
    menu.addSeparator();
    menu.addActions({show_, cutOnly_, measure_});

    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("MeasurementSummary"));
    window.statusBar()->addPermanentWidget(summary_);

    connect(show_, &QAction::toggled, this, [this](bool) {
        this->store();
        if (showContours() && !view_.valid()) drawingChanged();
        viewer_.repaint();
    });
    connect(cutOnly_, &QAction::toggled, this, [this](bool) {
        this->store();
        view_.invalidate();
        drawingChanged();
    });
    connect(measure_, &QAction::triggered, this, &MeasurementPanel::measureNow);
    viewer_.addChangeListener([this] { drawingChanged(); });
    viewer_.setDecorations(
        // Print preview shows the page as it prints: without the marks.
        [this](render::Canvas &c) {
            if (showContours() && !viewer_.druckvorschau())
                view_.drawUnder(viewer_.drawing(), c, viewer_.view(), viewer_.paintBoxHeight());
        },
        [this](render::Canvas &c) {
            if (showContours() && !viewer_.druckvorschau())
                view_.drawOver(viewer_.drawing(), c, viewer_.view(), viewer_.paintBoxHeight());
        });
}

bool MeasurementPanel::cutContoursOnly() const { return cutOnly_->isChecked(); }
void MeasurementPanel::setCutContoursOnly(bool on) { cutOnly_->setChecked(on); }
bool MeasurementPanel::showContours() const { return show_->isChecked(); }

void MeasurementPanel::measureNow() {
    render::MeasureOptions o;
    o.cutContoursOnly = cutContoursOnly();
    // What the drawing says of its unit is shown; the calculator asks before it scales.
    o.units = render::UnitChoice::Millimetres;
    view_.update(viewer_.drawing(), viewer_.tab(), o);
    showSummary();
    viewer_.repaint();
}

void MeasurementPanel::drawingChanged() {
    view_.invalidate();
    if (viewer_.drawing().anzpoly <= MeasurementView::kAutomaticUpTo) {
        measureNow();
        return;
    }
    summary_->setText(QStringLiteral("Konturen: F5 misst die Zeichnung"));
    summary_->setToolTip(QStringLiteral("Große Zeichnungen werden nicht nach jeder Änderung "
                                        "gemessen; \"Konturen messen\" (F5) misst sie jetzt."));
}

void MeasurementPanel::showSummary() {
    summary_->setText(QString::fromStdString(view_.summary()));
    const std::string warnings = view_.warningText();
    summary_->setToolTip(QString::fromStdString(warnings));
    // A figure that may be wrong is shown in the colour of a warning.
    summary_->setStyleSheet(warnings.empty() ? QString() : QStringLiteral("color: #a04000;"));
}

void MeasurementPanel::store() const {
    auto s = storeOf(settingsFile_);
    s->beginGroup(kGroup);
    s->setValue(QStringLiteral("ShowContours"), show_->isChecked());
    s->setValue(QStringLiteral("CutContoursOnly"), cutOnly_->isChecked());
}

} // namespace quentar::editor::ui
