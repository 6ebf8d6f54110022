// The translation table: rows of one German text and its translations, with a lookup index.
#pragma once

#include "document/dyna_array.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::i18n {

// Column 0 is German (the key), column 1 English, the others further languages.
inline constexpr int kTranslateColumns = 20;

// Texts are held as UTF-16 because translate.dat stores them so and because the index is defined
// on UTF-16 code units: the bucket is the low byte of the first unit and keys compare unit by
// unit. An empty text means "no translation in this column".
//
// The rows and the index buckets are record arrays of plain numbers; the texts themselves live in
// a pool the rows refer to by number, so rows can be moved with raw memory copies.
class TranslationTable {
public:
    int rowCount() const { return static_cast<int>(rows_.count); }
    // Empty for a row or column that does not exist. The view lasts until the table changes.
    std::u16string_view cell(int row, int column) const;
    // Does nothing for a row or column that does not exist. Changing column 0 re-indexes.
    void setCell(int row, int column, std::u16string_view text);
    // Appends a row with all columns empty and returns its number.
    int appendRow();
    // Removes the row; the rows after it move up by one and the index follows.
    void deleteRow(int row);
    void clear();

    // Appends a row whose German text is `key` and, the index being current, puts it at the end
    // of its bucket, after the sorted entries: a text added while the program runs needs no sort.
    int addKey(std::u16string_view key);
    // The row of the first entry with exactly this German text in the key's bucket, or -1.
    // Within a bucket the sorted entries come first, then those added since.
    int findRow(std::u16string_view key);

    // The bucket of a non-empty key: the low byte of its first UTF-16 code unit.
    static int bucketOf(std::u16string_view key) { return key.front() & 0xFF; }
    // The row numbers in bucket `bucket` (0 ... 255) in lookup order.
    std::span<const std::int32_t> bucketRows(int bucket);

private:
    // A row: for each column a text number, 0 for an empty text, else 1 + its place in strings_.
    struct TranslateRow {
        std::uint32_t text[kTranslateColumns];
    };

    std::uint32_t store(std::u16string_view text);
    void release(std::uint32_t id);
    std::u16string_view key(std::int32_t row) const;
    void rebuildIndex();
    void sortBucket(std::int32_t *entries, int first, int last, int depthBudget);

    document::TypedDynaArray<TranslateRow> rows_;
    std::vector<std::u16string> strings_;
    std::vector<std::uint32_t> freeIds_;

    // Each bucket holds row numbers; the first sortedCount_ of them are sorted by key. The index is
    // rebuilt on the next lookup after a row is deleted or a German text changes, so it always
    // describes the current rows.
    std::array<document::TypedDynaArray<std::int32_t>, 256> buckets_;
    std::array<std::uint32_t, 256> sortedCount_{};
    bool indexStale_ = false;
};

} // namespace quentar::i18n
