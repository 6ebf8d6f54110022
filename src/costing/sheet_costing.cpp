// The sheet method's figures from nests of the drawing's parts.
#include "costing/sheet_costing.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quentar::costing {

namespace {

nesting::NestSettings nestSettingsOf(const SheetSettings &s) {
    nesting::NestSettings n;
    n.rotationStep = s.rotationStep;
    n.fillHoles = s.fillHoles;
    n.timeoutSeconds = s.timeoutSeconds;
    return n;
}

// How far along x the first `count` parts of a sheet reach, plus half the gap, mm.
double usedLengthOf(const nesting::SheetNest &sheet, std::size_t count,
                    const std::vector<nesting::NestItem> &items, const nesting::SheetFormat &f) {
    double right = f.trim;
    for (std::size_t i = 0; i < count && i < sheet.parts.size(); ++i) {
        const nesting::Placement &p = sheet.parts[i];
        const nesting::Polygon turned =
            nesting::rotated(items[static_cast<std::size_t>(p.item)].shape, p.rotation);
        right = std::max(right, nesting::boxOf(turned.outer).maxx + p.x);
    }
    return std::min(f.width, right + f.gap / 2);
}

// Whole pieces as drawn, each in its box, in columns along x.
struct Grid {
    int across = 0, down = 0; // columns, and pieces in each
    double step = 0;          // from one column to the next, mm
    int perSheet() const { return across * down; }
};

Grid gridOf(const DrawingOutlines &outlines, const nesting::SheetFormat &f) {
    nesting::Box box;
    bool first = true;
    for (const nesting::Polygon &p : outlines.parts) {
        const nesting::Box b = nesting::boxOf(p.outer);
        box = first ? b
                    : nesting::Box{std::min(box.minx, b.minx), std::min(box.miny, b.miny),
                                   std::max(box.maxx, b.maxx), std::max(box.maxy, b.maxy)};
        first = false;
    }
    Grid best;
    for (const auto &[w, h] : {std::pair{box.width(), box.height()}, {box.height(), box.width()}}) {
        const double across = std::floor((f.width - 2 * f.trim + f.gap) / (w + f.gap));
        const double down = std::floor((f.length - 2 * f.trim + f.gap) / (h + f.gap));
        if (!(across >= 1 && down >= 1) || across * down > 1e6) continue;
        const Grid g{static_cast<int>(across), static_cast<int>(down), w + f.gap};
        if (g.perSheet() > best.perSheet()) best = g;
    }
    return best;
}

void addWarning(SheetFigures &out, const std::string &code, const std::string &english,
                const std::string &german) {
    out.warnings.push_back({code, english, german});
}

} // namespace

double sheetPriceOf(const SheetFormatRow &format, const Engine &e) {
    if (format.price) return *format.price;
    if (e.qmPreisCheck.checked())
        return e.MatPreisEd.value() * (format.width / 1000 * (format.length / 1000));
    // kg/dm³ × dm³, as the blank's weight is computed.
    const double kg = e.SpezGewEd.value() * (format.width / 100) * (format.length / 100) *
                      (e.MatstarkEd.value() / 100);
    return kg * e.MatPreisEd.value();
}

