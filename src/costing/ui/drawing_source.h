// The drawing window as the calculator uses it: open a drawing, let the user look at it, take
// over what it measures. The calculator sees only this; the program hands it its drawing window.
#pragma once

#include "costing/sheet_method.h"
#include "render/measure_drawing.h"

#include <QImage>
#include <QString>

namespace quentar::costing::ui {

class DrawingSource {
public:
    virtual ~DrawingSource() = default;

    // Opens and reads the drawing, reporting its own errors; false when it could not.
    virtual bool openDrawing(const QString &path) = 0;
    // Shows the drawing modally: 1 when the user confirmed it for the calculation.
    virtual int showModal() = 0;
    // What is measured as the user chose it in the window ("Nur Schnittkonturen messen"), and
    // that choice made from the calculator (offered with a warning before a take-over).
    virtual render::MeasureOptions measureOptions() const = 0;
    virtual void setCutContoursOnly(bool on) = 0;
    // The 180-pixel fit and preview of the shown tab, measured with `options` into `m`; a null
    // picture when drawing is suppressed.
    virtual QImage measure(const render::MeasureOptions &options,
                           render::DrawingMeasurement &m) = 0;
    // The parts of the drawing last measured into `m`, as outlines for material by the sheet;
    // none from a source that keeps no drawing.
    virtual DrawingParts drawingParts(const render::DrawingMeasurement &m) {
        (void)m;
        return {};
    }
    // The calculator closes: the window goes with it.
    virtual void hideWindow() = 0;
};

} // namespace quentar::costing::ui
