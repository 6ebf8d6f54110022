// Material by the sheet as the calculator holds it: the stock formats, the user's choice, the
// drawing's outlines and the nest of a full sheet, priced for the fields as they are now.
#pragma once

#include "costing/engine.h"
#include "costing/part_outline.h"
#include "costing/sheet_costing.h"
#include "costing/sheet_formats.h"
#include "document/drawing.h"
#include "render/measure_drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace quentar::costing {

// Whether material is charged by the sheet, and on which format.
struct SheetChoice {
    bool on = false;
    // "3000x1500" (the material's stored format of that size, else that size with the default
    // trim and gap), or "N": the material's N-th stored format, counted from 1.
    std::string format = "1";
    // Departures from the chosen format and from the formats file's settings; none: as stored.
    std::optional<double> trim, gap, price;
    std::optional<RemnantPolicy> remnant;
    std::optional<double> rotationStep;
    bool operator==(const SheetChoice &) const = default;
};

// A drawing's parts as the sheet method nests them: islands cut from their holes or apart (the
// formats file says which), and how many warnings its measurement carries.
struct DrawingParts {
    DrawingOutlines inPlace, apart;
    std::size_t warnings = 0;
};
DrawingParts drawingPartsOf(const document::Drawing &d, const render::DrawingMeasurement &m);

class SheetMethod {
  public:
    SheetFormats formats;                       // defaults for every material, then sheets.txt
    std::vector<SheetFileWarning> fileWarnings; // rows of sheets.txt refused when it was read
    SheetChoice choice;

    // The drawing taken over; the last nest is forgotten.
    void setDrawing(DrawingParts parts);
    bool hasDrawing() const { return parts_.has_value(); }

    // The format `choice` names for `material`, its departures applied; nullopt with `why` (in
    // English and German) when there is no such format or its trim leaves nothing to cut from.
    std::optional<SheetFormatRow> format(const std::string &material, std::string &why,
                                         std::string &whyGerman) const;
    // The file's settings with the choice's departures.
    SheetSettings settings() const;

    // The figures for the engine's material, quantity and prices: not valid, with the refusal,
    // when there is no drawing, no such format, or the parts do not nest. Nests only when the
    // drawing, the format or the settings changed since the last nest.
    SheetFigures figures(const Engine &e);

  private:
    std::optional<DrawingParts> parts_;
    std::optional<SheetLayout> layout_;
};

// The sheet figures as lines of the quotation and the cost breakdown, in German: the format and
// its figures, the material cost beside the blank's, and the warnings; the refusal when they are
// not valid.
std::vector<std::string> sheetLines(const SheetFigures &s, const std::string &currency);

} // namespace quentar::costing
