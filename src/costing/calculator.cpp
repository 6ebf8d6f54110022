// Start-up of the calculator and the edits of materials and tiers with their saving.
#include "costing/calculator.h"

#include "costing/offer_prices.h"

#include <filesystem>

namespace quentar::costing {

Calculator::Calculator(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)), engine_(catalogue_, tiers_) {
    // The engine has run its start values against the still empty catalogue.
    catalogue_.addDefaults();
    materialLoad_ = catalogue_.load(dataFolder_);
    tierLoad_ = tiers_.load(dataFolder_);
    std::vector<std::string> names;
    for (const MaterialRow &r : catalogue_.rows()) names.push_back(r.name);
    sheets_.formats.addDefaults(names);
    sheets_.formats.load(dataFolder_, sheets_.fileWarnings);
    findDamagedValues();
    engine_.updateMaterialBox();
    engine_.selectvorschub();
    engine_.StueckEdChange();
    engine_.MaterialBoxEdChange();
}

void Calculator::windowShown() { engine_.calclohnkosten(); }

void Calculator::findDamagedValues() {
    const std::filesystem::path folder(dataFolder_);
    damaged_ = costing::damagedValues(catalogue_, (folder / Catalogue::kFileName).string());
    for (DamagedValue &v : costing::damagedValues(tiers_, (folder / TierList::kFileName).string()))
        damaged_.push_back(std::move(v));
}

// Of two saves, the one the user must hear of.
static SaveResult worse(SaveResult a, SaveResult b) {
    if (a == SaveResult::WriteFailed || b == SaveResult::WriteFailed) return SaveResult::WriteFailed;
    return a == SaveResult::Saved || b == SaveResult::Saved ? SaveResult::Saved
                                                            : SaveResult::Unchanged;
}

// The data folder is made only when a file is first written into it (a new user account has none).
static void makeFolder(const std::string &folder) {
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
}

SaveResult Calculator::saveMaterials() {
    makeFolder(dataFolder_);
    findDamagedValues();
    const bool written = catalogue_.save(dataFolder_);
    engine_.updateMaterialBox();
    return written ? SaveResult::Saved : SaveResult::WriteFailed;
}

SaveResult Calculator::saveTiers() {
    makeFolder(dataFolder_);
    findDamagedValues();
    return tiers_.save(dataFolder_) ? SaveResult::Saved : SaveResult::WriteFailed;
}

SaveResult Calculator::newMaterial(const MaterialRunner &show) {
    materialDialog.name.clear();
    // A new material starts with the stock sheets every material has by default.
    SheetFormats defaults;
    defaults.addDefaults({""});
    materialDialog.sheetFormats = defaults.rows;
    SaveResult result = SaveResult::Unchanged;
    if (show(materialDialog)) {
        catalogue_.addMaterial(materialDialog.row(), materialDialog.thicknesses);
        result = saveMaterials();
        result = worse(result, saveSheets(materialDialog.name, materialDialog.name));
    }
    engine_.MaterialBoxEdChange();
    return result;
}

SaveResult Calculator::editMaterial(int row, const MaterialRunner &show) {
    SaveResult result = SaveResult::Unchanged;
    if (row >= 0 && row < static_cast<int>(catalogue_.rows().size())) {
        materialDialog.fill(catalogue_.rows()[static_cast<std::size_t>(row)]);
        catalogue_.sortFeedTable();
        materialDialog.thicknesses = catalogue_.thicknessRows(row);
        const std::string oldName = catalogue_.rows()[static_cast<std::size_t>(row)].name;
        materialDialog.sheetFormats = sheets_.formats.formatsOf(oldName);
        if (show(materialDialog)) {
            catalogue_.replaceMaterial(row, materialDialog.row(), materialDialog.thicknesses);
            result = saveMaterials();
            result = worse(result, saveSheets(oldName, materialDialog.name));
        }
    }
    engine_.MaterialBoxEdChange();
    return result;
}

SaveResult Calculator::deleteMaterial(int row) {
    if (row < 0 || row >= static_cast<int>(catalogue_.rows().size())) return SaveResult::Unchanged;
    const std::string name = catalogue_.rows()[static_cast<std::size_t>(row)].name;
    if (!catalogue_.deleteMaterial(row)) return SaveResult::Unchanged;
    SaveResult result = saveMaterials();
    // Its sheets go with it, unless another material of that name still uses them.
    bool named = false;
    for (const MaterialRow &r : catalogue_.rows()) named = named || r.name == name;
    if (!named && !sheets_.formats.formatsOf(name).empty()) {
        sheets_.formats.replaceFormatsOf(name, name, {});
        result = worse(result, saveSheetFormats());
    }
    return result;
}

SaveResult Calculator::newTier(const TierRunner &show) {
    SaveResult result = SaveResult::Unchanged;
    if (show(tierDialog)) {
        tiers_.add(tierDialog.row());
        result = saveTiers();
    }
    engine_.StueckEdChange();
    return result;
}

SaveResult Calculator::editTier(int row, const TierRunner &show) {
    SaveResult result = SaveResult::Unchanged;
    if (row >= 0 && row < static_cast<int>(tiers_.rows().size())) {
        tierDialog.fill(tiers_.rows()[static_cast<std::size_t>(row)]);
        if (show(tierDialog)) {
            tiers_.replace(row, tierDialog.row());
            result = saveTiers();
        }
    }
    engine_.StueckEdChange();
    return result;
}

SaveResult Calculator::deleteTier(int row) {
    if (!tiers_.remove(row)) return SaveResult::Unchanged;
    return saveTiers();
}

SaveResult Calculator::saveSheets(const std::string &oldName, const std::string &newName) {
    const std::vector<SheetFormatRow> before = sheets_.formats.formatsOf(oldName);
    std::vector<SheetFormatRow> after = materialDialog.sheetFormats;
    for (SheetFormatRow &f : after) f.material = newName;
    if (oldName == newName && before == after) return SaveResult::Unchanged;
    sheets_.formats.replaceFormatsOf(oldName, newName, std::move(after));
    return saveSheetFormats();
}

SaveResult Calculator::saveSheetFormats() {
    makeFolder(dataFolder_);
    return sheets_.formats.save(dataFolder_) ? SaveResult::Saved : SaveResult::WriteFailed;
}

void Calculator::setSheetDrawing(DrawingParts parts) {
    sheets_.setDrawing(std::move(parts));
    if (sheets_.choice.on) engine_.calcmatkosten();
}

void Calculator::setSheetChoice(const SheetChoice &choice) {
    sheets_.choice = choice;
    if (choice.on)
        engine_.sheetMaterialCost = [this]() -> std::optional<double> {
            const SheetFigures s = sheets_.figures(engine_);
            return s.valid ? std::optional(s.materialCostPerPiece) : std::nullopt;
        };
    else
        engine_.sheetMaterialCost = nullptr;
    engine_.calcmatkosten();
}

SheetFigures Calculator::sheetFigures() { return sheets_.figures(engine_); }

SaveResult Calculator::setSheetSettings(const SheetSettings &settings) {
    if (sheets_.formats.settings == settings) return SaveResult::Unchanged;
    sheets_.formats.settings = settings;
    if (sheets_.choice.on) engine_.calcmatkosten();
    return saveSheetFormats();
}

std::vector<std::string> Calculator::CalcAngebotspreise() {
    return costing::CalcAngebotspreise(engine_, tiers_, WaehrEd);
}

} // namespace quentar::costing
