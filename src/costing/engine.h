// The calculation engine: the calculator's fields and the formulas from part to price.
#pragma once

#include "costing/catalogue.h"
#include "costing/fields.h"
#include "costing/tiers.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

// The figures a render pass measured in a drawing, in drawing units (mm).
struct DrawingFigures {
    double konturlang = 0;                 // total contour length to cut
    double konturminx = 0, konturmaxx = 0; // bounding box, x
    double konturminy = 0, konturmaxy = 0; // bounding box, y
    std::vector<double> flaechen;          // areas of the closed contours
    // The net area of the parts (their outlines less their holes) when the drawing's contours
    // were nested; without it the largest area less all others stands for it.
    std::optional<double> netArea;
    int32_t pierces = 0;                   // contours the laser starts on, one pierce each
};

// Every quantity is a field (fields.h) that holds what it shows. A change of a field runs the
// formulas that depend on it, each of which writes one field and so runs that field's handlers
// in turn, depth first. Because a field signals only when its text changes and every formula
// reads its inputs as displayed, each result is computed from the rounded figures the user sees
// (0.06 kg at 3.00/kg and 20 % is 0.22, not 0.2149...).
//
// The engine reads the material rows and the feed table from a catalogue and the tier rows from
// a tier list, both owned elsewhere and outliving it. It runs its start values when constructed.
//
// Decided here where the old behaviour was open:
// - A material without feed entries (or no material chosen) leaves `vorschubed` as it is: the
//   last feed rate stays, and the user sees and may correct it. Feed entries of a damaged file
//   (a rate or thickness that is no number, 0 or negative) are not looked up.
// - A feed rate of 0 (or below 1 mm a minute) is refused: the laser would cut in no time.
// - Values that make no sense (a quantity of 1.5, a negative rate, a thickness of 0, text that is
//   no number) are refused by their fields and marked; the calculation keeps the last value
//   taken instead of reading them as 0 or 1.
// - The laser time per piece is held whole: 25 hours are shown and costed as 25 hours.
// - The order total follows every cost it is built from, not only the rounded price per piece.
// - With transport charged per piece (TransportproStueckCheck) the transport is part of the cost
//   and price per piece, and the total is the price per piece times the quantity plus the
//   small-quantity surcharge. That is the total a customer checks against the price per piece,
//   and the transport is not charged a second time on the order.
class Engine {
public:
    Engine(const Catalogue &catalogue, const TierList &tiers);
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    // The fields, by their names in the calculator window.
    ChoiceField MaterialBoxEd;             // material chosen, row index in the catalogue
    NumberField StueckEd;                  // order quantity, pieces, 1 to 10,000,000
    NumberField MatstarkEd;                // sheet thickness, mm
    NumberField MatZugabeEd;               // allowance added on every side of the part, mm
    NumberField mataufschlagEd;            // mark-up on material, %
    NumberField StundensatzEd;             // machine rate, currency per hour
    NumberField RabattEd;                  // discount on the machine rate, %, 0 to 100
    NumberField FabrikationsStundensatzEd; // rate for the initial effort, currency per hour
    TimeField InitialEd;                   // initial effort, time
    NumberField ProgramStundenEd;          // programming rate, currency per hour
    TimeField ProgrammierEd;               // programming effort, time
    NumberField GewinnAufschlagEd;         // profit mark-up, %
    NumberField KleinMengenEd;             // small-quantity surcharge, currency, 0 to 100
    NumberField TransportEd;               // transport charge, currency, 0 to 100
    CheckField qmPreisCheck;               // material cost from the area, not the weight
    CheckField TransportproStueckCheck;    // transport charged per piece
    NumberField breited;                   // bounding width of the part, mm
    NumberField hoched;                    // bounding length of the part, mm
    NumberField KonturmmEd;                // total contour length to cut, mm
    NumberField FlaecheEd;                 // net part area, % of the bounding rectangle
    NumberField MatPreisEd;                // material price, currency per kg (or per m²)
    NumberField vorschubed;                // cutting feed rate, m/min, at least 0.001
    NumberField SpezGewEd;                 // specific weight, kg/dm³
    NumberField AnzLochEd;                 // additional round holes per piece, whole number
    NumberField DurchMesserEd;             // diameter of the additional holes, mm
    TimeField EinstechzeitEd;              // piercing time per additional hole, time
    NumberField PiercesEd;                 // pierces of the drawing's own contours, whole number
    // The piercing time is charged for the drawing's own contours too (pierces x piercing
    // time); off, only the additional holes are pierced, as the calculation always did.
    CheckField PierceContoursCheck;
    NumberField StundeEd;                  // rate of the ten effort rows, currency per hour
    TimeField DateTimePicker1, DateTimePicker2, DateTimePicker3, DateTimePicker4, DateTimePicker5,
        DateTimePicker6, DateTimePicker7, DateTimePicker8, DateTimePicker9,
        DateTimePicker10;         // the ten extra effort rows, time
    NumberField GewichtEd;        // material consumed per piece with allowance, kg
    NumberField TeilgewichtEd;    // weight of the finished part, kg
    TimeField LaserZeitEd;        // laser time per piece, whole duration (25 h stay 25 h)
    NumberField matkostenEd;      // material cost per piece, currency
    NumberField SchneidkostenEd;  // cutting cost per piece, currency
    NumberField lohnkostened;     // one-off labour cost of the order, currency
    NumberField GesamtKostenEd;   // total cost per piece, currency
    NumberField PreisProStueckEd; // selling price per piece, currency
    NumberField GesamtPreisEd;    // selling price of the order, currency

