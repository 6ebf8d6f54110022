// The refused values of the data files, in words.
#include "costing/damaged_values.h"

#include "costing/decimal_text.h"
#include "costing/fields.h"
#include "document/number_text.h"

#include <cmath>

namespace quentar::costing {

namespace {

// "abc is not a number", "-1 must be at least 0": the refused text followed by its reason.
std::optional<Refusal> checkNotNegative(const std::string &text) {
    static const NumberField rules("value", 0, kNotNegative);
    return rules.check(text);
}

std::string germanNumber(std::string text) {
    for (char &c : text)
        if (c == '.') c = ',';
    return text;
}

} // namespace

std::vector<DamagedValue> damagedValues(const Catalogue &catalogue, const std::string &file) {
    std::vector<DamagedValue> out;
    const std::vector<MaterialRow> &rows = catalogue.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MaterialRow &r = rows[i];
        const std::string where =
            file + ", material " + std::to_string(i + 1) + " (" + r.name + ")";
        const std::string wo = file + ", Material " + std::to_string(i + 1) + " (" + r.name + ")";
        const struct {
            const std::string &text;
            const char *english, *german;
        } values[] = {{r.price, "price", "Preis"},
                      {r.weight, "specific weight", "spezifisches Gewicht"}};
        for (const auto &v : values)
            if (const auto why = checkNotNegative(v.text))
                out.push_back({where + ", " + v.english + ": " + v.text + " " + refusalText(*why) +
                                   "; the material cannot be priced as it is",
                               wo + ", " + v.german + ": " + v.text + " " +
                                   refusalTextGerman(*why) +
                                   "; mit diesem Material kann nicht gerechnet werden",
                               static_cast<int>(i)});
    }
    const std::vector<tvorschub> feeds = catalogue.feedEntries();
    for (std::size_t i = 0; i < feeds.size(); ++i) {
        const tvorschub &e = feeds[i];
        if (usableFeed(e)) continue;
        const bool known = e.matnr >= 0 && static_cast<std::size_t>(e.matnr) < rows.size();
        const std::string name = known ? rows[static_cast<std::size_t>(e.matnr)].name
                                       : "material " + std::to_string(e.matnr + 1);
        const bool thicknessBad = !(std::isfinite(e.staerke) && e.staerke > 0);
        const double value = thicknessBad ? e.staerke : e.vorschubwert;
        const std::string text = document::shortestText(value);
        const std::string why = std::isfinite(value) ? "is not above 0" : "is not a number";
        const std::string whyDe =
            std::isfinite(value) ? "ist nicht größer als 0" : "ist keine Zahl";
        const std::string at = thicknessBad ? "" : ", " + formatGeneral(e.staerke) + " mm";
        out.push_back({file + ", feed entry " + std::to_string(i + 1) + " (" + name + at + "), " +
                           (thicknessBad ? "thickness" : "feed rate") + ": " + text + " " + why +
                           "; the entry is left out",
                       file + ", Vorschub-Eintrag " + std::to_string(i + 1) + " (" + name +
                           germanNumber(at) + "), " + (thicknessBad ? "Stärke" : "Vorschub") +
                           ": " + germanNumber(text) + " " + whyDe +
                           "; der Eintrag wird nicht verwendet",
                       -1});
    }
    return out;
}

std::vector<DamagedValue> damagedValues(const TierList &tiers, const std::string &file) {
    std::vector<DamagedValue> out;
    const std::vector<TierRow> &rows = tiers.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string field;
        const auto why = tierRefusal(rows[i], &field);
        if (!why) continue;
        const bool from = field == "fromQuantity";
        const std::string &text = from ? rows[i].fromQuantity : rows[i].discount;
        out.push_back({file + ", tier " + std::to_string(i + 1) + ", " +
                           (from ? "from quantity" : "discount") + ": " + text + " " +
                           refusalText(*why) + "; the tier is left out",
                       file + ", Staffel " + std::to_string(i + 1) + ", " +
                           (from ? "Ab Stückzahl" : "Rabatt") + ": " + text + " " +
                           refusalTextGerman(*why) + "; die Staffel wird nicht verwendet",
                       -1});
    }
    return out;
}

} // namespace quentar::costing
