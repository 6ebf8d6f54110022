// Opening and measuring a drawing as the calculator takes it over, and saying what may be wrong
// with the figures.
#include "render/measure_drawing.h"

#include "render/contour_warnings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quentar::render {

namespace {

std::string number(double v, bool german = false) { return measureNumber(v, german); }

std::string count(std::size_t n) { return std::to_string(n); }

// Sheet parts come between these sizes (mm): beyond them the unit is more likely wrong than the
// part.
constexpr double kSmallestPart = 2;
constexpr double kLargestPart = 12000;

} // namespace

void measureTab(document::Drawing &d, int tab, ViewState &view, Canvas *canvas,
                ContourFigures &figures) {
    // Confirming fits the 180-pixel square (ZoomFullIn180) and renders it (Vorschaubild). The
    // figures do not depend on the view: the first pass of the fit takes them, and the picture
    // is drawn only when one is wanted.
    const PageSetup page;
    beginMeasuring(d, figures);
    const FitExtent extent = fitExtent(d, tab, page, &figures);
    view.zoomedvalue = 100;
    fitViewTo(extent, kPreviewSize, kPreviewSize, view);
    if (canvas) {
        ContourFigures drawn;
        drawTab(d, tabForPreview(d, tab), view, kPreviewSize, false, 96, canvas, drawn);
    }
    finishMeasuring(d, figures);
}

std::string unitName(int32_t u) {
    switch (u) {
    case 1: return "inch";
    case 2: return "foot";
    case 3: return "mile";
    case 4: return "mm";
    case 5: return "cm";
    case 6: return "m";
    case 7: return "km";
    case 8: return "microinch";
    case 9: return "mil";
    case 10: return "yard";
    case 13: return "micrometre";
    case 14: return "decimetre";
    default: return {};
    }
}

double millimetresPerUnit(int32_t u) {
    switch (u) {
    case 1: return 25.4;
    case 2: return 304.8;
    case 3: return 1609344;
    case 4: return 1;
    case 5: return 10;
    case 6: return 1000;
    case 7: return 1e6;
    case 8: return 25.4e-6;
    case 9: return 0.0254;
    case 10: return 914.4;
    case 13: return 1e-3;
    case 14: return 100;
    default: return 0;
    }
}

DrawingMeasurement measureDrawing(document::Drawing &d, const MeasureOptions &o, Canvas *canvas) {
    DrawingMeasurement m;
    m.tab = o.tab;
    m.figures.cutContoursOnly = o.cutContoursOnly;
    measureTab(d, o.tab, m.view, canvas, m.figures);
    evaluateMeasurement(d, o, m);
    return m;
}

