// The small pieces of PDF syntax the writer composes its lines from: numbers, strings, names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quentar::pdf {

// Font style bits as the font list keeps them.
inline constexpr std::uint8_t kBold = 1;
inline constexpr std::uint8_t kItalic = 2;
inline constexpr std::uint8_t kUnderline = 4;
inline constexpr std::uint8_t kStrikeOut = 8;

// An integer in decimal, without leading zeros, whatever the locale.
std::string intText(long long value);

// A colour channel as a fraction of 255 with up to 15 significant digits and no exponent:
// 0 gives "0", 255 gives "1", 128 gives "0.501960784313725".
std::string colorComponentText(std::uint8_t value);

// The body of a literal string "( ... )": backslash and parentheses get a backslash, LF, CR,
// TAB, backspace and form feed their letter escapes, other bytes below 32 three octal digits.
// Works on bytes, so it serves WinAnsi text and UTF-8 alike.
std::string EscapeString(std::string_view text);

// The /BaseFont name of a font: printable ASCII stays, the delimiters # % ( ) / < > [ ] { } and
// everything else become "#" and two hexadecimal digits, then ",Bold", ",Italic" or
// ",BoldItalic". `name` is UTF-8. A name within Latin-1 is written one code per character; any
// other name as its UTF-8 bytes, the reading of names that PDF readers assume today.
std::string BaseFontName(std::string_view name, std::uint8_t style);

// One 20-byte cross-reference entry: offset (10 digits), generation (5 digits), "f" or "n".
std::string xrefEntry(std::uint64_t offset, std::uint32_t generation, bool free);

} // namespace quentar::pdf
