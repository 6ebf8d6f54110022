// Reading and writing options.dat.
#include "i18n/options.h"

#include "document/string_file.h"
#include "i18n/translation_table.h"

namespace quentar::i18n {

std::optional<std::int32_t> parseOptions(std::string_view bytes) {
    if (bytes.size() < 4) return std::nullopt;
    document::ByteReader in(bytes);
    return static_cast<std::int32_t>(in.readU32());
}

std::string optionsBytes(std::int32_t language) {
    document::ByteWriter out;
    out.writeU32(static_cast<std::uint32_t>(language));
    return out.take();
}

std::int32_t validLanguage(std::int32_t language) {
    return language >= 0 && language < i18n::kTranslateColumns ? language : 0;
}

std::int32_t OptionsFile::LoadOptions() {
    fileNotUnderstood_ = false;
    const std::optional<std::string> bytes = folders_.readDataFile(kOptionsFileName);
    const std::optional<std::int32_t> stored = bytes ? parseOptions(*bytes) : std::nullopt;
    fileNotUnderstood_ = bytes && (!stored || validLanguage(*stored) != *stored);
    languagesetto_ = stored ? validLanguage(*stored) : 0;
    return languagesetto_;
}

bool OptionsFile::SaveOptions(std::int32_t language) {
    language = validLanguage(language);
    if (fileNotUnderstood_ && language == languagesetto_) return false;
    if (!folders_.writeDataFile(kOptionsFileName, optionsBytes(language))) return false;
    fileNotUnderstood_ = false;
    return true;
}

} // namespace quentar::i18n
