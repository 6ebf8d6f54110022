// Tests of translating texts and messages: blanks, missing translations, additions and saving.
#include "i18n/translator.h"

#include "document/messages.h"
#include "i18n/translate_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace quentar::i18n {
using document::germanMessage;
using document::kMessageCount;
namespace {

using namespace std::string_literals;

// translate.dat kept in memory, counting the writes.
struct MemoryFile {
    std::optional<std::string> bytes;
    int writes = 0;
    bool writable = true;

    TranslationStorage storage() {
        return {[this] { return bytes; },
                [this](std::string_view b) {
                    if (!writable) return false;
                    bytes = std::string(b);
                    ++writes;
                    return true;
                }};
    }
};

// translate.dat bytes of rows given as German text and (optionally) further columns.
std::string fileOf(const std::vector<std::vector<std::u16string>> &rows) {
    TranslationTable table;
    for (const auto &texts : rows) {
        const int row = table.appendRow();
        for (std::size_t c = 0; c < texts.size(); ++c)
            table.setCell(row, static_cast<int>(c), texts[c]);
    }
    return writeTranslateFile(table);
}

TEST(Translator, UnknownMessageIsShownInGermanAndSavedAsNewRow) {
    MemoryFile file;
    Translator t(file.storage());
    t.InitTranslation();

    EXPECT_EQ(t.MessageText(4), germanMessage(4));
    ASSERT_EQ(file.writes, 1);
    auto saved = readTranslateFile(*file.bytes);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->rowCount(), 1);
    EXPECT_EQ(saved->cell(0, 0),
              u"Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?");
    for (int c = 1; c < kTranslateColumns; ++c) EXPECT_EQ(saved->cell(0, c), u"");

    // Known now: shown again without another row or write.
    EXPECT_EQ(t.MessageText(4), germanMessage(4));
    EXPECT_EQ(file.writes, 1);
    EXPECT_EQ(t.rowCount(), 1);
}

TEST(Translator, AddedKeyLeavesOutTheSurroundingBlanks) {
    MemoryFile file;
    Translator t(file.storage());
    t.InitTranslation();
    EXPECT_EQ(t.MessageText(29), "Konnte folgende Datei nicht öffnen: ");
    EXPECT_EQ(t.cellText(0, 0), "Konnte folgende Datei nicht öffnen:");
    // The same key with other blanks around it is the same row.
    t.TranslateString("   Konnte folgende Datei nicht öffnen:");
    EXPECT_EQ(t.rowCount(), 1);
}

