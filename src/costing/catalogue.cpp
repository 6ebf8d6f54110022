// The default catalogue, the feed-rate search and the edits of materials.
#include "costing/catalogue.h"

#include "costing/decimal_text.h"

#include <cmath>

namespace quentar::costing {

namespace {

struct DefaultFeed {
    double staerke, vorschubwert;
};

// Stainless steel; galvanised sheet cuts alike and shares the list.
constexpr DefaultFeed kEdelstahl[] = {
    {1, 11.5}, {1.5, 8.8}, {2, 7.3},   {2.5, 6.1}, {3, 5.0},  {3.5, 3.9},
    {4, 3.9},  {4.5, 3.2}, {5, 3.2},   {6, 2.6},   {8, 1.7},  {10, 1.25},
    {12, 0.9}, {15, 0.65}, {16, 0.57}, {18, 0.4},  {20, 0.4},
};
constexpr DefaultFeed kStahl[] = {
    {1, 8.2},  {1.5, 6.4}, {2, 5.4},  {2.5, 5.1}, {3, 4.9},  {3.5, 4.3},
    {4, 4.3},  {4.5, 4.0}, {5, 4.0},  {6, 3.3},   {8, 2.8},  {10, 2.4},
    {12, 1.9}, {15, 1.55}, {16, 1.4}, {18, 1.1},  {20, 1.1}, {25, 0.8},
};
constexpr DefaultFeed kAluminium[] = {
    {1, 14.5},  {1.5, 11.0}, {2, 8.6}, {2.5, 7.0}, {3, 5.8},  {3.5, 4.2}, {4, 4.2},
    {4.5, 3.0}, {5, 3.0},    {6, 2.3}, {8, 1.2},   {10, 0.8}, {12, 0.5},
};

void appendEntry(FeedTable &table, std::int32_t matnr, double staerke, double vorschubwert) {
    tvorschub *e = table.Add();
    e->matnr = matnr;
    e->staerke = staerke;
    e->vorschubwert = vorschubwert;
}

void deleteEntriesOf(FeedTable &table, int matnr) {
    // From the last entry to the first, so the indexes still to visit stay valid.
    for (int i = static_cast<int>(table.count) - 1; i >= 0; --i)
        if (table.data()[i].matnr == matnr) table.Delete(i);
}

void appendThicknessRows(FeedTable &table, int matnr, const std::vector<ThicknessRow> &rows) {
    for (const ThicknessRow &r : rows)
        appendEntry(table, matnr, tryParseDecimal(r.thickness).value_or(0),
                    tryParseDecimal(r.feed).value_or(0));
}

} // namespace

bool usableFeed(const tvorschub &e) {
    return std::isfinite(e.staerke) && e.staerke > 0 && std::isfinite(e.vorschubwert) &&
           e.vorschubwert > 0;
}

std::optional<double> findFeed(const FeedTable &table, int matnr, double t) {
    const tvorschub *best = nullptr;
    for (std::uint32_t i = 0; i < table.count; ++i) {
        const tvorschub &e = table.data()[i];
        if (e.matnr != matnr || !usableFeed(e)) continue;
        if (!best) {
            best = &e;
            continue;
        }
        // The smallest thickness at or above t wins; below t the thickest does. An equal
        // thickness never replaces, so the first of equals stays.
        const bool replaces =
            (e.staerke >= t && (best->staerke > e.staerke || best->staerke < t)) ||
            (e.staerke < t && best->staerke < e.staerke);
        if (replaces) best = &e;
    }
    if (!best) return std::nullopt;
    return best->vorschubwert;
}

std::vector<tvorschub> Catalogue::feedEntries() const {
    const tvorschub *d = vorschub.data();
    return d ? std::vector<tvorschub>(d, d + vorschub.count) : std::vector<tvorschub>();
}

void Catalogue::addDefaults() {
    struct Material {
        const char *name, *price, *weight;
        const DefaultFeed *feeds;
        std::size_t feedCount;
    };
    const Material materials[] = {
        {"Edelstahl", "3.00", "7.80", kEdelstahl, std::size(kEdelstahl)},
        {"Stahl", "1.00", "7.80", kStahl, std::size(kStahl)},
        {"Aluminium", "4.00", "2.70", kAluminium, std::size(kAluminium)},
        {"Verzinkt", "1.50", "7.80", kEdelstahl, std::size(kEdelstahl)},
    };
    for (const Material &m : materials) {
        const auto matnr = static_cast<std::int32_t>(rows_.size());
        rows_.push_back({m.name, m.price, m.weight, false});
        for (std::size_t i = 0; i < m.feedCount; ++i)
            appendEntry(vorschub, matnr, m.feeds[i].staerke, m.feeds[i].vorschubwert);
    }
}

void Catalogue::addMaterial(const MaterialRow &row, const std::vector<ThicknessRow> &thicknesses) {
    rows_.push_back(row);
    appendThicknessRows(vorschub, static_cast<int>(rows_.size()) - 1, thicknesses);
}

void Catalogue::replaceMaterial(int index, const MaterialRow &row,
                                const std::vector<ThicknessRow> &thicknesses) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    rows_[static_cast<std::size_t>(index)] = row;
    deleteEntriesOf(vorschub, index);
    appendThicknessRows(vorschub, index, thicknesses);
}

bool Catalogue::deleteMaterial(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    rows_.erase(rows_.begin() + index);
    deleteEntriesOf(vorschub, index);
    for (std::uint32_t i = 0; i < vorschub.count; ++i)
        if (vorschub.data()[i].matnr > index) --vorschub.data()[i].matnr;
    return true;
}

void Catalogue::sortFeedTable() {
    const int n = static_cast<int>(vorschub.count);
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (vorschub.data()[j].staerke < vorschub.data()[i].staerke) vorschub.Change(i, j);
}

std::vector<ThicknessRow> Catalogue::thicknessRows(int index) const {
    std::vector<ThicknessRow> out;
    for (const tvorschub &e : feedEntries())
        if (e.matnr == index)
            out.push_back({formatGeneral(e.staerke), formatGeneral(e.vorschubwert)});
    return out;
}

} // namespace quentar::costing
