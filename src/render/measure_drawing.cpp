// Opening and measuring a drawing as the calculator takes it over, and saying what may be wrong
// with the figures.
#include "render/measure_drawing.h"

#include "document/text_codec.h"
#include "geometry/placement.h"
#include "render/contour_warnings.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

namespace {

std::string number(double v, bool german = false) { return measureNumber(v, german); }

std::string count(std::size_t n) { return std::to_string(n); }

// Sheet parts come between these sizes (mm): beyond them the unit is more likely wrong than the
// part.
constexpr double kSmallestPart = 2;
constexpr double kLargestPart = 12000;

void addWarning(DrawingMeasurement &m, std::string code, std::string english, std::string german) {
    m.warnings.push_back({std::move(code), std::move(english), std::move(german)});
}

// Points as the messages list them, in either language (the German decimal comma must not
// turn the separators into commas too): the first three, then an ellipsis.
void listPoints(const std::vector<std::pair<double, double>> &points, std::size_t total, double s,
                std::string &en, std::string &de) {
    for (std::size_t i = 0; i < points.size() && i < 3; ++i) {
        const double x = points[i].first * s, y = points[i].second * s;
        en += std::string(i ? ", " : "") + "(" + number(x) + ", " + number(y) + ")";
        de += std::string(i ? "; " : "") + "(" + number(x, true) + "; " + number(y, true) + ")";
    }
    if (total > 3) {
        en += ", ...";
        de += "; ...";
    }
}

// What CAD programs hide and the laser therefore never cuts: what it is and how long.
void warnHidden(const ContourFigures &f, double s, DrawingMeasurement &m) {
    if (f.hidden.empty()) return;
    std::vector<const ContourFigures::HiddenContent *> longest;
    for (const auto &h : f.hidden) longest.push_back(&h);
    std::stable_sort(longest.begin(), longest.end(),
                     [](auto *a, auto *b) { return a->length > b->length; });
    double total = 0;
    for (const auto *h : longest) total += h->length;
    std::string en, de;
    for (std::size_t i = 0; i < longest.size() && i < 4; ++i) {
        const ContourFigures::HiddenContent &h = *longest[i];
        std::string whatEn, whatDe;
        switch (h.why) {
        case Hidden::Frozen:
            whatEn = "frozen layer \"" + h.layer + "\"";
            whatDe = "eingefrorener Layer \"" + h.layer + "\"";
            break;
        case Hidden::Invisible:
            whatEn = "invisible entities";
            whatDe = "unsichtbare Elemente";
            break;
        default:
            whatEn = "layer \"" + h.layer + "\", which is never printed";
            whatDe = "nie gedruckter Layer \"" + h.layer + "\"";
            break;
        }
        const bool one = h.entities == 1;
        en += std::string(i ? ", " : "") + whatEn + " " + number(h.length * s) + " mm (" +
              count(static_cast<std::size_t>(h.entities)) + (one ? " entity)" : " entities)");
        de += std::string(i ? ", " : "") + whatDe + " " + number(h.length * s, true) + " mm (" +
              count(static_cast<std::size_t>(h.entities)) + (one ? " Element)" : " Elemente)");
    }
    if (longest.size() > 4) {
        en += ", ...";
        de += ", ...";
    }
    addWarning(m, "hidden",
               number(total * s) + " mm of hidden content are not cut and left out: " + en,
               number(total * s, true) +
                   " mm verborgener Inhalt werden nicht geschnitten und fehlen: " + de);
}

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
        drawTab(d, tabView(d, tab), view, kPreviewSize, false, 96, canvas, drawn);
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
    if (o.tab == 0 && m.figures.entitiesDrawn == 0) {
        // Nothing in model space: the part may be drawn on a sheet of its own.
        for (int t = 1; t < static_cast<int>(d.tabCaptions.size()); ++t) {
            ViewState view;
            ContourFigures sheet;
            sheet.cutContoursOnly = o.cutContoursOnly;
            measureTab(d, t, view, nullptr, sheet);
            if (sheet.analysis.lengthByKind[static_cast<std::size_t>(contours::MeasureKind::Cut)] >
                0) {
                m.contentTab = t;
                break;
            }
        }
        if (m.contentTab > 0 && o.layoutWhenModelEmpty) {
            m.tab = m.contentTab;
            measureTab(d, m.tab, m.view, canvas, m.figures);
        }
    }
    evaluateMeasurement(d, o, m);
    return m;
}

