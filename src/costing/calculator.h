// The calculator without its window: engine, catalogue, tiers, their files, and the edits.
#pragma once

#include "costing/catalogue.h"
#include "costing/damaged_values.h"
#include "costing/engine.h"
#include "costing/material_dialogs.h"
#include "costing/tiers.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace quentar::costing {

// How an edit left the data file behind it.
enum class SaveResult {
    Unchanged,  // nothing was changed (cancelled, or no row chosen): the file was not touched
    Saved,      // the change is in the file
    WriteFailed // the change is kept in memory but the file could not be written
};

// Builds the state the calculator window starts with, in the order it always has: the engine's
// start values, the default catalogue, material.dat and staffel.dat from `dataFolder` where
// they exist, the material box, the feed rate, the tier discount and the first material. A
// missing or damaged file leaves the defaults (or no tiers) and is not overwritten until the
// user changes the catalogue (or the tiers); every such change writes its whole file at once.
class Calculator {
public:
    using MaterialRunner = std::function<bool(MaterialDialog &)>;
    using TierRunner = std::function<bool(TierDialog &)>;

    explicit Calculator(std::string dataFolder);
    Calculator(const Calculator &) = delete;
    Calculator &operator=(const Calculator &) = delete;

    Engine &engine() { return engine_; }
    const Catalogue &catalogue() const { return catalogue_; }
    const TierList &tiers() const { return tiers_; }
    const std::string &dataFolder() const { return dataFolder_; }
    // How reading the two files went at start.
    Catalogue::LoadResult materialFileState() const { return materialLoad_; }
    TierList::LoadResult tierFileState() const { return tierLoad_; }
    // The values of the two files that are refused (a price that is no number, a feed of 0, a
    // discount of 150 %), materials first; kept up to date with every change.
    const std::vector<DamagedValue> &damagedValues() const { return damaged_; }

    std::string WaehrEd = "EUR"; // currency shown after every amount, free text
    // Names of the ten effort rows (Edit1 ... Edit10); only labels, the times are in the engine.
    std::array<std::string, 10> effortNames{
        "Entwurf/ Layout", "Angebot erstellen", "Arbeitsvorbereitung",
        "Plott",           "Entgittern",        "Tapen/ Montage Werkstatt",
        "Fahrzeit",        "Montage am Objekt", "Sonstiges",
        "Sonstiges"};

    MaterialDialog materialDialog; // kept between uses, like the dialog window
    TierDialog tierDialog;

    // What the window runs when it is shown, after the stored settings are in: the labour cost.
    void windowShown();

    // The buttons of the "Materialien" page (NeuesMatBtnClick, EditMatBtnClick, DelMatBtnClick).
    // "Neues Material...": the dialog as last used with an empty name; on OK a material and its
    // thicknesses are appended. The chosen material is applied again in any case.
    SaveResult newMaterial(const MaterialRunner &show);
    // "Bearbeiten..." for material `row` (-1 or any non-row: nothing but re-applying the chosen
    // material). The feed table is sorted by thickness first, and stays sorted on cancel.
    SaveResult editMaterial(int row, const MaterialRunner &show);
    // "Löschen" for material `row`, without a question. The calculation keeps its figures.
    SaveResult deleteMaterial(int row);

    // The buttons of the "Staffelpreise" page (BitBtn3Click, BitBtn4Click, BitBtn5Click):
    // "Neuer Staffelpreis...", "Bearbeiten..." (row -1: none chosen), "Löschen". New and edit
    // re-evaluate the discount of the current quantity; delete leaves it until the quantity
    // changes.
    SaveResult newTier(const TierRunner &show);
    SaveResult editTier(int row, const TierRunner &show);
    SaveResult deleteTier(int row);

    // The lines of the "Angebotspreise" text, in the current currency.
    std::vector<std::string> CalcAngebotspreise();

private:
    // SaveMaterialen and UpdateMaterialBox.
    SaveResult saveMaterials();
    SaveResult saveTiers();
    void findDamagedValues();

    std::string dataFolder_;
    Catalogue catalogue_;
    TierList tiers_;
    Engine engine_;
    Catalogue::LoadResult materialLoad_ = Catalogue::LoadResult::Missing;
    TierList::LoadResult tierLoad_ = TierList::LoadResult::Missing;
    std::vector<DamagedValue> damaged_;
};

} // namespace quentar::costing
