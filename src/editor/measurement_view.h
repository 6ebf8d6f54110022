// What the drawing window shows of the measurement: the parts tinted, the holes marked, the open
// ends and the cuts drawn twice flagged, and one line that sums it up.
#pragma once

#include "document/drawing.h"
#include "render/canvas.h"
#include "render/measure_drawing.h"
#include "render/view.h"

#include <string>

namespace quentar::editor {

class MeasurementView {
public:
    // Drawings up to this many entities are measured again after every change; larger ones
    // when the user asks (a measurement of 100,000 entities takes about a second).
    static constexpr int32_t kAutomaticUpTo = 20000;

    // Measures tab `tab` of a read drawing with `options` (the tab is taken from `tab`).
    void update(document::Drawing &d, int tab, render::MeasureOptions options);
    // The measurement no longer fits the drawing (it changed, or another tab is shown).
    void invalidate() { valid_ = false; }
    bool valid() const { return valid_; }
    const render::DrawingMeasurement &measurement() const { return m_; }

    // Under the drawing: the parts tinted, their holes (and islands) in their own tints. Only
    // for the model tab, whose drawing coordinates are the surface's.
    void drawUnder(const document::Drawing &d, render::Canvas &canvas,
                   const render::ViewState &view, int height) const;
    // Over the drawing: a ring at each open end, the cuts drawn twice thickened.
    void drawOver(const document::Drawing &d, render::Canvas &canvas,
                  const render::ViewState &view, int height) const;

    // The status line, e.g. "Schnittlänge 1.234,56 mm · 2 Teile, 5 Löcher, 7 Einstiche ·
    // Fläche 12.345,67 mm² · 2 Warnungen"; "" before a measurement.
    std::string summary() const;
    // Every warning, one German line each.
    std::string warningText() const;

private:
    render::DrawingMeasurement m_;
    int tab_ = 0;
    bool valid_ = false;
};

} // namespace quentar::editor
