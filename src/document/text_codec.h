// Decoding DXF bytes for display: UTF-8 when valid, otherwise Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace quentar::document {

bool isValidUtf8(std::string_view bytes);
// Windows-1252 bytes to UTF-8 (the five unassigned codes map to themselves as C1 controls).
std::string windows1252ToUtf8(std::string_view bytes);
// Text for showing: the bytes unchanged when they are valid UTF-8, else read as Windows-1252.
std::string decodeForDisplay(std::string_view bytes);

// UTF-16 (little or big endian, no byte-order mark) to UTF-8 and back; unpaired surrogates
// become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string utf8ToUtf16(std::string_view utf8, bool bigEndian);

} // namespace quentar::document
