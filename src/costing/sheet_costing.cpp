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
    double rowStep = 0;       // from one piece to the next in a column, mm
    bool turned = false;      // the pieces stand turned a quarter
    nesting::Box box;         // of the drawing's parts as drawn
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
    for (const bool turned : {false, true}) {
        const double w = turned ? box.height() : box.width();
        const double h = turned ? box.width() : box.height();
        const double across = std::floor((f.width - 2 * f.trim + f.gap) / (w + f.gap));
        const double down = std::floor((f.length - 2 * f.trim + f.gap) / (h + f.gap));
        if (!(across >= 1 && down >= 1) || across * down > 1e6) continue;
        const Grid g{static_cast<int>(across), static_cast<int>(down), w + f.gap, h + f.gap,
                     turned, box};
        if (g.perSheet() > best.perSheet()) best = g;
    }
    return best;
}

// The grid's pieces as a sheet's nest, column after column from the lower left corner.
nesting::SheetNest gridNest(const Grid &g, std::size_t parts, const nesting::SheetFormat &f) {
    nesting::SheetNest sheet;
    // Turned a quarter counter-clockwise about the origin, the box's corner (minx, miny) goes
    // to (-maxy, minx): the lower left corner of the turned box.
    const double cornerX = g.turned ? -g.box.maxy : g.box.minx;
    const double cornerY = g.turned ? g.box.minx : g.box.miny;
    for (int c = 0; c < g.across; ++c)
        for (int r = 0; r < g.down; ++r)
            for (std::size_t i = 0; i < parts; ++i)
                sheet.parts.push_back({static_cast<int>(i), g.turned ? 90.0 : 0.0,
                                       f.trim + c * g.step - cornerX,
                                       f.trim + r * g.rowStep - cornerY});
    sheet.usedLength = std::min(f.width, f.trim + g.across * g.step - f.gap / 2);
    return sheet;
}

