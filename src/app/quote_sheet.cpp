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
    if (!formats_) {
        formats_.emplace();
        std::vector<std::string> names;
        for (const costing::MaterialRow &r : calc.catalogue().rows()) names.push_back(r.name);
        formats_->addDefaults(names);
        std::vector<costing::SheetFileWarning> warnings;
        formats_->load(calc.dataFolder(), warnings);
        for (const costing::SheetFileWarning &w : warnings) fileWarnings_.push_back(w.english);
    }
    const std::string material = calc.engine().MaterialBoxEd.text();
    auto format = formats_->choose(material, options_.sheet, error);
    if (!format) return std::nullopt;
    if (!options_.trim.empty()) format->trim = *number(options_.trim);
    if (!options_.gap.empty()) format->gap = *number(options_.gap);
    if (!options_.price.empty()) format->price = *number(options_.price);
    if (2 * format->trim >= std::min(format->width, format->length)) {
        error = "the edge trim of " + mm(format->trim) + " mm leaves nothing of the sheet " +
                formatName(*format);
        return std::nullopt;
    }
    costing::SheetSettings settings = formats_->settings;
    if (!options_.remnant.empty())
        settings.remnant = options_.remnant == "whole" ? costing::RemnantPolicy::WholeSheets
                                                       : costing::RemnantPolicy::UsedFraction;
    if (!options_.rotation.empty()) settings.rotationStep = *number(options_.rotation);
    costing::SheetFigures s =
        costing::sheetFigures(costing::outlinesOf(d, m, settings.islandsInPlace), m.warnings.size(),
                              *format, settings, calc.engine());
    if (!s.valid) {
        error = s.refusalEnglish;
        return std::nullopt;
    }
    return s;
}

std::string sheetText(const costing::SheetFigures &s, const std::string &currency) {
    const std::string cur = " " + currency + "\n";
    std::string t = "  Tafel " + mm(s.format.width) + " x " + mm(s.format.length) + " mm (Rand " +
                    mm(s.format.trim) + ", Abstand " + mm(s.format.gap) +
                    "): " + std::to_string(s.piecesPerSheet) + " Stück/Tafel, " +
                    std::to_string(s.sheetsNeeded) + (s.sheetsNeeded == 1 ? " Tafel" : " Tafeln") +
                    ", Ausnutzung " + costing::formatTwoDecimals(s.utilisation) + " %\n";
    t +=
        "  Materialkosten/Stück nach Tafel: " + costing::formatTwoDecimals(s.materialCostPerPiece) +
        " " + currency + (s.remnantUsed ? " (Reststück nicht berechnet)" : " (ganze Tafeln)") +
        ", nach Zuschnitt: " + costing::formatTwoDecimals(s.blankCostPerPiece) + cur;
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
