// What the material dialog and its thickness and price-per-m² dialogs hold and compute.
#pragma once

#include "costing/catalogue.h"
#include "costing/fields.h"
#include "costing/sheet_formats.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace quentar::costing {

// "Materialstärke bearbeiten": one thickness and its feed rate. The feed shows in m/min and in
// m/s; editing either updates the other, and a guard keeps the two updates from chasing each
// other (m/s is shown with two decimals, so writing it back would round the m/min value away).
class ThicknessDialog {
public:
    ThicknessDialog();
    ThicknessDialog(const ThicknessDialog &) = delete;
    ThicknessDialog &operator=(const ThicknessDialog &) = delete;

    NumberField starked{"starked", 1.0, kAboveZero};          // sheet thickness, mm
    NumberField VorschubEd{"VorschubEd", 11.5, kNotNegative}; // feed rate, m/min
    NumberField RxSpinEdit1{"RxSpinEdit1", 0, kNotNegative};  // the same feed rate, m/s

    // The list row of the dialog's thickness and m/min feed (m/s is not read back).
    ThicknessRow row() const;
    // Shows a list row; a text that does not parse leaves its field as it was.
    void fill(const ThicknessRow &row);

private:
    bool coupling_ = false; // one of the two feed fields is being written from the other
};

// "Preis pro m² berechnen": the price per m² of bought plates with transport and surcharge
// spread over their area. Recomputed on showing and on every change of an input.
class SquareMetrePriceDialog {
public:
    SquareMetrePriceDialog();
    SquareMetrePriceDialog(const SquareMetrePriceDialog &) = delete;
    SquareMetrePriceDialog &operator=(const SquareMetrePriceDialog &) = delete;

    NumberField MengeEd{"MengeEd", 1, {.whole = true, .least = 0, .most = INT32_MAX}}; // plates
    NumberField BreiteEd{"BreiteEd", 172, kNotNegative};       // plate width, cm
    NumberField LangEd{"LangEd", 250, kNotNegative};           // plate length, cm
    NumberField PreisEd2{"PreisEd2", 4.9, kNotNegative};       // price per m² without charges
    NumberField transportEd{"transportEd", 9.9, kNotNegative}; // transport of the material
    NumberField ZuschlagEd{"ZuschlagEd", 0, kNotNegative};     // surcharge for a small quantity
    NumberField FlaecheEd{"FlaecheEd", 0, kAnyResult};         // result: area of the plates, m²
    NumberField PreisEd{"PreisEd", 0, kAnyResult};             // result: price per m²

    void recalculate();
    // Without a positive area there is no price per m²: PreisEd then shows 0.00 and the price
    // must not be taken over ("Preis übernehmen" is unavailable).
    bool hasPrice() const { return area_ > 0; }

private:
    double area_ = 0; // m², unrounded: the price divides by this, not by the shown area
};

// A number field that takes the decimal comma as the point ("2,5"), as a shop types sizes.
class CommaNumberField : public NumberField {
public:
    using NumberField::NumberField;
    bool setText(const std::string &text) override;
    std::optional<Refusal> check(const std::string &text) const override;
};

// "Tafelformat": one stock sheet format of the material being edited. The price is per sheet
// when given; without it the sheet is priced from the material's price (per kg with the
// thickness of the calculation, or per m²).
class SheetFormatDialog {
public:
    SheetFormatDialog();
    SheetFormatDialog(const SheetFormatDialog &) = delete;
    SheetFormatDialog &operator=(const SheetFormatDialog &) = delete;

    CommaNumberField BreiteEd{"TafelBreiteEd", 3000, {.least = 0, .leastExcluded = true,
                                                      .most = 100000}}; // width, mm
    CommaNumberField LaengeEd{"TafelLaengeEd", 1500, {.least = 0, .leastExcluded = true,
                                                      .most = 100000}}; // length, mm
    CommaNumberField RandEd{"TafelRandEd", 10, {.least = 0, .most = 100000}};   // edge trim, mm
    CommaNumberField AbstandEd{"TafelAbstandEd", 5, {.least = 0, .most = 100000}}; // gap, mm
    bool pricePerSheet = false; // the price below counts; off: from the material's price
    CommaNumberField PreisEd{"TafelPreisEd", 0, kNotNegative}; // price per sheet

    SheetFormatRow row() const; // material left empty: the material dialog's name is given later
    void fill(const SheetFormatRow &row);
};

// "Material bearbeiten": a material's name, price, weight, pricing mode and thickness list. The
// calculator keeps one dialog, so its values (and those of its helper dialogs) stay from one use
// to the next, as the user left them.
class MaterialDialog {
public:
    // Each shows its dialog modally and returns true for OK ("Preis übernehmen" for the price).
    using ThicknessRunner = std::function<bool(ThicknessDialog &)>;
    using PriceRunner = std::function<bool(SquareMetrePriceDialog &)>;
    using SheetRunner = std::function<bool(SheetFormatDialog &)>;

    std::string name;                        // "Name:" (Edit1)
    NumberField preised{"preised", 3.0, kNotNegative};     // price per kg (or per m²)
    NumberField SpezGewEd{"SpezGewEd", 7.8, kNotNegative}; // specific weight, kg/dm³
    bool preisqmCheck = false;               // price is per m²
    std::vector<ThicknessRow> thicknesses;   // thickness list: thickness, feed m/min
    ThicknessDialog thicknessDialog;
    SquareMetrePriceDialog priceDialog;
    std::vector<SheetFormatRow> sheetFormats; // the material's stock sheets, in order
    SheetFormatDialog sheetDialog;

    // "Neue Stärke...": the thickness dialog as last used; on OK a row is appended.
    void newThickness(const ThicknessRunner &show);
    // "Bearbeiten...": the dialog filled from row `index`; on OK the row is replaced.
    void editThickness(int index, const ThicknessRunner &show);
    // "Löschen": no question asked.
    void deleteThickness(int index);
    // "Preis pro m² berechnen...": on "Preis übernehmen" the price per m² becomes the price.
    // The pricing mode is left to the user.
    void calculatePrice(const PriceRunner &show);

    // "Neues Format...", "Format bearbeiten..." and "Format löschen" of the sheet list, as for
    // the thicknesses.
    void newSheetFormat(const SheetRunner &show);
    void editSheetFormat(int index, const SheetRunner &show);
    void deleteSheetFormat(int index);

    // The material row the dialog's values make: price and weight as general number texts.
    MaterialRow row() const;
    // Shows a material row (not its thicknesses); a price or weight text that does not parse
    // leaves its field as it was.
    void fill(const MaterialRow &row);
};

} // namespace quentar::costing