void addWarning(std::vector<render::MeasureWarning> &warnings, const std::string &code,
                const std::string &english, const std::string &german) {
    warnings.push_back({code, english, german});
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

SheetLayout layoutSheet(const DrawingOutlines &outlines, std::size_t drawingWarnings,
                        const SheetFormatRow &format, const SheetSettings &settings) {
    SheetLayout out;
    out.format = format;
    out.settings = settings;
    const nesting::SheetFormat f{format.width, format.length, format.trim, format.gap};

    std::vector<nesting::NestItem> &items = out.items;
    double roomArea = 0; // islands cut from a hole take no room of their own
    for (const nesting::Polygon &p : outlines.parts) {
        items.push_back({p, 1});
        out.pieceArea += nesting::netArea(p);
        roomArea += nesting::netArea(p) - p.carriedArea;
    }
    if (items.empty() || out.pieceArea <= 0) {
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
    for (nesting::NestItem &it : items) it.quantity = bound;
    out.full = nesting::nest(items, f, ns);
    for (nesting::NestItem &it : items) it.quantity = 1;
    const nesting::NestResult &full = out.full;
    if (!full.refused.empty()) {
        out.refusalEnglish = full.refused.front().english;
        out.refusalGerman = full.refused.front().german;
        return out;
    }
    const bool timedOut = full.timedOut;
    bool capped = full.capped;
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
    capped = capped || (bound == perSheetCap && perSheet == bound);
    // The pieces whole in a grid of the drawing's box may come out better: a drawing of many
    // small contours (texts, arrows) nests slowly but lies in its box as drawn, and square parts
    // lie best in rows. The better of the two is the figure, and its picture.
    const Grid grid = gridOf(outlines, f);
    out.byGrid = grid.perSheet() > perSheet;
    if (out.byGrid) {
        perSheet = grid.perSheet();
        out.gridDown = grid.down;
        out.gridStep = grid.step;
        out.full.sheets.assign(1, gridNest(grid, items.size(), f));
    }
    if (perSheet <= 0) {
        out.refusalEnglish = "no piece of the drawing fits a sheet of this format";
        out.refusalGerman = "Kein Stück der Zeichnung passt auf eine Tafel dieses Formats";
        return out;
    }
    out.piecesPerSheet = perSheet;
    out.utilisation = perSheet * out.pieceArea / (f.width * f.length) * 100;
    out.valid = true;

    if (outlines.openContours > 0)
        addWarning(out.warnings, "nest-open-contours",
                   std::to_string(outlines.openContours) +
                       " open contour(s) are not nested: the part may be larger than its outline",
                   std::to_string(outlines.openContours) +
                       " offene Kontur(en) werden nicht geschachtelt: das Teil kann größer sein "
                       "als seine Umrisse");
    if (drawingWarnings > 0)
        addWarning(out.warnings, "nest-drawing-warnings",
                   "the drawing has warnings of its own: the nest is only as good as its contours",
                   "Die Zeichnung hat eigene Warnungen: die Schachtelung ist nur so gut wie ihre "
                   "Konturen");
    if (timedOut)
        addWarning(out.warnings, "nest-timed-out",
                   "nesting ran out of time: some parts were placed by their boxes, so more "
                   "sheets may be counted than needed",
                   "Die Zeit zum Schachteln lief ab: einige Teile wurden nach ihrem Rechteck "
                   "gelegt, es können mehr Tafeln gezählt sein als nötig");
    if (capped)
        addWarning(out.warnings, "nest-capped",
                   "more than " + std::to_string(ns.maxPartsPerSheet) +
                       " parts fit a sheet: only that many are counted per sheet",
                   "Mehr als " + std::to_string(ns.maxPartsPerSheet) +
                       " Teile passen auf eine Tafel: nur so viele werden je Tafel gezählt");
    return out;
}

SheetFigures priceSheets(const SheetLayout &layout, const Engine &e) {
    SheetFigures out;
    out.format = layout.format;
    out.blankCostPerPiece = e.blankMaterialCost();
    out.remnantUsed = layout.settings.remnant == RemnantPolicy::UsedFraction;
    if (!layout.valid) {
        out.refusalEnglish = layout.refusalEnglish;
        out.refusalGerman = layout.refusalGerman;
        return out;
    }
    const SheetFormatRow &format = layout.format;
    const nesting::SheetFormat f{format.width, format.length, format.trim, format.gap};
    const int quantity = std::max(1, static_cast<int>(std::lround(e.StueckEd.value())));
    const int perSheet = layout.piecesPerSheet;
    const int parts = static_cast<int>(layout.items.size());
    out.firstSheet = layout.full;
    if (!layout.full.sheets.empty())
        out.picture = nesting::pictureOf(layout.full.sheets[0], layout.items, f);
    out.piecesPerSheet = perSheet;
    out.sheetsNeeded = (quantity + perSheet - 1) / perSheet;
    out.utilisation = layout.utilisation;
    // The last sheet holds what is left, and its nest is the first rounds of a full sheet's: each
    // part goes where it would go on an empty sheet with the same ones before it.
    const int last = quantity - (out.sheetsNeeded - 1) * perSheet;
    double lastFraction = 1;
    if (out.remnantUsed && layout.byGrid)
        lastFraction = std::min(f.width, f.trim + (last + layout.gridDown - 1) / layout.gridDown *
                                                      layout.gridStep) /
                       f.width;
    else if (out.remnantUsed)
        lastFraction = usedLengthOf(layout.full.sheets[0],
                                    static_cast<std::size_t>(last * parts), layout.items, f) /
                       f.width;
    out.chargedSheets = (out.sheetsNeeded - 1) + lastFraction;
    out.sheetPrice = sheetPriceOf(format, e) * (e.mataufschlagEd.value() + 100) / 100;
    out.materialCostPerPiece = out.chargedSheets * out.sheetPrice / quantity;
    out.warnings = layout.warnings;
    out.valid = true;
    return out;
}

SheetFigures sheetFigures(const DrawingOutlines &outlines, std::size_t drawingWarnings,
                          const SheetFormatRow &format, const SheetSettings &settings,
                          const Engine &e) {
    return priceSheets(layoutSheet(outlines, drawingWarnings, format, settings), e);
}

} // namespace quentar::costing
