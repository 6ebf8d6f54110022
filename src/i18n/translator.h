// The active language, and texts and numbered messages shown through the translation table.
#pragma once

#include "i18n/translation_table.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quentar::i18n {

// Where translate.dat is kept: the application reads and writes it in its folders, tests and tools
// keep it in memory. A function left unset means there is no file.
struct TranslationStorage {
    // The whole file, or nullopt when there is none. A file that exists but cannot be read should
    // come back as empty bytes: it then counts as damaged and is not overwritten unasked.
    std::function<std::optional<std::string>()> read;
    // Replaces the whole file; false when it could not be written.
    std::function<bool(std::string_view bytes)> write;
};

// Languages are the table's columns: 0 German, 1 English, 2 ... 19 further languages.
inline constexpr int kLanguageCount = kTranslateColumns;

// Texts go in and come out as UTF-8. One object serves the whole program run.
class Translator {
public:
    explicit Translator(TranslationStorage storage = {});

    // Empties the table and loads translate.dat. A missing file leaves the table empty; so does a
    // file that is not understood, which is then kept as it is until the table is edited.
    void InitTranslation();

    // The active column; 0 until set.
    int language() const { return language_; }
    // A language outside 0 ... 19 has no column; German (0) is used then.
    void setLanguage(int language);

    // `text` in the active language. Blanks (U+0020) around the text are not part of the key and
    // are put back around the translation. A text the table does not know yet is added as a new
    // row, saved at once, and shown as given; so is every text whose translation is missing.
    std::string TranslateString(std::string_view text);
    // TranslateString of message `number`'s German text; empty for a number without a message.
    std::string MessageText(int number);

    // Writes the whole table; false when nothing was written. A damaged file found at loading is
    // left alone until the table has been edited, so the program's own additions never replace a
    // file the user may still rescue.
    bool SaveTranslation();

    // The translation editor's changes. Each one saves the table at once.
    void setCell(int row, int column, std::string_view text);
    void deleteRow(int row);
    std::string cellText(int row, int column) const;
    const TranslationTable &table() const { return table_; }
    int rowCount() const { return table_.rowCount(); }

    // Whether translate.dat was there but not understood at the last InitTranslation.
    bool fileDamaged() const { return fileDamaged_; }

private:
    bool LoadTranslation();

    TranslationStorage storage_;
    TranslationTable table_;
    int language_ = 0;
    bool fileDamaged_ = false;
    bool editedSinceLoad_ = false;
};

} // namespace quentar::i18n
