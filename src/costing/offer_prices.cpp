// Building the offer-price text by running the engine through the tier quantities.
#include "costing/offer_prices.h"

#include "costing/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace quentar::costing {

namespace {

void addPriceLines(Engine &engine, const std::vector<std::int32_t> &quantities,
                   const std::string &currency, std::vector<std::string> &lines) {
    for (std::int32_t k : quantities) {
        // The quantity field clamps, so the line shows the quantity actually priced.
        engine.StueckEd.setValue(k);
        lines.push_back("Angebotspreis " + engine.StueckEd.text() +
                        " St\xC3\xBC"
                        "ck - Preis/St\xC3\xBC"
                        "ck: " +
                        engine.PreisProStueckEd.text() + " " + currency);
    }
}

} // namespace

std::vector<std::string> CalcAngebotspreise(Engine &engine, const TierList &tiers,
                                            const std::string &currency) {
    const double q0 = std::trunc(engine.StueckEd.value());
    // Writing the quantity back runs the tier lookup, which would replace a discount the user set
    // by hand, and every figure after it: the quotation would no longer be the one shown.
    std::vector<std::string> before;
    for (const Field *f : engine.fields()) before.push_back(f->text());

    std::vector<std::int32_t> quantities;
    for (const TierRow &r : tiers.rows())
        if (auto k = tryParseInt32(r.fromQuantity)) quantities.push_back(*k);
    std::sort(quantities.begin(), quantities.end());

    std::vector<std::string> lines;
    lines.push_back("Angebotspreise incl. Programmkosten in den Positionen:");
    addPriceLines(engine, quantities, currency, lines);

    lines.emplace_back();
    lines.push_back("Angebotspreis - Wiederholauftr\xC3\xA4ge, ohne Programmkosten");
    // Repeat orders need no new program; initial effort and the effort rows still count.
    const double programming = engine.ProgrammierEd.dayFraction();
    engine.ProgrammierEd.setTimeOfDay(0);
    engine.ProgrammierEdChange();
    addPriceLines(engine, quantities, currency, lines);

    engine.ProgrammierEd.setTimeOfDay(programming);
    engine.ProgrammierEdChange();
    engine.StueckEd.setValue(q0);
    // Inputs come before the results in the field order, so a field set back runs the formulas
    // below it before their own figures are compared.
    const std::vector<Field *> &fields = engine.fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i]->text() != before[i]) fields[i]->setText(before[i]);
    return lines;
}

} // namespace quentar::costing
