// The drawing window as the calculator's source of drawings.
#pragma once

#include "costing/ui/drawing_source.h"
#include "editor/ui/main_form.h"

#include <memory>

namespace quentar::app::ui {

class DrawingWindowSource : public costing::ui::DrawingSource {
public:
    // Uses `window` (not owned).
    explicit DrawingWindowSource(editor::ui::TMainForm &window) : window_(window) {}

    bool openDrawing(const QString &path) override;
    int showModal() override;
    render::MeasureOptions measureOptions() const override;
    void setCutContoursOnly(bool on) override;
    QImage measure(const render::MeasureOptions &options, render::DrawingMeasurement &m) override;
    costing::DrawingParts drawingParts(const render::DrawingMeasurement &m) override;
    void hideWindow() override { window_.hide(); }

    editor::ui::TMainForm &window() { return window_; }

private:
    editor::ui::TMainForm &window_;
};

// A drawing window of its own for a calculator that was given none (its templates in
// `templateFolder`; empty: the installation's), owned by the source.
std::unique_ptr<costing::ui::DrawingSource> ownDrawingWindow(const QString &templateFolder);

// Lets every calculator made without a drawing window make its own through ownDrawingWindow.
void installDrawingWindowFactory();

} // namespace quentar::app::ui
