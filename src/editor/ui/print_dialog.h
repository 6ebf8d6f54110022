// TDruckenForm, "Drucken/Seite einrichten": scale, offset and margin in mm and inches, and storage.
#pragma once

#include "render/page_setup.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QSettings>

namespace quentar::editor::ui {

class TDruckenForm : public QDialog {
    Q_OBJECT
public:
    // How the dialog was closed. Preview: the values count and the print preview is to be on.
    enum class Outcome { Cancelled, Ok, Preview };

    explicit TDruckenForm(QWidget *parent = nullptr);

    // Shows the values (the inch fields are recomputed from the millimetre fields).
    void setSettings(const render::PrintSettings &s);
    // The values as entered; an inch entry is held exactly (mm = inches x 25.39995), not as the
    // rounded millimetres shown.
    const render::PrintSettings &settings() const { return settings_; }

    // Shows the dialog modally with `s`; returns how it was closed.
    Outcome ask(const render::PrintSettings &s);

signals:
    // "Drucker einrichten": the host's printer set-up.
    void printerSetupRequested();

private:
    // A millimetre field and its inch twin; editing one sets the other.
    void pair(QDoubleSpinBox *mm, QDoubleSpinBox *inch, double render::PrintSettings::*field);
    void showInches();
    // The offsets count for the origin placement only, the scale for all but the fit.
    void enableForPlacement();

    render::PrintSettings settings_;
    Outcome outcome_ = Outcome::Cancelled;
    QDoubleSpinBox *mmEd_, *UnitsEd_, *RxSpinEdit4_; // scale, and the millimetres in inches
    QDoubleSpinBox *XOffsetEd_, *RxSpinEdit1_;       // x offset, mm and inches
    QDoubleSpinBox *YOffsetEd_, *RxSpinEdit2_;       // y offset, mm and inches
    QDoubleSpinBox *RandEd_, *RxSpinEdit3_;          // page margin, mm and inches
    QButtonGroup *PlacementBox_;                     // where the drawing goes on the page
    QGroupBox *scaleBox_, *offsetBox_;
};

// The values in the settings store under "TDruckenForm" (XOffsetEd_Value, ...,
// PlacementBox_Value); values that are missing or not numbers keep their start values.
render::PrintSettings loadPrintSettings(QSettings &store);
void savePrintSettings(QSettings &store, const render::PrintSettings &s);

} // namespace quentar::editor::ui
