// What the program says when one of its own files is there but cannot be understood.
#pragma once

#include <string>

namespace quentar::app {

// The program's own files: the catalogue and the tiers in the data folder, the translations and
// the language option in the program folder.
enum class DataFile { Materials, Tiers, Translations, Options };

// The file's name as it is kept ("material.dat" ...).
const char *dataFileName(DataFile file);

// One sentence each: which file is damaged, what is used in its place, and that the file is kept
// as it is until the user changes what it holds (so nothing the user may still rescue is lost).
// In English for the command line ...
std::string damagedFileWarning(DataFile file, const std::string &path);
// ... and in German for the calculator window.
std::string damagedFileWarningGerman(DataFile file, const std::string &path);

// `quote --data-dir` naming a folder that is not there.
std::string missingDataFolderWarning(const std::string &folder);

} // namespace quentar::app
