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
    SaveResult result = SaveResult::Unchanged;
    if (show(materialDialog)) {
        catalogue_.addMaterial(materialDialog.row(), materialDialog.thicknesses);
        result = saveMaterials();
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
        if (show(materialDialog)) {
            catalogue_.replaceMaterial(row, materialDialog.row(), materialDialog.thicknesses);
            result = saveMaterials();
        }
    }
    engine_.MaterialBoxEdChange();
    return result;
}

SaveResult Calculator::deleteMaterial(int row) {
    if (!catalogue_.deleteMaterial(row)) return SaveResult::Unchanged;
    return saveMaterials();
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

std::vector<std::string> Calculator::CalcAngebotspreise() {
    return costing::CalcAngebotspreise(engine_, tiers_, WaehrEd);
}

} // namespace quentar::costing