TEST(Translator, TranslatesWithTheActiveColumnAndKeepsTheBlanks) {
    MemoryFile file;
    file.bytes = fileOf({
        {u"Speichern", u"Save", u"Enregistrer"},
        {u"K", u"X "},
        {u"Rot"},
        {u"Grau", u" \t "},
        {u"Gelb", u"\tYellow\r\n"},
    });
    Translator t(file.storage());
    t.InitTranslation();

    struct Case {
        int language;
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {1, "Speichern", "Save"},
        {2, "Speichern", "Enregistrer"},
        {0, "Speichern", "Speichern"},
        {0, "  Speichern ", "  Speichern "},
        {1, "  Speichern ", "  Save "},
        // The translation's own white space goes; the text's blanks come back around it.
        {1, "  K ", "  X "},
        {1, "Gelb", "Yellow"},
        // Only blanks are put back; other white space stays part of the key.
        {1, "\tGelb", "\tGelb"},
        // No translation in the column: the text as given.
        {1, "  Rot ", "  Rot "},
        {3, "Speichern", "Speichern"},
        // A translation of white space only counts as missing rather than blanking the message.
        {1, "Grau", "Grau"},
        {1, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("language " + std::to_string(c.language) + " text '" + c.text + "'");
        t.setLanguage(c.language);
        EXPECT_EQ(t.TranslateString(c.text), c.shown);
    }
    EXPECT_EQ(t.rowCount(), 6) << "only the text with the tab was new";
    EXPECT_EQ(file.writes, 1);
}

TEST(Translator, MessageFiveInEnglish) {
    MemoryFile file;
    file.bytes = fileOf({{u"Speichern", u"Save"}});
    Translator t(file.storage());
    t.InitTranslation();
    t.setLanguage(1);
    EXPECT_EQ(t.MessageText(5), "Save");
    EXPECT_EQ(file.writes, 0);
}

TEST(Translator, BlankOnlyAndEmptyTextsAreNotAdded) {
    MemoryFile file;
    Translator t(file.storage());
    t.InitTranslation();
    for (const char *text : {"", " ", "    "}) EXPECT_EQ(t.TranslateString(text), text);
    EXPECT_EQ(t.rowCount(), 0);
    EXPECT_EQ(file.writes, 0);
    EXPECT_FALSE(file.bytes);
}

TEST(Translator, NumbersWithoutAMessageGiveNoText) {
    MemoryFile file;
    Translator t(file.storage());
    t.InitTranslation();
    for (int n : {-1, 0, kMessageCount + 1, 1000}) EXPECT_EQ(t.MessageText(n), "") << n;
    EXPECT_EQ(t.rowCount(), 0);
    EXPECT_EQ(t.MessageText(33),
              "Die DXF Version dieser DXF untersützt keine solchen \"LEADER\" Objekte.");
}

TEST(Translator, LanguageOutsideTheColumnsMeansGerman) {
    MemoryFile file;
    file.bytes = fileOf({{u"Rot", u"Red"}});
    Translator t(file.storage());
    t.InitTranslation();
    for (int language : {-1, 20, 1 << 30}) {
        t.setLanguage(1);
        t.setLanguage(language);
        EXPECT_EQ(t.language(), 0) << language;
        EXPECT_EQ(t.TranslateString("Rot"), "Rot");
    }
    t.setLanguage(19);
    EXPECT_EQ(t.language(), 19);
}

TEST(Translator, UnwritableFileKeepsAdditionsForTheRun) {
    MemoryFile file;
    file.writable = false;
    Translator t(file.storage());
    t.InitTranslation();
    EXPECT_EQ(t.MessageText(5), "Speichern");
    EXPECT_EQ(t.MessageText(5), "Speichern");
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_FALSE(file.bytes);
}

TEST(Translator, DamagedFileIsKeptUntilTheTableIsEdited) {
    const std::string damaged = fileOf({{u"Speichern", u"Save"}}).substr(0, 30);
    MemoryFile file;
    file.bytes = damaged;
    Translator t(file.storage());
    t.InitTranslation();
    EXPECT_TRUE(t.fileDamaged());
    EXPECT_EQ(t.rowCount(), 0);

    t.setLanguage(1);
    EXPECT_EQ(t.MessageText(5), "Speichern");
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_FALSE(t.SaveTranslation());
    EXPECT_EQ(file.bytes, damaged) << "the program's own addition does not replace it";

    // The user's edit does.
    t.setCell(0, 1, "Save");
    EXPECT_EQ(file.writes, 1);
    EXPECT_FALSE(t.fileDamaged());
    EXPECT_EQ(t.MessageText(5), "Save");
    Translator again(file.storage());
    again.InitTranslation();
    again.setLanguage(1);
    EXPECT_EQ(again.MessageText(5), "Save");
}

TEST(Translator, UnreadableFileCountsAsDamaged) {
    MemoryFile file;
    file.bytes = "";
    Translator t(file.storage());
    t.InitTranslation();
    EXPECT_TRUE(t.fileDamaged());
    t.MessageText(1);
    EXPECT_EQ(file.writes, 0);
}

TEST(Translator, EditsAreSavedAndFollowedByTheLookup) {
    MemoryFile file;
    file.bytes = fileOf({{u"Rot", u"Red"}, {u"Gelb", u"Yellow"}, {u"Blau", u"Blue"}});
    Translator t(file.storage());
    t.InitTranslation();
    t.setLanguage(1);

    t.deleteRow(0);
    EXPECT_EQ(file.writes, 1);
    EXPECT_EQ(t.TranslateString("Blau"), "Blue");
    EXPECT_EQ(t.TranslateString("Gelb"), "Yellow");

    t.setCell(1, 0, "Hellblau");
    EXPECT_EQ(file.writes, 2);
    EXPECT_EQ(t.TranslateString("Hellblau"), "Blue");

    // Each keystroke of the editor is one change and one save.
    for (const char *typed : {"L", "Li", "Lig"}) t.setCell(0, 1, typed);
    EXPECT_EQ(file.writes, 5);
    EXPECT_EQ(t.TranslateString("Gelb"), "Lig");

    auto saved = readTranslateFile(*file.bytes);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->rowCount(), 2);
    EXPECT_EQ(saved->cell(1, 0), u"Hellblau");
}

TEST(Translator, InitTranslationStartsAfresh) {
    MemoryFile file;
    Translator t(file.storage());
    t.InitTranslation();
    t.MessageText(2);
    file.bytes = fileOf({{u"Rot", u"Red"}});
    t.InitTranslation();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.cellText(0, 1), "Red");
}

TEST(Translator, WithoutStorageEverythingStaysInMemory) {
    Translator t;
    t.InitTranslation();
    EXPECT_EQ(t.MessageText(8), "DXF Datei");
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_FALSE(t.SaveTranslation());
}

} // namespace
} // namespace quentar::i18n
