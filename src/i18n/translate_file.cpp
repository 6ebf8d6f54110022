// Reading and writing translate.dat.
#include "i18n/translate_file.h"

#include "document/string_file.h"

#include <new>

namespace quentar::i18n {

using document::ByteReader;
using document::ByteWriter;

std::string writeTranslateFile(const TranslationTable &table) {
    ByteWriter out;
    out.writeU32(kTranslateColumns);
    out.writeU32(static_cast<std::uint32_t>(table.rowCount()));
    for (int row = 0; row < table.rowCount(); ++row)
        for (int column = 0; column < kTranslateColumns; ++column)
            document::WriteLenString(out, table.cell(row, column));
    return out.take();
}

std::optional<TranslationTable> readTranslateFile(std::string_view bytes) {
    try {
        ByteReader in(bytes);
        const auto columns = static_cast<std::int32_t>(in.readU32());
        const auto rows = static_cast<std::int32_t>(in.readU32());
        if (columns < 1 || rows < 0 || rows > kMaxTranslateRows) return std::nullopt;
        // Every string record takes at least its 4-byte count.
        if (std::uint64_t{static_cast<std::uint32_t>(rows)} * static_cast<std::uint32_t>(columns) *
                4 >
            in.remaining())
            return std::nullopt;

        TranslationTable table;
        for (std::int32_t r = 0; r < rows; ++r) {
            const int row = table.appendRow();
            for (std::int32_t column = 0; column < columns; ++column) {
                const std::u16string text = document::ReadLenString(in);
                if (column < kTranslateColumns) table.setCell(row, column, text);
            }
        }
        if (!in.atEnd()) return std::nullopt;
        return table;
    } catch (const document::FileIOError &) {
        return std::nullopt;
    } catch (const std::bad_alloc &) {
        // Includes DynaArrayAllocError: a table that does not fit is as unusable as a damaged one.
        return std::nullopt;
    }
}

} // namespace quentar::i18n