void evaluateMeasurement(const document::Drawing &d, const MeasureOptions &o,
                         DrawingMeasurement &m) {
    m.warnings.clear();
    m.refusal.clear();
    m.refusalGerman.clear();
    m.partial = false;
    const ContourFigures &f = m.figures;
    const contours::ContourAnalysis &a = f.analysis;
    m.empty = f.entitiesDrawn == 0;
    auto warn = [&](std::string code, std::string english, std::string german) {
        m.warnings.push_back({std::move(code), std::move(english), std::move(german)});
    };
    auto refuse = [&](std::string english, std::string german) {
        m.refusal = std::move(english);
        m.refusalGerman = std::move(german);
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
    // A stretch drawn twice is cut once: priced once (the drawn length, below, has it twice).
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
    m.drawnLength = 0;
    for (double len : a.lengthByKind) m.drawnLength += len * s;
    if (m.empty) {
        const std::size_t tab = static_cast<std::size_t>(std::max(o.tab, 0));
        if (d.anzpoly == 0 && d.truncated) {
            refuse("the file is cut off before its first entity",
                   "Die Datei ist vor ihrem ersten Element abgeschnitten");
        } else if (d.anzpoly == 0 || tab >= d.tabCaptions.size()) {
            refuse("the drawing has no entities", "Die Zeichnung hat keine Elemente");
        } else {
            // The tab's name as the file has it, decoded: the line is text, whatever its bytes.
            const std::string name = document::decodeForDisplay(d.tabCaptions[tab]);
            if (!f.hidden.empty())
                refuse("all of " + name +
                           " is hidden (frozen or unprinted layers, invisible entities): nothing "
                           "is cut",
                       "Alles auf dem Blatt " + name +
                           " ist verborgen (gefrorene oder nicht gedruckte Ebenen, unsichtbare "
                           "Elemente): nichts wird geschnitten");
            else
                refuse("the drawing has no entities in " + name,
                       "Die Zeichnung hat auf dem Blatt " + name + " keine Elemente");
            if (m.contentTab > 0 && static_cast<std::size_t>(m.contentTab) < d.tabCaptions.size()) {
                const std::string layout = document::decodeForDisplay(
                    d.tabCaptions[static_cast<std::size_t>(m.contentTab)]);
                const std::string n = std::to_string(m.contentTab);
                m.refusal += "; layout \"" + layout + "\" has content: --tab " + n + " measures it";
                m.refusalGerman +=
                    "; das Layout \"" + layout + "\" hat Inhalt: --tab " + n + " misst es";
            }
        }
        return;
    }
    // Figures that are no numbers, or that no sheet ever had, are refused before anything is
    // made of them: not one of them is formatted into a message or a price.
    bool finite = std::isfinite(m.konturlang) && std::isfinite(m.netArea);
    for (double v : {m.minx, m.maxx, m.miny, m.maxy}) finite = finite && std::isfinite(v);
    for (double area : m.areas) finite = finite && std::isfinite(area);
    if (!finite) {
        refuse("the measured figures are no numbers",
               "Die gemessenen Maße sind keine Zahlen");
        return;
    }
    constexpr double kLimit = geometry::kBeyondAnyDrawing;
    bool sensible = m.konturlang <= kLimit && std::fabs(m.netArea) <= kLimit * kLimit;
    for (double v : {m.minx, m.maxx, m.miny, m.maxy}) sensible = sensible && std::fabs(v) <= kLimit;
    for (double area : m.areas) sensible = sensible && area <= kLimit * kLimit;
    if (!sensible) {
        refuse("the measured figures are beyond sense (more than a thousand kilometres)",
               "Die gemessenen Maße sind jenseits jeden Sinns (mehr als tausend Kilometer)");
        return;
    }

    if (m.tab != o.tab && m.tab >= 0 && m.tab < static_cast<int>(d.tabCaptions.size())) {
        const std::string &name = d.tabCaptions[static_cast<std::size_t>(m.tab)];
        warn("paper-space",
             "the model space is empty: measured from layout \"" + name + "\" (--tab " +
                 count(static_cast<std::size_t>(m.tab)) + ")",
             "Der Modellbereich ist leer: gemessen wurde das Layout \"" + name + "\"");
    }
    warnHidden(f, s, m);
    if (f.zeroLength > 0) {
        std::string at, atDe;
        listPoints(f.zeroLengthAt, static_cast<std::size_t>(f.zeroLength), s, at, atDe);
        const std::string n = count(static_cast<std::size_t>(f.zeroLength));
        const bool one = f.zeroLength == 1;
        warn("zero-length",
             n + (one ? " entity" : " entities") +
                 " of no length (a point drawn as a line, arc or circle) count for nothing, not "
                 "even in the size: at " +
                 at,
             n + (one ? " Element" : " Elemente") +
                 " ohne Länge (ein Punkt als Linie, Bogen oder Kreis gezeichnet) zählen nicht, "
                 "auch nicht zur Größe: bei " +
                 atDe);
    }

    // Limits hit while reading or drawing: the figures are of part of the drawing only.
    using namespace document;
    if (d.truncated)
        warn("truncated",
             "the file is cut off (it ends inside a section or without EOF): only what comes "
             "before the cut is measured",
             "Die Datei ist abgeschnitten (sie endet mitten in einem Abschnitt oder ohne EOF): "
             "gemessen ist nur, was vor dem Schnitt steht");
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
    // Contours not made (too many crossings, copies counted by length alone): parts, holes and
    // pierces are missing from the price.
    m.partial = (ri & kRenderVisitsCut) || (r & kIssueVerticesDropped) || a.unfinished;
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
    static const char *kGerman[contours::kMeasureKinds] = {"Schnittkonturen",
                                                           "Bemaßungen",
                                                           "Führungslinien",
                                                           "Schraffurgrenzen",
                                                           "Konstruktionslinien",
                                                           "Ansichtsfensterrahmen",
                                                           "Mittel-, verdeckte und Strichlinien",
                                                           "Netze (Flächen)"};
    static const char *kEnglish[contours::kMeasureKinds] = {"cut contours",
                                                            "dimensions",
                                                            "leaders",
                                                            "hatch boundaries",
                                                            "construction lines",
                                                            "viewport frames",
                                                            "centre, hidden and dashed lines",
                                                            "meshes (surfaces)"};
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
    // Left out although drawn like contours: said, since the drawing may mean them otherwise.
    const auto leftOut = [&](contours::MeasureKind k) {
        const auto i = static_cast<std::size_t>(k);
        return a.kindMeasured[i] ? 0.0 : a.lengthByKind[i] * s;
    };
    if (const double len = leftOut(contours::MeasureKind::Dashed); len > 0)
        warn("dashed-lines",
             number(len) + " mm drawn with a centre, hidden or dashed line type (centre marks, "
                           "bend lines) are not cut and left out",
             number(len, true) + " mm mit einer Mittel-, verdeckten oder Strichlinie gezeichnet "
                                 "(Mittellinien, Biegelinien) werden nicht geschnitten und fehlen");
    if (const double len = leftOut(contours::MeasureKind::Mesh); len > 0)
        warn("not-cut",
             "polygon and polyface meshes (" + number(len) +
                 " mm drawn) are surfaces, not cut contours: left out",
             "Polygon- und Flächennetze (" + number(len, true) +
                 " mm gezeichnet) sind Flächen, keine Schnittkonturen: sie fehlen");

    // The contours themselves.
    contourWarnings(a, s, m.warnings);
    const double width = m.maxx - m.minx, height = m.maxy - m.miny;
    if (a.closedCount == 0 && !a.unfinished)
        warn("no-closed-contour",
             "no closed contour: the part has no area and no weight of its own; still charged "
             "are the cut length and the material of its " +
                 number(width) + " x " + number(height) + " mm rectangle (with the allowance)",
             "Keine geschlossene Kontur: das Teil hat keine Fläche und kein eigenes Gewicht; "
             "berechnet werden trotzdem die Konturlänge und das Material seines Rechtecks von " +
                 number(width, true) + " x " + number(height, true) + " mm (mit Zugabe)");
    // The calculator takes width and length to two decimals, and the coverage from them.
    const double shownWidth = std::round(width * 100) / 100,
                 shownHeight = std::round(height * 100) / 100;
    if (shownWidth > 0 && shownHeight > 0) {
        const double coverage = m.netArea * 100 / (shownWidth * shownHeight);
        if (std::round(coverage * 100) / 100 > 100)
            warn("coverage-over-100",
                 "the parts cover " + number(coverage) + " % of their " + number(shownWidth) +
                     " x " + number(shownHeight) +
                     " mm rectangle, more than all of it (parts overlap or count twice, or the "
                     "rectangle is taken to hundredths): the part weight is too high",
                 "Die Teile bedecken " + number(coverage, true) + " % ihres Rechtecks von " +
                     number(shownWidth, true) + " x " + number(shownHeight, true) +
                     " mm, mehr als alles (Teile überlappen oder zählen doppelt, oder das Rechteck "
                     "ist auf Hundertstel gerundet): das Teilgewicht ist zu hoch");
    }
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

    // Entities were drawn, but not one point of a cut came of them: everything was left out (no
    // numbers, beyond sense, unusable splines, a file cut off before them) or has no length.
    if (!(m.konturlang > 0)) {
        std::string en = "nothing is left to measure", de = "Es bleibt nichts zu messen";
        for (const MeasureWarning &w : m.warnings)
            if (w.code != "no-closed-contour" && w.code != "zero-size" &&
                w.code.rfind("units-", 0) != 0) {
                en += ": " + w.english;
                de += ": " + w.german;
                break;
            }
        refuse(en, de);
    }
}

} // namespace quentar::render
