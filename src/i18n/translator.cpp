// Looking texts up in the active language, adding unknown texts, loading and saving the table.
#include "i18n/translator.h"

#include "document/string_file.h"
#include "document/messages.h"
#include "i18n/translate_file.h"

#include <utility>

namespace quentar::i18n {
using document::germanMessage;

namespace {

// White space in the sense of the trimming of translations: the blank and the control characters.
bool isTrimmed(char16_t c) { return c <= u' '; }

std::u16string_view trimmed(std::u16string_view t) {
    while (!t.empty() && isTrimmed(t.front())) t.remove_prefix(1);
    while (!t.empty() && isTrimmed(t.back())) t.remove_suffix(1);
    return t;
}

} // namespace

Translator::Translator(TranslationStorage storage) : storage_(std::move(storage)) {}

void Translator::InitTranslation() {
    table_.clear();
    fileDamaged_ = false;
    editedSinceLoad_ = false;
    LoadTranslation();
}

bool Translator::LoadTranslation() {
    if (!storage_.read) return false;
    std::optional<std::string> bytes = storage_.read();
    if (!bytes) return false;
    std::optional<TranslationTable> loaded = readTranslateFile(*bytes);
    if (!loaded) {
        fileDamaged_ = true;
        return false;
    }
    table_ = std::move(*loaded);
    return true;
}

void Translator::setLanguage(int language) {
    language_ = language >= 0 && language < kLanguageCount ? language : 0;
}

std::string Translator::TranslateString(std::string_view text) {
    if (text.empty()) return {};
    // U+0020 is one byte in UTF-8, so counting bytes counts blanks.
    const std::size_t leading = text.find_first_not_of(' ');
    // A text of blanks only has no key. Adding it would append an unfindable row on every call.
    if (leading == std::string_view::npos) return std::string(text);
    const std::size_t trailing = text.size() - 1 - text.find_last_not_of(' ');
    const std::u16string key =
        document::Utf8ToUtf16(text.substr(leading, text.size() - leading - trailing));

    const int row = table_.findRow(key);
    if (row < 0) {
        table_.addKey(key);
        SaveTranslation();
        return std::string(text);
    }
    // A translation of white space only would show an empty message; it counts as missing.
    const std::u16string_view translation = trimmed(table_.cell(row, language_));
    if (translation.empty()) return std::string(text);
    std::string out(leading, ' ');
    out += document::Utf16ToUtf8(translation);
    out.append(trailing, ' ');
    return out;
}

std::string Translator::MessageText(int number) {
    const std::string_view german = germanMessage(number);
    if (german.empty()) return {};
    return TranslateString(german);
}

bool Translator::SaveTranslation() {
    if (!storage_.write) return false;
    if (fileDamaged_ && !editedSinceLoad_) return false;
    if (!storage_.write(writeTranslateFile(table_))) return false;
    fileDamaged_ = false;
    return true;
}

void Translator::setCell(int row, int column, std::string_view text) {
    if (row >= 0 && row < table_.rowCount() && column >= 0 && column < kTranslateColumns) {
        table_.setCell(row, column, document::Utf8ToUtf16(text));
        editedSinceLoad_ = true;
    }
    SaveTranslation();
}

void Translator::deleteRow(int row) {
    if (row >= 0 && row < table_.rowCount()) {
        table_.deleteRow(row);
        editedSinceLoad_ = true;
    }
    SaveTranslation();
}

std::string Translator::cellText(int row, int column) const {
    return document::Utf16ToUtf8(table_.cell(row, column));
}

} // namespace quentar::i18n
