// The interface language kept in options.dat between program runs.
#pragma once

#include "document/folders.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quentar::i18n {

using document::Folders;

inline constexpr std::string_view kOptionsFileName = "options.dat";

// options.dat is one little-endian int32, the language: 0 German, 1 English, up to 19 (the
// columns of the translation table).
//
// The value in the bytes, or nullopt when they are too short to hold it. Bytes after the first
// four are ignored.
std::optional<std::int32_t> parseOptions(std::string_view bytes);
std::string optionsBytes(std::int32_t language);
// A language outside 0 ... 19 has no column in the translation table; German (0) stands for it.
std::int32_t validLanguage(std::int32_t language);

// Reads and writes options.dat in the program's folders (see Folders for which copy).
class OptionsFile {
public:
    explicit OptionsFile(Folders folders) : folders_(std::move(folders)) {}

    // The language to start with: the stored one, or 0 when there is no file, the file is too
    // short, or it holds a value outside 0 ... 19.
    std::int32_t LoadOptions();
    // The language read by the last LoadOptions (0 before).
    std::int32_t languagesetto() const { return languagesetto_; }
    // Whether the last LoadOptions found a file it did not understand (too short, or a language
    // without a column); it is kept until SaveOptions has another language to write.
    bool fileNotUnderstood() const { return fileNotUnderstood_; }

    // Writes `language` (outside 0 ... 19 as 0). A file LoadOptions did not understand is kept as
    // it is until the language differs from the 0 used in its place, so merely closing a window
    // does not overwrite it. False when nothing was written; the caller tells nobody, as a write
    // failure here has always been silent.
    bool SaveOptions(std::int32_t language);

private:
    Folders folders_;
    std::int32_t languagesetto_ = 0;
    bool fileNotUnderstood_ = false;
};

} // namespace quentar::i18n
