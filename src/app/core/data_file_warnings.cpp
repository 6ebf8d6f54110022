// The wording of the damaged-file warnings.
#include "app/core/data_file_warnings.h"

namespace quentar::app {

const char *dataFileName(DataFile file) {
    switch (file) {
    case DataFile::Materials: return "material.dat";
    case DataFile::Tiers: return "staffel.dat";
    case DataFile::Translations: return "translate.dat";
    case DataFile::Options: return "options.dat";
    }
    return "";
}

std::string damagedFileWarning(DataFile file, const std::string &path) {
    const std::string damaged = path + " is damaged: ";
    switch (file) {
    case DataFile::Materials:
        return damaged + "the default materials are used; the file is left untouched until the "
                         "materials are changed";
    case DataFile::Tiers:
        return damaged + "no quantity tiers are used; the file is left untouched until the tiers "
                         "are changed";
    case DataFile::Translations:
        return damaged + "messages are shown in German; the file is left untouched until a "
                         "translation is edited";
    case DataFile::Options:
        return damaged + "the language is German; the file is left untouched until another "
                         "language is chosen";
    }
    return damaged;
}

std::string damagedFileWarningGerman(DataFile file, const std::string &path) {
    const std::string damaged = "Die Datei " + path + " ist beschädigt. ";
    switch (file) {
    case DataFile::Materials:
        return damaged + "Es werden die vorgegebenen Materialien verwendet; die Datei bleibt "
                         "unverändert, bis Sie die Materialien ändern.";
    case DataFile::Tiers:
        return damaged + "Es werden keine Staffelpreise verwendet; die Datei bleibt unverändert, "
                         "bis Sie die Staffelpreise ändern.";
    case DataFile::Translations:
        return damaged + "Die Meldungen erscheinen auf Deutsch; die Datei bleibt unverändert, bis "
                         "Sie eine Übersetzung bearbeiten.";
    case DataFile::Options:
        return damaged + "Die Sprache ist Deutsch; die Datei bleibt unverändert, bis Sie eine "
                         "andere Sprache wählen.";
    }
    return damaged;
}

std::string missingDataFolderWarning(const std::string &folder) {
    return "the data folder " + folder +
           " does not exist: the default materials and no quantity tiers are used";
}

} // namespace quentar::app
