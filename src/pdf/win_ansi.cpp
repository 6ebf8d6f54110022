// Windows-1252 tables and the UTF-8 decoding behind the writer's text conversion.
#include "pdf/win_ansi.h"

#include <array>

namespace quentar::pdf {

namespace {

// Codes 0x80..0x9F, the only ones that differ from Latin-1; 0 marks an unassigned code.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

} // namespace

char32_t nextUtf8(std::string_view utf8, std::size_t &pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || pos + length > utf8.size()) {
        ++pos;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuation(byte(pos + i))) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

char32_t winAnsiToUnicode(unsigned char code) {
    if (code >= 0x80 && code <= 0x9F) return kHighControls[code - 0x80];
    return code;
}

std::string toWinAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = nextUtf8(utf8, pos);
        char code = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            code = static_cast<char>(cp);
        } else {
            for (std::size_t i = 0; i < kHighControls.size(); ++i) {
                if (kHighControls[i] == cp && cp != 0) code = static_cast<char>(0x80 + i);
            }
        }
        out += code;
    }
    return out;
}

} // namespace quentar::pdf
