// Locale-free numbers, escaped strings, font names and cross-reference entries.
#include "pdf/pdf_syntax.h"

#include "pdf/win_ansi.h"

#include <charconv>
#include <system_error>

namespace quentar::pdf {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHexByte(std::string &out, unsigned value) {
    out += '#';
    out += kHex[(value >> 4) & 0xF];
    out += kHex[value & 0xF];
}

bool isNameDelimiter(unsigned c) {
    switch (c) {
    case '#':
    case '%':
    case '(':
    case ')':
    case '/':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
        return true;
    default:
        return false;
    }
}

void appendNameByte(std::string &out, unsigned c) {
    // A name may not hold a NUL byte at all, not even as #00.
    if (c == 0) return;
    if (c >= 33 && c <= 126 && !isNameDelimiter(c))
        out += static_cast<char>(c);
    else
        appendHexByte(out, c);
}

std::string zeroPadded(std::uint64_t value, int digits) {
    std::string text = intText(static_cast<long long>(value));
    if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
    return text;
}

} // namespace

std::string intText(long long value) {
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return result.ec == std::errc() ? std::string(buf, result.ptr) : std::string("0");
}

std::string colorComponentText(std::uint8_t value) {
    char buf[32];
    // "general" with precision 15 is %.15g: the shortest of fixed and scientific, trailing zeros
    // removed. Every n/255 is at least 0.0039, so the fixed form is chosen.
    const auto result =
        std::to_chars(buf, buf + sizeof buf, value / 255.0, std::chars_format::general, 15);
    return result.ec == std::errc() ? std::string(buf, result.ptr) : std::string("0");
}

std::string EscapeString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '(':
            out += "\\(";
            break;
        case ')':
            out += "\\)";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (c < 32) {
                out += '\\';
                out += static_cast<char>('0' + (c >> 6));
                out += static_cast<char>('0' + ((c >> 3) & 7));
                out += static_cast<char>('0' + (c & 7));
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::string BaseFontName(std::string_view name, std::uint8_t style) {
    bool latin1 = true;
    for (std::size_t pos = 0; pos < name.size() && latin1;) {
        const char32_t cp = nextUtf8(name, pos);
        // U+FFFD here means a malformed sequence as well: its bytes are all that can be kept.
        latin1 = cp <= 0xFF;
    }
    std::string out;
    if (latin1) {
        for (std::size_t pos = 0; pos < name.size();) appendNameByte(out, nextUtf8(name, pos));
    } else {
        for (const char ch : name) appendNameByte(out, static_cast<unsigned char>(ch));
    }
    const bool bold = style & kBold;
    const bool italic = style & kItalic;
    if (bold && italic)
        out += ",BoldItalic";
    else if (italic)
        out += ",Italic";
    else if (bold)
        out += ",Bold";
    return out;
}

std::string xrefEntry(std::uint64_t offset, std::uint32_t generation, bool free) {
    return zeroPadded(offset, 10) + " " + zeroPadded(generation, 5) + (free ? " f \n" : " n \n");
}

} // namespace quentar::pdf
