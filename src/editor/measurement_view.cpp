// The measurement as the drawing window shows it.
#include "editor/measurement_view.h"

#include "document/number_text.h"
#include "render/view_transform.h"

#include <cmath>
#include <vector>

namespace quentar::editor {

namespace {

// "12345.678" as "12.345,68": as a German user reads figures.
std::string german(double v) {
    const std::string digits = document::fixedText(std::fabs(v), 2);
    const std::size_t dot = digits.find('.');
    if (dot == std::string::npos) return digits; // not a number: said as it is
    std::string whole = digits.substr(0, dot), out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += '.';
        out += whole[i];
    }
    out += ',' + digits.substr(dot + 1);
    return (v < 0 ? "-" : "") + out;
}

constexpr render::Rgb kPartTint{214, 230, 255};
constexpr render::Rgb kHoleTint{255, 226, 226};
constexpr render::Rgb kOpenEnd{220, 0, 220};
constexpr render::Rgb kTwice{255, 140, 0};

} // namespace

void MeasurementView::update(document::Drawing &d, int tab, render::MeasureOptions options) {
    options.tab = tab;
    // The window measures the tab it shows, even an empty one.
    options.layoutWhenModelEmpty = false;
    tab_ = tab;
    m_ = render::measureDrawing(d, options, nullptr);
    valid_ = true;
}

void MeasurementView::drawUnder(const document::Drawing &d, render::Canvas &canvas,
                                const render::ViewState &view, int height) const {
    if (!valid_ || tab_ != 0 || m_.empty) return;
    const render::ViewTransform t = render::transformOf(view, height);
    const contours::ContourAnalysis &a = m_.figures.analysis;
    std::vector<double> xy;
    // Largest first, so a hole is tinted over its part and an island over its hole.
    for (const contours::Contour &c : a.contours) {
        if (!c.closed) continue;
        xy.clear();
        contours::contourPoints(d, m_.figures.pieces, a, c, xy);
        if (xy.size() < 6) continue;
        render::Path path;
        path.moveTo(t.screenX(xy[0]), t.exactScreenY(xy[1]));
        for (std::size_t i = 2; i + 1 < xy.size(); i += 2)
            path.lineTo(t.screenX(xy[i]), t.exactScreenY(xy[i + 1]));
        path.closeFigure();
        canvas.fillPath(path, render::Brush{render::Brush::Kind::Solid,
                                            c.hole() ? kHoleTint : kPartTint, render::kWhite});
    }
}

void MeasurementView::drawOver(const document::Drawing &d, render::Canvas &canvas,
                               const render::ViewState &view, int height) const {
    if (!valid_ || tab_ != 0 || m_.empty) return;
    const render::ViewTransform t = render::transformOf(view, height);
    const contours::ContourAnalysis &a = m_.figures.analysis;
    // The cuts drawn twice, thick.
    std::vector<double> xy;
    for (const contours::DuplicateCut &dc : a.duplicates) {
        xy.clear();
        m_.figures.pieces.points(d, m_.figures.pieces.pieces[dc.piece], xy);
        if (xy.size() < 4) continue;
        render::Path path;
        path.moveTo(t.screenX(xy[0]), t.exactScreenY(xy[1]));
        for (std::size_t i = 2; i + 1 < xy.size(); i += 2)
            path.lineTo(t.screenX(xy[i]), t.exactScreenY(xy[i + 1]));
        canvas.strokePath(path, render::Pen{kTwice, 4, {}, 0});
    }
    // A ring round every open end: the cut does not close there.
    for (const contours::OpenEnd &e : a.openEnds) {
        const render::Pixel p = t.pixel(e.x, e.y);
        render::Path ring;
        constexpr int kSteps = 16;
        for (int i = 0; i <= kSteps; ++i) {
            const double ang = 2 * M_PI * i / kSteps;
            const double x = p.x + 6 * std::cos(ang), y = p.y + 6 * std::sin(ang);
            if (i == 0)
                ring.moveTo(x, y);
            else
                ring.lineTo(x, y);
        }
        canvas.strokePath(ring, render::Pen{kOpenEnd, 2, {}, 0});
    }
}

std::string MeasurementView::summary() const {
    if (!valid_) return {};
    if (m_.empty) return "Nichts gemessen: dieses Blatt hat keine Elemente";
    const contours::ContourAnalysis &a = m_.figures.analysis;
    std::string s = "Schnittlänge " + german(m_.konturlang) + " mm · " +
                    std::to_string(a.parts) + (a.parts == 1 ? " Teil, " : " Teile, ") +
                    std::to_string(a.holes) + (a.holes == 1 ? " Loch, " : " Löcher, ") +
                    std::to_string(a.pierces) + (a.pierces == 1 ? " Einstich" : " Einstiche") +
                    " · Fläche " + german(m_.netArea) + " mm²";
    const int64_t openEnds = a.openEndCount - a.attachedEndCount;
    if (openEnds > 0) s += " · " + std::to_string(openEnds) + " offene Enden";
    if (!m_.drawingUnit.empty() && m_.drawingUnit != "mm")
        s += " · Einheit der Zeichnung: " + m_.drawingUnit;
    if (!m_.warnings.empty())
        s += " · " + std::to_string(m_.warnings.size()) +
             (m_.warnings.size() == 1 ? " Warnung" : " Warnungen");
    return s;
}

std::string MeasurementView::warningText() const {
    std::string s;
    for (const render::MeasureWarning &w : m_.warnings) s += (s.empty() ? "" : "\n") + w.german;
    return s;
}

} // namespace quentar::editor
