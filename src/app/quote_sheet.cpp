// The sheet options of quentar quote, the choice of the format and the sheet figures' outputs.
#include "app/quote_sheet.h"

#include "app/exit_codes.h"
#include "costing/decimal_text.h"

#include <charconv>
#include <cmath>

namespace quentar::app {

namespace {

std::optional<double> number(const std::string &s) {
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string mm(double v) {
    // Whole millimetres as such, else two decimals.
    return v == std::floor(v) && std::abs(v) < 1e9 ? std::to_string(static_cast<long long>(v))
                                                   : costing::formatTwoDecimals(v);
}

std::string formatName(const costing::SheetFormatRow &f) {
    return mm(f.width) + "x" + mm(f.length);
}

} // namespace

bool SheetOptions::parse(const std::vector<std::string> &args, std::size_t &i, bool &ok) {
    std::string *target = nullptr;
    const std::string &a = args[i];
    if (a == "--sheet")
        target = &sheet;
    else if (a == "--sheet-trim")
        target = &trim;
    else if (a == "--sheet-gap")
        target = &gap;
    else if (a == "--sheet-price")
        target = &price;
    else if (a == "--remnant")
        target = &remnant;
    else if (a == "--rotation-step")
        target = &rotation;
    else
        return false;
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        ok = false;
        return true;
    }
    *target = args[++i];
    return true;
}

std::optional<std::string> SheetOptions::check() const {
    const bool detail =
        !trim.empty() || !gap.empty() || !price.empty() || !remnant.empty() || !rotation.empty();
    if (!requested() && detail) return "the sheet options need --sheet WIDTHxLENGTH or --sheet N";
    for (const auto &[name, value] :
         {std::pair{"--sheet-trim", &trim}, {"--sheet-gap", &gap}, {"--sheet-price", &price}}) {
        if (value->empty()) continue;
        const auto v = number(*value);
        if (!v || *v < 0 || *v > 100000)
            return std::string(name) + ": " + *value + " is not a number from 0 to 100000";
    }
    if (!remnant.empty() && remnant != "whole" && remnant != "used")
        return "--remnant: " + remnant + " is not whole or used";
    if (!rotation.empty()) {
        const auto v = number(rotation);
        if (!v || *v <= 0 || *v > 360 || std::abs(360 / *v - std::round(360 / *v)) > 1e-9)
            return "--rotation-step: " + rotation + " does not divide 360 degrees evenly";
    }
    return std::nullopt;
}

std::optional<costing::SheetFigures> SheetQuoting::figures(costing::Calculator &calc,
                                                           const document::Drawing &d,
                                                           const render::DrawingMeasurement &m,
                                                           std::string &error) {
    if (!warned_) {
        // Every drawing's calculator reads the same file: its refused rows are said once.
        warned_ = true;
        for (const costing::SheetFileWarning &w : calc.sheets().fileWarnings)
            fileWarnings_.push_back(w.english);
    }
    costing::SheetChoice choice;
    choice.on = true;
    choice.format = options_.sheet;
    if (!options_.trim.empty()) choice.trim = *number(options_.trim);
    if (!options_.gap.empty()) choice.gap = *number(options_.gap);
    if (!options_.price.empty()) choice.price = *number(options_.price);
    if (!options_.remnant.empty())
        choice.remnant = options_.remnant == "whole" ? costing::RemnantPolicy::WholeSheets
                                                     : costing::RemnantPolicy::UsedFraction;
    if (!options_.rotation.empty()) choice.rotationStep = *number(options_.rotation);
    // As the window does it: the drawing's parts, then the choice, and the material cost (and so
    // every price) follows the sheets.
    calc.setSheetDrawing(costing::drawingPartsOf(d, m));
    calc.setSheetChoice(choice);
    costing::SheetFigures s = calc.sheetFigures();
    if (!s.valid) {
        error = s.refusalEnglish;
        return std::nullopt;
    }
    return s;
}

std::string sheetText(const costing::SheetFigures &s, const std::string &currency) {
    std::string t;
    for (const std::string &line : costing::sheetLines(s, currency)) t += "  " + line + "\n";
    return t;
}

void writeSheetJson(JsonWriter &j, const costing::SheetFigures &s) {
    j.key("sheet").beginObject();
    j.field("format", formatName(s.format))
        .field("width", s.format.width)
        .field("length", s.format.length)
        .field("trim", s.format.trim)
        .field("gap", s.format.gap)
        .field("piecesPerSheet", s.piecesPerSheet)
        .field("sheetsNeeded", s.sheetsNeeded)
        .field("utilisation", costing::formatTwoDecimals(s.utilisation))
        .field("sheetPrice", costing::formatTwoDecimals(s.sheetPrice))
        .field("remnant", s.remnantUsed ? "used" : "whole")
        .field("chargedSheets", s.chargedSheets)
        .field("materialCostPerPiece", costing::formatTwoDecimals(s.materialCostPerPiece))
        .field("blankMaterialCostPerPiece", costing::formatTwoDecimals(s.blankCostPerPiece));
    j.endObject();
}

std::vector<std::string> sheetCsvHeader() {
    return {"sheet_format",        "sheet_pieces_per_sheet",
            "sheet_sheets_needed", "sheet_utilisation",
            "sheet_price",         "sheet_material_cost_per_piece"};
}

std::vector<std::string> sheetCsvCells(const costing::SheetFigures &s) {
    return {formatName(s.format),
            std::to_string(s.piecesPerSheet),
            std::to_string(s.sheetsNeeded),
            costing::formatTwoDecimals(s.utilisation),
            costing::formatTwoDecimals(s.sheetPrice),
            costing::formatTwoDecimals(s.materialCostPerPiece)};
}

} // namespace quentar::app
