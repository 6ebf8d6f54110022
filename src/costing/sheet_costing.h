// Material by the sheet: how many pieces a stock sheet takes, how many sheets the order needs,
// and what the material of one piece then costs, beside the blank method's figure.
#pragma once

#include "costing/engine.h"
#include "costing/part_outline.h"
#include "costing/sheet_formats.h"
#include "nesting/nester.h"
#include "render/measure_drawing.h"

#include <string>
#include <vector>

namespace quentar::costing {

struct SheetFigures {
    bool valid = false; // false: no figures, `refusalEnglish` says why
    std::string refusalEnglish, refusalGerman;
    SheetFormatRow format;
    int piecesPerSheet = 0;          // on a full sheet
    int sheetsNeeded = 0;            // for the order quantity
    double utilisation = 0;          // % of a full sheet's area that its pieces cover
    double sheetPrice = 0;           // one sheet with the material mark-up, currency
    double chargedSheets = 0;        // sheets paid for under the remnant policy
    double materialCostPerPiece = 0; // chargedSheets × sheetPrice / quantity, currency
    double blankCostPerPiece = 0;    // the blank method's material cost (matkostenEd)
    bool remnantUsed = false;        // charged by the used fraction of the last sheet
    std::vector<render::MeasureWarning> warnings; // why the figures may not be what they seem
    nesting::NestResult firstSheet;               // the nest of a full sheet, for pictures
};

// The sheet price before the mark-up: the row's own, else the sheet's area at the price per m²,
// or its weight (thickness and specific weight from the engine) at the price per kg.
double sheetPriceOf(const SheetFormatRow &format, const Engine &e);

// Nests the parts of one drawing piece on `format` for the engine's quantity and prices the
// sheets with the engine's material price, thickness and mark-up. `drawingWarnings`: how many
// warnings the drawing's measurement carries.
SheetFigures sheetFigures(const DrawingOutlines &outlines, std::size_t drawingWarnings,
                          const SheetFormatRow &format, const SheetSettings &settings,
                          const Engine &e);

} // namespace quentar::costing
