// Quantity tiers: the discount from a quantity on, staffel.dat, and the tier dialog's values.
#pragma once

#include "costing/fields.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

// One tier as the "Staffelpreise" list shows it.
struct TierRow {
    std::string fromQuantity; // "Ab Stückzahl": whole number of pieces, decimal
    std::string discount;     // discount on the machine rate, %, general number text
    bool operator==(const TierRow &) const = default;
};

// Why a tier is not used: its from-quantity is no whole number from 1 to 10,000,000, or its
// discount no number from 0 to 100 (what the tier dialog takes). A damaged staffel.dat may hold
// such rows; they never apply, and they are named when the file is read. `field` receives
// which of the two it is ("fromQuantity" or "discount"), `value` its text.
std::optional<Refusal> tierRefusal(const TierRow &row, std::string *field = nullptr);

// The discount (%) of the tier that applies to `quantity` pieces: the row with the largest
// from-quantity at most `quantity`, the first of equal ones; 0 when none applies. Rows that
// tierRefusal refuses never apply.
double tierDiscount(const std::vector<TierRow> &rows, long long quantity);

// The tier list in insertion order; not sorted, duplicates allowed.
class TierList {
public:
    enum class LoadResult {
        Missing, // no file (or it cannot be read): the list is unchanged
        Loaded,  // the file's tiers replaced the list
        Corrupt  // truncated or damaged: rejected as a whole, the list is unchanged
    };

    static constexpr const char *kFileName = "staffel.dat";

    const std::vector<TierRow> &rows() const { return rows_; }
    void add(TierRow row) { rows_.push_back(std::move(row)); }
    // False for an index that is not a row.
    bool replace(int index, TierRow row);
    bool remove(int index);

    // staffel.dat in `folder`.
    LoadResult load(const std::string &folder);
    // Writes the whole file through a temporary file; false when it could not be written.
    bool save(const std::string &folder) const;
    // int32 N, then N times the from-quantity and the discount as string records.
    std::string fileBytes() const;
    LoadResult readFileBytes(std::string_view bytes);

private:
    std::vector<TierRow> rows_;
};

// The values of the tier dialog ("Staffelpreis bearbeiten"), kept between uses.
struct TierDialog {
    // "Stückzahl:", whole number of pieces, 1 to 10,000,000
    NumberField StueckEd{"StueckEd",
                         1,
                         {.whole = true,
                          .ranged = true,
                          .low = 1,
                          .high = 10'000'000,
                          .least = 1,
                          .most = 10'000'000}};
    // "Rabatt auf Maschinenstundensatz in %:", %; more than all of it cannot be given
    NumberField RabattEd{"RabattEd", 1.0, {.least = 0, .most = 100}};

    // The row the dialog's values make: the quantity truncated to a whole number, the discount
    // as a general number text.
    TierRow row() const;
    // Shows `row` in the dialog; a text that does not parse leaves its field as it was.
    void fill(const TierRow &row);
};

} // namespace quentar::costing
