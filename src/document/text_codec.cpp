// Text decoding for display and the UTF-16 conversions of files with a byte-order mark.
#include "document/text_codec.h"

#include <cstdint>

namespace quentar::document {

namespace {

void appendUtf8(std::string &out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid.
std::size_t decodeUtf8(std::string_view s, std::size_t i, uint32_t &cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t len;
    uint32_t min;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        uint32_t cp;
        const std::size_t len = decodeUtf8(s, i, cp);
        if (!len) return false;
        i += len;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (unsigned char c : bytes) {
        if (c >= 0x80 && c < 0xA0)
            appendUtf8(out, kCp1252High[c - 0x80]);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string decodeForDisplay(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    return windows1252ToUtf8(bytes);
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t k) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * k]);
        const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t k = 0; k < units; ++k) {
        uint32_t u = unit(k);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < units) {
            const uint32_t lo = unit(k + 1);
            if (lo >= 0xDC00 && lo < 0xE000) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;
        appendUtf8(out, u);
    }
    return out;
}

std::string utf8ToUtf16(std::string_view s, bool bigEndian) {
    std::string out;
    out.reserve(s.size() * 2);
    auto put = [&](uint32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        if (bigEndian) {
            out.push_back(hi);
            out.push_back(lo);
        } else {
            out.push_back(lo);
            out.push_back(hi);
        }
    };
    for (std::size_t i = 0; i < s.size();) {
        uint32_t cp;
        std::size_t len = decodeUtf8(s, i, cp);
        if (!len) {
            cp = 0xFFFD;
            len = 1;
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

} // namespace quentar::document
