// The sheet formats a shop buys per material, and how material by the sheet is charged; kept in
// a text file of their own beside material.dat.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

// One stock format of one material, mm.
struct SheetFormatRow {
    std::string material;        // the material's name in the catalogue
    double width = 3000;         // along x
    double length = 1500;        // along y
    double trim = 10;            // kept free along every edge
    double gap = 5;              // kept free between parts
    std::optional<double> price; // per sheet; none: from the material's price and the thickness
    bool operator==(const SheetFormatRow &) const = default;
};

// What a sheet method charges when the last sheet is not used up.
enum class RemnantPolicy {
    WholeSheets,  // every sheet started is paid in full
    UsedFraction, // the last sheet is paid up to where its parts end; the rest goes back to stock
};

struct SheetSettings {
    RemnantPolicy remnant = RemnantPolicy::WholeSheets;
    double rotationStep = 90;   // degrees between the rotations tried
    bool fillHoles = false;     // other parts may be nested into a part's holes
    bool islandsInPlace = true; // a part inside a hole of the drawing is cut from that hole
    double timeoutSeconds = 5;  // for one nest
    bool operator==(const SheetSettings &) const = default;
};

// Something wrong with a row of the file, in both languages; the row is not taken.
struct SheetFileWarning {
    std::string english, german;
};

class SheetFormats {
  public:
    static constexpr const char *kFileName = "sheets.txt";

    std::vector<SheetFormatRow> rows;
    SheetSettings settings;

    // 3000 × 1500, 2500 × 1250 and 2000 × 1000 for every material named, trim 10, gap 5, the
    // price from the material.
    void addDefaults(const std::vector<std::string> &materials);
    // The formats of `material`, in file order.
    std::vector<SheetFormatRow> formatsOf(const std::string &material) const;

    // The format `choice` names for `material`: "3000x1500" (the material's stored format of that
    // size, else that size with the default trim and gap and the price from the material), or
    // "N", the material's N-th stored format counted from 1. nullopt with `why` set otherwise.
    std::optional<SheetFormatRow> choose(const std::string &material, const std::string &choice,
                                         std::string &why) const;

    // The file's text: a comment saying what the fields are, the settings, one row per format.
    std::string fileText() const;
    // Takes a file's text: rows and settings that can be read replace the current ones; a
    // damaged row or setting is left out with a warning naming `fileName`, the row and the field.
    std::vector<SheetFileWarning> readText(std::string_view text, const std::string &fileName);

    // sheets.txt in `folder`; false when there is none (everything stays as it is).
    bool load(const std::string &folder, std::vector<SheetFileWarning> &warnings);
    // Through a temporary file: a failed write leaves the old file. False when not written.
    bool save(const std::string &folder) const;
};

// "3000x1500" (also "3000 x 1500", "3000X1500", decimals with "."): width and length in mm.
std::optional<std::pair<double, double>> parseSheetSize(std::string_view text);

} // namespace quentar::costing
