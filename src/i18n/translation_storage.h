// Where the running program keeps translate.dat: in its folders, with the user's copy first.
#pragma once

#include "document/folders.h"
#include "i18n/translator.h"

#include <string_view>

namespace quentar::i18n {

using document::Folders;

inline constexpr std::string_view kTranslateFileName = "translate.dat";

// translate.dat read and written through `folders` (see Folders::readDataFile, writeDataFile).
i18n::TranslationStorage translationStorage(const Folders &folders);

} // namespace quentar::i18n