    // Effort row i: DateTimePicker<i>; i outside 1 to 10 is a caller's error and gives row 1.
    TimeField &effortTime(int i);

    // All fields in a stable order (the window's order, top to bottom), and lookup by name.
    const std::vector<Field *> &fields() const { return fields_; }
    std::vector<std::string> fieldNames() const;
    Field *field(std::string_view name) const;

    // The nine results of the formulas. The window lets the user type over most of them; a
    // setting given from outside (`quote --set`) may not.
    bool isComputed(const Field &f) const;
    // Why `text` would be refused as a setting of `f` from outside: a computed field, or a value
    // the field does not take.
    std::optional<Refusal> checkSetting(const Field &f, const std::string &text) const;
    // The fields whose shown text is refused, in field order: what the calculation runs with is
    // then not what they show.
    std::vector<const Field *> refusedFields() const;

    // The formulas; each writes the field it names.
    void calcgewicht();        // GewichtEd: the blank (part grown by the allowance) in kg
    void calcteilgewicht();    // TeilgewichtEd: the finished part in kg
    void calcmatkosten();      // matkostenEd: material with mark-up, by weight or by m²
    void calclaserzeit();      // LaserZeitEd, then calcschneidkosten in any case
    void calcschneidkosten();  // SchneidkostenEd: machine rate × laser hours less discount
    void calclohnkosten();     // lohnkostened: programming, initial effort, effort rows
    void calcgesamtkosten();   // GesamtKostenEd: cost per piece, labour spread over the order
    void calcpreisprostueck(); // PreisProStueckEd: cost per piece with profit
    void calcgesamtpreis();    // GesamtPreisEd: price of the order
    void selectvorschub();     // vorschubed: the feed table's rate for material and thickness
    void lookupTierDiscount(); // RabattEd: the discount of the tier the quantity falls in

    // Handlers that the calculator also runs itself.
    void StueckEdChange();      // tier lookup, then the total price and the cost per piece
    void ProgrammierEdChange(); // labour cost
    void MaterialBoxEdChange(); // applies the chosen material's price, weight and pricing mode

    // Refills the material box from the catalogue, keeping its index; with none chosen it
    // chooses the first material. Runs no handler.
    void updateMaterialBox();

    // Takes over a measured drawing: contour length, width, length and coverage (the largest
    // closed contour less all others, as a percentage of the displayed width × length; 100 when
    // that is 0), then recomputes weight and laser time even if no figure changed.
    void takeOverDrawing(const DrawingFigures &figures);

private:
    void installChecks();
    void wireHandlers();
    void setStartValues();

    const Catalogue &catalogue_;
    const TierList &tiers_;
    std::vector<Field *> fields_;
};

} // namespace quentar::costing
