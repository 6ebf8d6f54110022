// translate.dat in the program's folders.
#include "i18n/translation_storage.h"

namespace quentar::i18n {

i18n::TranslationStorage translationStorage(const Folders &folders) {
    return {
        [folders] { return folders.readDataFile(kTranslateFileName); },
        [folders](std::string_view bytes) {
            return folders.writeDataFile(kTranslateFileName, bytes);
        },
    };
}

} // namespace quentar::i18n
