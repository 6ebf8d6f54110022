// Byte-level reading and writing of string records, and the UTF-8 / UTF-16 transcoders.
#include "document/string_file.h"

#include <limits>

namespace quentar::document {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::u16string &out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

} // namespace

void ByteReader::require(std::size_t n) const {
    if (n > remaining())
        throw FileIOError("read of " + std::to_string(n) + " bytes at offset " +
                          std::to_string(pos_) + " runs past the end of the data (" +
                          std::to_string(data_.size()) + " bytes)");
}

std::uint16_t ByteReader::readU16() {
    require(2);
    const auto *p = reinterpret_cast<const unsigned char *>(data_.data() + pos_);
    pos_ += 2;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t ByteReader::readU32() {
    require(4);
    const auto *p = reinterpret_cast<const unsigned char *>(data_.data() + pos_);
    pos_ += 4;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::string_view ByteReader::readBytes(std::size_t n) {
    require(n);
    std::string_view s = data_.substr(pos_, n);
    pos_ += n;
    return s;
}

void ByteWriter::writeU16(std::uint16_t v) {
    buf_ += static_cast<char>(v & 0xFF);
    buf_ += static_cast<char>(v >> 8);
}

void ByteWriter::writeU32(std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) buf_ += static_cast<char>((v >> shift) & 0xFF);
}

void WriteLenString(ByteWriter &out, std::u16string_view s) {
    if (s.size() > std::numeric_limits<std::uint32_t>::max())
        throw FileIOError("string of " + std::to_string(s.size()) +
                          " code units is too long for a string record");
    out.writeU32(static_cast<std::uint32_t>(s.size()));
    for (char16_t c : s) out.writeU16(c);
}

std::u16string ReadLenString(ByteReader &in) {
    // Working on a copy leaves `in` where it was when the record turns out to be bad.
    ByteReader r = in;
    const std::uint32_t n = r.readU32();
    // Checked before anything is allocated: the count may be garbage from a damaged file.
    if (n > r.remaining() / 2)
        throw FileIOError("string record at offset " + std::to_string(in.position()) + " claims " +
                          std::to_string(n) + " code units, but only " +
                          std::to_string(r.remaining()) + " bytes are left");
    std::u16string s;
    s.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) s += static_cast<char16_t>(r.readU16());
    in = r;
    return s;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte, which is what rules
        // out overlong forms, encoded surrogates and values above U+10FFFF.
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool complete = true;
        for (int k = 1; k < len; ++k, ++j) {
            if (j >= n || p[j] < lo || p[j] > hi) {
                complete = false;
                break;
            }
            cp = cp << 6 | (p[j] & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        // An incomplete sequence is replaced as a whole; the byte that broke it starts afresh.
        appendUtf16(out, complete ? cp : kReplacement);
        i = j;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

} // namespace quentar::document
