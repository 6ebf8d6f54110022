// The thickness list, the m/min and m/s coupling and the price per m² of the material dialogs.
#include "costing/material_dialogs.h"

#include "costing/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace quentar::costing {

ThicknessDialog::ThicknessDialog() {
    VorschubEd.setChangeHandler([this] {
        if (coupling_) return;
        coupling_ = true;
        RxSpinEdit1.setValue(VorschubEd.value() / 60);
        coupling_ = false;
    });
    RxSpinEdit1.setChangeHandler([this] {
        if (coupling_) return;
        coupling_ = true;
        VorschubEd.setValue(RxSpinEdit1.value() * 60);
        coupling_ = false;
    });
    // Under the guard: m/sec shows two decimals, and writing it back would turn 11.5 into 11.4.
    coupling_ = true;
    RxSpinEdit1.setValue(VorschubEd.value() / 60);
    coupling_ = false;
}

ThicknessRow ThicknessDialog::row() const {
    return {formatGeneral(starked.value()), formatGeneral(VorschubEd.value())};
}

void ThicknessDialog::fill(const ThicknessRow &row) {
    if (auto t = tryParseDecimal(row.thickness)) starked.setValue(*t);
    if (auto f = tryParseDecimal(row.feed)) VorschubEd.setValue(*f);
}

SquareMetrePriceDialog::SquareMetrePriceDialog() {
    for (NumberField *f : {&MengeEd, &BreiteEd, &LangEd, &PreisEd2, &transportEd, &ZuschlagEd})
        f->setChangeHandler([this] { recalculate(); });
}

void SquareMetrePriceDialog::recalculate() {
    // Plates measured in centimetres: / 100 / 100 gives m².
    area_ = MengeEd.value() * BreiteEd.value() * LangEd.value() / 100 / 100;
    FlaecheEd.setValue(area_);
    if (hasPrice())
        PreisEd.setValue((area_ * PreisEd2.value() + transportEd.value() + ZuschlagEd.value()) /
                         area_);
    else
        PreisEd.setValue(0);
}

namespace {

// "2,5" as "2.5"; a text with a point, or with more than one comma, is left as typed.
std::string withDecimalPoint(const std::string &text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos ||
        text.find('.') != std::string::npos)
        return text;
    std::string out = text;
    out[comma] = '.';
    return out;
}

} // namespace

bool CommaNumberField::setText(const std::string &text) {
    return NumberField::setText(withDecimalPoint(text));
}

std::optional<Refusal> CommaNumberField::check(const std::string &text) const {
    return NumberField::check(withDecimalPoint(text));
}

SheetFormatDialog::SheetFormatDialog() {
    // A trim that leaves nothing of the sheet to cut from is no format.
    RandEd.setCheck([this](double v) -> std::optional<Refusal> {
        const double shorter = std::min(BreiteEd.value(), LaengeEd.value());
        // Shown to the cent: the largest trim that leaves a strip of the sheet.
        if (2 * v >= shorter)
            return Refusal{Refusal::Reason::AboveMost, std::ceil(shorter * 50) / 100 - 0.01};
        return std::nullopt;
    });
    for (NumberField *f : {&BreiteEd, &LaengeEd}) f->setChangeHandler([this] { RandEd.recheck(); });
}

SheetFormatRow SheetFormatDialog::row() const {
    SheetFormatRow r;
    r.width = BreiteEd.value();
    r.length = LaengeEd.value();
    r.trim = RandEd.value();
    r.gap = AbstandEd.value();
    if (pricePerSheet) r.price = PreisEd.value();
    return r;
}

void SheetFormatDialog::fill(const SheetFormatRow &row) {
    BreiteEd.setValue(row.width);
    LaengeEd.setValue(row.length);
    AbstandEd.setValue(row.gap);
    RandEd.setValue(row.trim);
    pricePerSheet = row.price.has_value();
    if (row.price) PreisEd.setValue(*row.price);
}

void MaterialDialog::newSheetFormat(const SheetRunner &show) {
    if (show(sheetDialog)) sheetFormats.push_back(sheetDialog.row());
}

void MaterialDialog::editSheetFormat(int index, const SheetRunner &show) {
    if (index < 0 || index >= static_cast<int>(sheetFormats.size())) return;
    sheetDialog.fill(sheetFormats[static_cast<std::size_t>(index)]);
    if (show(sheetDialog)) sheetFormats[static_cast<std::size_t>(index)] = sheetDialog.row();
}

void MaterialDialog::deleteSheetFormat(int index) {
    if (index < 0 || index >= static_cast<int>(sheetFormats.size())) return;
    sheetFormats.erase(sheetFormats.begin() + index);
}

void MaterialDialog::newThickness(const ThicknessRunner &show) {
    if (show(thicknessDialog)) thicknesses.push_back(thicknessDialog.row());
}

void MaterialDialog::editThickness(int index, const ThicknessRunner &show) {
    if (index < 0 || index >= static_cast<int>(thicknesses.size())) return;
    thicknessDialog.fill(thicknesses[static_cast<std::size_t>(index)]);
    if (show(thicknessDialog)) thicknesses[static_cast<std::size_t>(index)] = thicknessDialog.row();
}

void MaterialDialog::deleteThickness(int index) {
    if (index < 0 || index >= static_cast<int>(thicknesses.size())) return;
    thicknesses.erase(thicknesses.begin() + index);
}

void MaterialDialog::calculatePrice(const PriceRunner &show) {
    priceDialog.recalculate();
    if (show(priceDialog) && priceDialog.hasPrice()) preised.setValue(priceDialog.PreisEd.value());
}

MaterialRow MaterialDialog::row() const {
    return {name, formatGeneral(preised.value()), formatGeneral(SpezGewEd.value()), preisqmCheck};
}

void MaterialDialog::fill(const MaterialRow &row) {
    name = row.name;
    if (auto p = tryParseDecimal(row.price)) preised.setValue(*p);
    if (auto w = tryParseDecimal(row.weight)) SpezGewEd.setValue(*w);
    preisqmCheck = row.perSquareMetre;
}

} // namespace quentar::costing