void evaluateMeasurement(const document::Drawing &d, const MeasureOptions &o,
                         DrawingMeasurement &m) {
    m.warnings.clear();
    const ContourFigures &f = m.figures;
    const contours::ContourAnalysis &a = f.analysis;
    m.empty = f.entitiesDrawn == 0;
    auto warn = [&](std::string code, std::string english, std::string german) {
        m.warnings.push_back({std::move(code), std::move(english), std::move(german)});
    };

    // The unit: as the drawing says, or as the user says.
    m.drawingUnit = unitName(d.insunits);
    const double declared = millimetresPerUnit(d.insunits);
    if (o.units == UnitChoice::Inches) {
        m.scale = 25.4;
        if (declared != 25.4)
            warn("units-chosen", "measured as inches as asked (the drawing says " +
                                     (m.drawingUnit.empty() ? "no unit" : m.drawingUnit) + ")",
                 "als Zoll gemessen, wie gewählt (die Zeichnung nennt " +
                     (m.drawingUnit.empty() ? "keine Einheit" : m.drawingUnit) + ")");
    } else if (o.units == UnitChoice::Millimetres) {
        m.scale = 1;
        if (declared != 0 && declared != 1)
            warn("units-ignored",
                 "the drawing says its unit is " + m.drawingUnit +
                     ", but it is measured in millimetres as asked",
                 "Die Zeichnung nennt die Einheit " + m.drawingUnit +
                     ", gemessen wird wie gewählt in Millimetern");
    } else if (declared != 0 && declared != 1) {
        m.scale = declared;
        warn("units-scaled",
             "the drawing says its unit is " + m.drawingUnit + ": its figures are scaled by " +
                 number(declared) + " to millimetres",
             "Die Zeichnung nennt die Einheit " + m.drawingUnit + ": ihre Maße werden mit " +
                 number(declared, true) + " in Millimeter umgerechnet");
    }
    if (o.units != UnitChoice::Inches && declared == 0 && d.measurement == 0)
        // No unit, but set up imperial: the numbers may well be inches.
        warn("units-imperial",
             "the drawing gives no unit but is set up imperial ($MEASUREMENT 0): if its numbers "
             "are inches, measure it as inches",
             "Die Zeichnung nennt keine Einheit, ist aber auf Zoll eingerichtet ($MEASUREMENT "
             "0): sind ihre Zahlen Zoll, bitte als Zoll messen");
    const double s = m.scale;
    // A stretch drawn twice is cut once: priced once, the drawn length beside it.
    m.drawnLength = f.konturlang * s;
    m.konturlang = std::max(0.0, f.konturlang - a.duplicateLength) * s;
    m.minx = f.konturminx * s;
    m.maxx = f.konturmaxx * s;
    m.miny = f.konturminy * s;
    m.maxy = f.konturmaxy * s;
    m.netArea = a.netArea * s * s;
    // Contours not worked out: the whole blank is charged, as the warning says.
    if (a.unfinished) m.netArea = (m.maxx - m.minx) * (m.maxy - m.miny);
    m.areas.clear();
    for (double area : a.areas()) m.areas.push_back(area * s * s);
    if (m.empty) return;

    // Limits hit while reading or drawing: the figures are of part of the drawing only.
    using namespace document;
    const uint16_t r = f.readIssues;
    if (r & kIssueVerticesDropped)
        warn("vertices-dropped",
             "the drawing has more points than are read (12 million): parts of it are missing",
             "Die Zeichnung hat mehr Punkte als gelesen werden (12 Millionen): Teile fehlen");
    if (r & kIssueBadNumber)
        warn("bad-number", "coordinates that are no numbers (NaN, infinity, text) were left out",
             "Koordinaten, die keine Zahlen sind (NaN, unendlich, Text), wurden ausgelassen");
    if (r & kIssueAbsurdValue)
        warn("beyond-sense",
             "values beyond sense (coordinates, radii, angles, bulges) were left out",
             "Werte jenseits jeden Sinns (Koordinaten, Radien, Winkel, Wölbungen) wurden "
             "ausgelassen");
    if (r & kIssueSplineControlPolygon)
        warn("spline-polygon",
             "a spline without a valid knot vector is measured as its control polygon",
             "Ein Spline ohne gültigen Knotenvektor wird als Kontrollpolygon gemessen");
    if (r & kIssueSplineUnsupported)
        warn("spline-unsupported", "a spline of a degree or size that is not evaluated is left out",
             "Ein Spline eines nicht ausgewerteten Grades oder Umfangs fehlt");
    if (r & kIssueSplineTooFewPoints)
        warn("spline-points", "a spline of fewer than two points is left out",
             "Ein Spline mit weniger als zwei Punkten fehlt");
    if (r & kIssueLinesLost)
        warn("lines-lost", "the file lines of some y and z coordinates are not known",
             "Die Dateizeilen einiger y- und z-Koordinaten sind nicht bekannt");
    const uint32_t ri = f.renderIssues;
    if (ri & kRenderNestingCut)
        warn("nesting-cut",
             "blocks nested deeper than " + count(RenderPass::kMaxNesting) + " levels are left out",
             "Blöcke, die tiefer als " + count(RenderPass::kMaxNesting) +
                 " Ebenen verschachtelt sind, fehlen");
    if (ri & kRenderVisitsCut)
        warn("visits-cut", "the blocks are inserted so often that measuring stopped part way",
             "Die Blöcke sind so oft eingefügt, dass die Messung vorzeitig endete");
    if (ri & kRenderSelfInsert)
        warn("self-insert", "a block inserts itself: it is measured once",
             "Ein Block fügt sich selbst ein: er wird einmal gemessen");
    if (ri & kRenderBadPlacement)
        warn("bad-placement", "a block reference with a scale or position beyond sense is left out",
             "Ein Blockverweis mit unsinniger Skalierung oder Lage fehlt");

    // Entities the reader passed over: if any of them is part of the cut, the figures lack it.
    if (!d.skipped.empty()) {
        int64_t total = 0;
        std::string kinds;
        for (const auto &k : d.skipped) {
            total += k.count;
            kinds += (kinds.empty() ? "" : ", ") + k.name + " " + count(k.count);
        }
        warn("not-read",
             count(total) + (total == 1 ? " entity" : " entities") +
                 " of a kind that is not read (" + kinds +
                 ") left out: if it is part of the cut, the figures lack it",
             count(total) + (total == 1 ? " Element" : " Elemente") +
                 " einer Art, die nicht gelesen wird (" + kinds +
                 "), ausgelassen: gehört es zum Schnitt, fehlt es in den Maßen");
    }

    // What besides cut contours went into the length.
    std::string en, de;
    static const char *kGerman[contours::kMeasureKinds] = {"Schnittkonturen", "Bemaßungen", "Führungslinien",
                                                 "Schraffurgrenzen", "Konstruktionslinien",
                                                 "Ansichtsfensterrahmen"};
    static const char *kEnglish[contours::kMeasureKinds] = {"cut contours",    "dimensions",
                                                  "leaders",         "hatch boundaries",
                                                  "construction lines", "viewport frames"};
    for (int k = 1; k < contours::kMeasureKinds; ++k) {
        if (!a.kindMeasured[static_cast<std::size_t>(k)]) continue;
        const double len = a.lengthByKind[static_cast<std::size_t>(k)] * s;
        if (len <= 0) continue;
        en += std::string(en.empty() ? "" : ", ") + kEnglish[k] + " " + number(len) + " mm";
        de += std::string(de.empty() ? "" : ", ") + kGerman[k] + " " + number(len, true) + " mm";
    }
    if (!en.empty())
        warn("not-cut",
             "the cut length also holds " + en + " (measure cut contours only to leave them out)",
             "Die Konturlänge enthält auch " + de + " (\"Nur Schnittkonturen messen\" lässt sie weg)");

    // The contours themselves.
    contourWarnings(a, s, m.warnings);
    const double width = m.maxx - m.minx, height = m.maxy - m.miny;
    if (a.closedCount == 0 && !a.unfinished)
        warn("no-closed-contour",
             "no closed contour: the part has no area, so no weight and no material cost",
             "Keine geschlossene Kontur: das Teil hat keine Fläche, also kein Gewicht und keine "
             "Materialkosten");
    if (width <= 0 || height <= 0) {
        warn("zero-size", "the drawing has no extent in one direction",
             "Die Zeichnung hat in einer Richtung keine Ausdehnung");
    } else {
        const double size = std::max(width, height);
        if (size < kSmallestPart || size > kLargestPart)
            warn("implausible-size",
                 "a part of " + number(width) + " x " + number(height) +
                     " mm is implausible for a sheet part: check the unit",
                 "Ein Teil von " + number(width, true) + " x " + number(height, true) +
                     " mm ist für ein Blechteil unwahrscheinlich: bitte die Einheit prüfen");
    }
}

} // namespace quentar::render
