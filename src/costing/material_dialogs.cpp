// The thickness list, the m/min and m/s coupling and the price per m² of the material dialogs.
#include "costing/material_dialogs.h"

#include "costing/decimal_text.h"

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
