// The translation table kept in the program's folders: additions and edits persist for the user
// even when the program folder cannot be written.
#include "i18n/translation_storage.h"

#include "document/messages.h"
#include "i18n/translate_file.h"
#include "../support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quentar::i18n {
namespace {

using testing::fileBytes;
using testing::putFile;
using testing::TempFolder;

TEST(TranslationStorage, AdditionsAndEditsPersistWithAnUnwritableProgramFolder) {
    TempFolder tmp;
    // Below a regular file nothing can be written, not even by root.
    putFile(tmp / "blocker", "");
    const Folders folders(tmp / "blocker/share", tmp / "data");

    i18n::Translator first(translationStorage(folders));
    first.InitTranslation();
    first.setLanguage(1);
    EXPECT_EQ(first.MessageText(1), document::germanMessage(1));
    ASSERT_TRUE(fileBytes(tmp / "data/translate.dat")) << "the addition went to the user's copy";
    first.setCell(0, 1, "Please restart.");

    i18n::Translator next(translationStorage(folders));
    next.InitTranslation();
    next.setLanguage(1);
    EXPECT_EQ(next.MessageText(1), "Please restart.");
    EXPECT_EQ(next.rowCount(), 1);
}

TEST(TranslationStorage, UsersCopyStartsFromTheShippedTable) {
    testing::asUnprivilegedUser([] {
        TempFolder tmp;
        i18n::TranslationTable shipped;
        shipped.setCell(shipped.appendRow(), 0, u"Speichern");
        shipped.setCell(0, 1, u"Save");
        putFile(tmp / "share/translate.dat", i18n::writeTranslateFile(shipped));
        const std::string share = tmp / "share";
        ::chmod(share.c_str(), 0555);
        const std::unique_ptr<const std::string, void (*)(const std::string *)> restore(
            &share, [](const std::string *p) { ::chmod(p->c_str(), 0755); });
        const Folders folders(share, tmp / "data");

        i18n::Translator first(translationStorage(folders));
        first.InitTranslation();
        first.setLanguage(1);
        EXPECT_EQ(first.MessageText(5), "Save");
        first.MessageText(2);

        i18n::Translator next(translationStorage(folders));
        next.InitTranslation();
        next.setLanguage(1);
        EXPECT_EQ(next.rowCount(), 2);
        EXPECT_EQ(next.MessageText(5), "Save");
        // The shipped table itself is as it was.
        EXPECT_EQ(fileBytes(tmp / "share/translate.dat"), i18n::writeTranslateFile(shipped));
    });
}

} // namespace
} // namespace quentar::i18n
