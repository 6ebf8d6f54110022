// Length-prefixed UTF-16LE string records in binary data files, and UTF-8 <-> UTF-16 conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace quentar::document {

// Reading past the end of the data, or data that cannot be a valid record.
class FileIOError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads little-endian values from bytes loaded into memory. Data files are small and come from
// users, so they are read whole and every read is checked against what is left.
// The reader only views the bytes: they must outlive it.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : data_(bytes) {}
    // A temporary buffer would be gone before the first read.
    explicit ByteReader(std::string &&) = delete;

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ == data_.size(); }

    // Each read throws FileIOError without moving when fewer bytes are left than it needs.
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::string_view readBytes(std::size_t n);

private:
    void require(std::size_t n) const;

    std::string_view data_;
    std::size_t pos_ = 0;
};

// Appends little-endian values to a byte buffer that the caller then writes out in one go.
class ByteWriter {
public:
    void writeU16(std::uint16_t v);
    void writeU32(std::uint32_t v);
    void writeBytes(std::string_view bytes) { buf_.append(bytes); }

    const std::string &bytes() const { return buf_; }
    std::string take() { return std::move(buf_); }

private:
    std::string buf_;
};

// A 32-bit count n of UTF-16 code units, then 2n bytes of UTF-16LE; no terminator.
// Throws FileIOError for a string longer than the count can say.
void WriteLenString(ByteWriter &out, std::u16string_view s);
// Throws FileIOError, without moving the reader, when the count asks for more bytes than are left;
// a corrupt count therefore never leads to a large allocation.
std::u16string ReadLenString(ByteReader &in);

// Malformed UTF-8 becomes U+FFFD, one per maximal ill-formed subsequence (the Unicode
// recommendation, which is also what browsers do), so the rest of the text survives.
std::u16string Utf8ToUtf16(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace quentar::document
