// Choosing the sheet format, keeping the nest of a full sheet, and the sheet lines of a quotation.
#include "costing/sheet_method.h"

#include "costing/decimal_text.h"

#include <cmath>

namespace quentar::costing {

namespace {

std::string mm(double v) {
    // Whole millimetres as such, else two decimals.
    return v == std::floor(v) && std::abs(v) < 1e9 ? std::to_string(static_cast<long long>(v))
                                                   : formatTwoDecimals(v);
}

} // namespace

DrawingParts drawingPartsOf(const document::Drawing &d, const render::DrawingMeasurement &m) {
    return {outlinesOf(d, m, true), outlinesOf(d, m, false), m.warnings.size()};
}

void SheetMethod::setDrawing(DrawingParts parts) {
    parts_ = std::move(parts);
    layout_.reset();
}

std::optional<SheetFormatRow> SheetMethod::format(const std::string &material, std::string &why,
                                                  std::string &whyGerman) const {
    auto row = formats.choose(material, choice.format, why);
    if (!row) {
        whyGerman = "Kein Tafelformat " + choice.format + " für " + material;
        return std::nullopt;
    }
    if (choice.trim) row->trim = *choice.trim;
    if (choice.gap) row->gap = *choice.gap;
    if (choice.price) row->price = *choice.price;
    if (2 * row->trim >= std::min(row->width, row->length)) {
        const std::string sheet = mm(row->width) + "x" + mm(row->length);
        why = "the edge trim of " + mm(row->trim) + " mm leaves nothing of the sheet " + sheet;
        whyGerman = "Der Randabstand von " + mm(row->trim) + " mm lässt von der Tafel " + sheet +
                    " nichts übrig";
        return std::nullopt;
    }
    return row;
}

SheetSettings SheetMethod::settings() const {
    SheetSettings s = formats.settings;
    if (choice.remnant) s.remnant = *choice.remnant;
    if (choice.rotationStep) s.rotationStep = *choice.rotationStep;
    return s;
}

SheetFigures SheetMethod::figures(const Engine &e) {
    std::string why, whyGerman;
    const auto row = format(e.MaterialBoxEd.text(), why, whyGerman);
    if (!row || !parts_) {
        SheetFigures out;
        out.blankCostPerPiece = e.blankMaterialCost();
        out.refusalEnglish = row ? "no drawing has been taken over" : why;
        out.refusalGerman = row ? "Es ist keine Zeichnung übernommen" : whyGerman;
        return out;
    }
    const SheetSettings s = settings();
    // The nest does not depend on the remnant policy: only the pricing reads it.
    SheetSettings nestKey = s, lastKey;
    nestKey.remnant = RemnantPolicy::WholeSheets;
    if (layout_) {
        lastKey = layout_->settings;
        lastKey.remnant = RemnantPolicy::WholeSheets;
    }
    if (!layout_ || !(layout_->format == *row) || !(lastKey == nestKey)) {
        const DrawingOutlines &o = s.islandsInPlace ? parts_->inPlace : parts_->apart;
        layout_ = layoutSheet(o, parts_->warnings, *row, s);
    }
    layout_->settings.remnant = s.remnant;
    return priceSheets(*layout_, e);
}

std::vector<std::string> sheetLines(const SheetFigures &s, const std::string &currency) {
    if (!s.valid)
        return {"Material nach Tafel: " + s.refusalGerman +
                "; die Materialkosten sind nach Zuschnitt berechnet"};
    std::vector<std::string> out;
    out.push_back("Tafel " + mm(s.format.width) + " x " + mm(s.format.length) + " mm (Rand " +
                  mm(s.format.trim) + ", Abstand " + mm(s.format.gap) +
                  "): " + std::to_string(s.piecesPerSheet) + " Stück/Tafel, " +
                  std::to_string(s.sheetsNeeded) + (s.sheetsNeeded == 1 ? " Tafel" : " Tafeln") +
                  ", Ausnutzung " + formatTwoDecimals(s.utilisation) + " %");
    out.push_back("Materialkosten/Stück nach Tafel: " + formatTwoDecimals(s.materialCostPerPiece) +
                  " " + currency +
                  (s.remnantUsed ? " (Reststück nicht berechnet)" : " (ganze Tafeln)") +
                  ", nach Zuschnitt: " + formatTwoDecimals(s.blankCostPerPiece) + " " + currency);
    for (const render::MeasureWarning &w : s.warnings) out.push_back("Warnung: " + w.german);
    return out;
}

} // namespace quentar::costing