SheetFigures sheetFigures(const DrawingOutlines &outlines, std::size_t drawingWarnings,
                          const SheetFormatRow &format, const SheetSettings &settings,
                          const Engine &e) {
    SheetFigures out;
    out.format = format;
    out.blankCostPerPiece = e.matkostenEd.value();
    out.remnantUsed = settings.remnant == RemnantPolicy::UsedFraction;
    const nesting::SheetFormat f{format.width, format.length, format.trim, format.gap};
    const int quantity = std::max(1, static_cast<int>(std::lround(e.StueckEd.value())));

    std::vector<nesting::NestItem> items;
    double pieceArea = 0, roomArea = 0; // islands cut from a hole take no room of their own
    for (const nesting::Polygon &p : outlines.parts) {
        items.push_back({p, 1});
        pieceArea += nesting::netArea(p);
        roomArea += nesting::netArea(p) - p.carriedArea;
    }
    if (items.empty() || pieceArea <= 0) {
        out.refusalEnglish = "the drawing has no closed contour to nest";
        out.refusalGerman = "Die Zeichnung hat keine geschlossene Kontur zum Schachteln";
        return out;
    }
    const double usable = (f.width - 2 * f.trim) * (f.length - 2 * f.trim);
    nesting::NestSettings ns = nestSettingsOf(settings);
    const int perSheetCap = std::max(1, ns.maxPartsPerSheet / static_cast<int>(items.size()));
    const int bound = std::clamp(
        static_cast<int>(std::floor(usable / std::max(roomArea, 1e-6))) + 1, 1, perSheetCap);

    // A full sheet: as many pieces as fit, each piece all of the drawing's parts.
    ns.maxSheets = 1;
    ns.piecesInTurn = true;
    auto fullSheet = [&](int pieces) {
        for (nesting::NestItem &it : items) it.quantity = pieces;
        return nesting::nest(items, f, ns);
    };
    nesting::NestResult full = fullSheet(bound);
    if (!full.refused.empty()) {
        out.refusalEnglish = full.refused.front().english;
        out.refusalGerman = full.refused.front().german;
        return out;
    }
    bool timedOut = full.timedOut, capped = full.capped;
    // The parts are taken in turn, so a full sheet holds whole pieces but for a few parts of
    // the next ones: the pieces are the fewest of any part.
    int perSheet = INT_MAX;
    for (std::size_t i = 0; i < items.size(); ++i) {
        int count = 0;
        if (!full.sheets.empty())
            for (const nesting::Placement &p : full.sheets[0].parts)
                count += p.item == static_cast<int>(i);
        perSheet = std::min(perSheet, count);
    }
    const int parts = static_cast<int>(items.size());
    capped = capped || (bound == perSheetCap && perSheet == bound);
    // Out of time, the pieces whole in a grid of the drawing's box may come out better: a drawing
    // of many small contours (texts, arrows) nests slowly but lies in its box as drawn.
    const Grid grid = timedOut ? gridOf(outlines, f) : Grid{};
    const bool byGrid = grid.perSheet() > perSheet;
    if (byGrid) perSheet = grid.perSheet();
    if (perSheet <= 0) {
        out.refusalEnglish = "no piece of the drawing fits a sheet of this format";
        out.refusalGerman = "Kein Stück der Zeichnung passt auf eine Tafel dieses Formats";
        return out;
    }
    out.firstSheet = full;
    out.piecesPerSheet = perSheet;
    out.sheetsNeeded = (quantity + perSheet - 1) / perSheet;
    out.utilisation = perSheet * pieceArea / (f.width * f.length) * 100;
    // The last sheet holds what is left, and its nest is the first rounds of a full sheet's: each
    // part goes where it would go on an empty sheet with the same ones before it.
    const int last = quantity - (out.sheetsNeeded - 1) * perSheet;
    double lastFraction = 1;
    if (settings.remnant == RemnantPolicy::UsedFraction && byGrid)
        lastFraction =
            std::min(f.width, f.trim + (last + grid.down - 1) / grid.down * grid.step) / f.width;
    else if (settings.remnant == RemnantPolicy::UsedFraction)
        lastFraction =
            usedLengthOf(full.sheets[0], static_cast<std::size_t>(last * parts), items, f) /
            f.width;
    out.chargedSheets = (out.sheetsNeeded - 1) + lastFraction;
    out.sheetPrice = sheetPriceOf(format, e) * (e.mataufschlagEd.value() + 100) / 100;
    out.materialCostPerPiece = out.chargedSheets * out.sheetPrice / quantity;
    out.valid = true;

    if (outlines.openContours > 0)
        addWarning(out, "nest-open-contours",
                   std::to_string(outlines.openContours) +
                       " open contour(s) are not nested: the part may be larger than its outline",
                   std::to_string(outlines.openContours) +
                       " offene Kontur(en) werden nicht geschachtelt: das Teil kann größer sein "
                       "als seine Umrisse");
    if (drawingWarnings > 0)
        addWarning(out, "nest-drawing-warnings",
                   "the drawing has warnings of its own: the nest is only as good as its contours",
                   "Die Zeichnung hat eigene Warnungen: die Schachtelung ist nur so gut wie ihre "
                   "Konturen");
    if (timedOut)
        addWarning(out, "nest-timed-out",
                   "nesting ran out of time: some parts were placed by their boxes, so more "
                   "sheets may be counted than needed",
                   "Die Zeit zum Schachteln lief ab: einige Teile wurden nach ihrem Rechteck "
                   "gelegt, es können mehr Tafeln gezählt sein als nötig");
    if (capped)
        addWarning(out, "nest-capped",
                   "more than " + std::to_string(ns.maxPartsPerSheet) +
                       " parts fit a sheet: only that many are counted per sheet",
                   "Mehr als " + std::to_string(ns.maxPartsPerSheet) +
                       " Teile passen auf eine Tafel: nur so viele werden je Tafel gezählt");
    return out;
}

} // namespace quentar::costing
