// The drawing window as the calculator's source of drawings.
#include "app/ui/drawing_window_source.h"

#include "costing/ui/laser_form.h"
#include "editor/ui/measurement_panel.h"

namespace quentar::app::ui {

namespace {

// A source that owns its window.
class OwnWindow : public DrawingWindowSource {
public:
    explicit OwnWindow(std::unique_ptr<editor::ui::TMainForm> w)
        : DrawingWindowSource(*w), owned_(std::move(w)) {}

private:
    std::unique_ptr<editor::ui::TMainForm> owned_;
};

} // namespace

bool DrawingWindowSource::openDrawing(const QString &path) {
    return window_.openfilewithname(path);
}

int DrawingWindowSource::showModal() { return window_.ShowModal(); }

render::MeasureOptions DrawingWindowSource::measureOptions() const {
    render::MeasureOptions o;
    o.cutContoursOnly = window_.measurement().cutContoursOnly();
    o.tab = window_.viewer().tab();
    // The unit is the calculator's question, not the window's.
    o.units = render::UnitChoice::Millimetres;
    return o;
}

void DrawingWindowSource::setCutContoursOnly(bool on) {
    window_.measurement().setCutContoursOnly(on);
}

QImage DrawingWindowSource::measure(const render::MeasureOptions &options,
                                    render::DrawingMeasurement &m) {
    window_.ZoomFullIn180();
    m = {};
    m.figures.cutContoursOnly = options.cutContoursOnly;
    const QImage picture = window_.Vorschaubild(&m.figures);
    m.tab = window_.viewer().tab();
    m.view = window_.viewer().view();
    render::evaluateMeasurement(window_.viewer().drawing(), options, m);
    return picture;
}

costing::DrawingParts DrawingWindowSource::drawingParts(const render::DrawingMeasurement &m) {
    return costing::drawingPartsOf(window_.viewer().drawing(), m);
}

std::unique_ptr<costing::ui::DrawingSource> ownDrawingWindow(const QString &templateFolder) {
    editor::ui::MainFormOptions options;
    options.dataFolder = templateFolder;
    return std::make_unique<OwnWindow>(std::make_unique<editor::ui::TMainForm>(options));
}

void installDrawingWindowFactory() {
    costing::ui::TLaserForm::setDrawingWindowFactory(&ownDrawingWindow);
}

} // namespace quentar::app::ui
