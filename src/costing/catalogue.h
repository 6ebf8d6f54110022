// The materials catalogue: material rows, the shared feed table, defaults, edits, material.dat.
#pragma once

#include "document/dyna_array.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

// One entry of the feed table; in material.dat it takes 20 bytes, fields in this order.
struct tvorschub {
    std::int32_t matnr;  // row index of the material in the catalogue
    double staerke;      // sheet thickness, mm
    double vorschubwert; // cutting feed rate, m/min
};

// All materials' feed entries in one list; `current` is the owner's element pointer (avorschub).
using FeedTable = document::TypedDynaArray<tvorschub>;

// One material as the "Materialien" list shows it. Price and weight stay the texts they were
// entered or loaded as and are parsed when used.
struct MaterialRow {
    std::string name;
    std::string price;           // currency per kg, or per m² when perSquareMetre
    std::string weight;          // specific weight, kg/dm³
    bool perSquareMetre = false; // shown as "Ja", else "Nein"

    const char *flagText() const { return perSquareMetre ? "Ja" : "Nein"; }
    bool operator==(const MaterialRow &) const = default;
};

// A row of the material dialog's thickness list: the texts it shows.
struct ThicknessRow {
    std::string thickness; // mm
    std::string feed;      // m/min
    bool operator==(const ThicknessRow &) const = default;
};

// Whether a feed entry can be used: its thickness and its rate are numbers above 0. A damaged
// material.dat may hold others; they are left out of the lookup (and named when it is read).
bool usableFeed(const tvorschub &entry);

// The feed rate the table gives material `matnr` at thickness `t` mm: the entry with the smallest
// thickness at or above t, else the thickest one; among equal thicknesses the first in table
// order. No interpolation. Entries that are not usableFeed are not looked at. nullopt when the
// material has no such entry.
std::optional<double> findFeed(const FeedTable &table, int matnr, double t);

class Catalogue {
public:
    // How reading material.dat went.
    enum class LoadResult {
        Missing, // no file (or it cannot be read): the catalogue is unchanged
        Loaded,  // the file's contents replaced what it holds
        Corrupt  // truncated or damaged: rejected as a whole, the catalogue is unchanged
    };

    static constexpr const char *kFileName = "material.dat";

    // An empty catalogue; addDefaults() seeds it.
    Catalogue() = default;

    const std::vector<MaterialRow> &rows() const { return rows_; }
    const FeedTable &feedTable() const { return vorschub; }
    // The entries of the feed table, in order.
    std::vector<tvorschub> feedEntries() const;

    // Appends the four default materials and their 65 feed entries.
    void addDefaults();

    // Appends a material; its feed entries come from the dialog's thickness rows in list order
    // (a text that does not parse gives 0).
    void addMaterial(const MaterialRow &row, const std::vector<ThicknessRow> &thicknesses);
    // Replaces material `index` (a valid row) and all its feed entries; the new entries go to the
    // end of the table.
    void replaceMaterial(int index, const MaterialRow &row,
                         const std::vector<ThicknessRow> &thicknesses);
    // Deletes material `index` and its feed entries and renumbers the entries of the materials
    // after it. False for an index that is not a row.
    bool deleteMaterial(int index);
    // Sorts the whole feed table by thickness, ascending, with the exchange sort the edit dialog
    // has always used; it is not stable, and its order is what reaches the file.
    void sortFeedTable();
    // Material `index`'s feed entries as thickness-list rows, in table order.
    std::vector<ThicknessRow> thicknessRows(int index) const;

    // material.dat in `folder`. A file that is missing or corrupt leaves the catalogue as it is.
    LoadResult load(const std::string &folder);
    // Writes the whole file (through a temporary file, so a failed write leaves the old file).
    // False when it could not be written.
    bool save(const std::string &folder) const;
    // The bytes of material.dat for this catalogue.
    std::string fileBytes() const;
    // Takes the contents of material.dat bytes. Sections 2 (feed table) and 3 (flags) are
    // optional: a missing section leaves the feed table as it is, or all flags "Nein".
    LoadResult readFileBytes(std::string_view bytes);

private:
    std::vector<MaterialRow> rows_;
    FeedTable vorschub; // the shared feed table
};

} // namespace quentar::costing
