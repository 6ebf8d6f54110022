// The Windows-1252 code page as PDF's WinAnsiEncoding uses it: UTF-8 text to codes and back.
#pragma once

#include <string>
#include <string_view>

namespace quentar::pdf {

// UTF-8 text as WinAnsiEncoding bytes. A character the code page lacks, a code the code page
// leaves unassigned and every byte of a malformed UTF-8 sequence become "?".
std::string toWinAnsi(std::string_view utf8);

// The Unicode character a WinAnsiEncoding code denotes; 0 for the five unassigned codes.
char32_t winAnsiToUnicode(unsigned char code);

// Decodes one character of UTF-8 at `pos` and advances `pos` past it. Returns U+FFFD and
// advances by one byte for a malformed sequence (overlong forms and surrogates included).
char32_t nextUtf8(std::string_view utf8, std::size_t &pos);

} // namespace quentar::pdf
