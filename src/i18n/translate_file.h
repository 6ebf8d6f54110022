// The byte layout of translate.dat: column count, row count, then every row's string records.
#pragma once

#include "i18n/translation_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace quentar::i18n {

// More rows than any translation table can need; a larger count is taken for damage. It bounds
// the memory a file of few columns can ask for (each row is held with all 20 columns).
inline constexpr std::int32_t kMaxTranslateRows = 1'000'000;

// The file: int32 C, int32 R, then R rows of C string records, all little-endian. Always written
// with C = 20.
std::string writeTranslateFile(const TranslationTable &table);

// Columns beyond the 20th are read and dropped; a file of fewer columns leaves the others empty.
// nullopt when the bytes are not a whole translate.dat: too short for the counts, a column count
// below 1, a negative or absurd row count, counts that need more bytes than there are, a string
// record that runs past the end, or bytes left over after the last row (which shows that the
// counts do not describe the data). Nothing is allocated beyond what the bytes can fill.
std::optional<TranslationTable> readTranslateFile(std::string_view bytes);

} // namespace quentar::i18n
