// The DXF document proper: the file's text lines, held as the bytes read, one entry per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quentar::document {

// A list of byte lines. The lines of a loaded file point into one buffer that holds the whole
// file, so a drawing costs one allocation plus 5 bytes per line (a million LINEs are some 14
// million lines), not a heap string per line. Lines added or replaced by edits are appended to an
// arena of their own, each after its length; replaced bytes are not reclaimed until the next load
// (edits are small next to a file).
class LineStore {
public:
    // Files at or beyond this size are not taken: line positions are held in 32 bits.
    static constexpr std::size_t kMaxBytes = (std::size_t{1} << 31) - 1;

    LineStore() = default;

    // Replaces the contents by the lines of `bytes`. A line ends at CR LF, LF or CR; a final line
    // without a line end is kept, an empty remainder after the last line end is not a line.
    // Returns false (and keeps nothing) for a text of kMaxBytes or more.
    bool assign(std::string bytes);
    void clear();

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    std::string_view operator[](std::size_t i) const { return view(lines_[i]); }
    std::string_view at(std::size_t i) const { return view(lines_.at(i)); }

    void insert(std::size_t pos, std::string_view line);
    void insert(std::size_t pos, const std::vector<std::string> &lines);
    void replace(std::size_t pos, std::string_view line);
    void erase(std::size_t pos, std::size_t count = 1);

    // Several changes at once, in one pass over the lines: `remove` lines at `at` give way to
    // `insert` (may be null: nothing). Positions are those of the store before any of them;
    // the changes ascend and do not overlap. Deleting thousands of scattered entities costs one
    // pass, not one shift of every later line per entity.
    struct Splice {
        std::size_t at = 0;
        std::size_t remove = 0;
        const std::vector<std::string> *insert = nullptr;
    };
    void splice(const std::vector<Splice> &changes);
    void push_back(std::string_view line) { insert(lines_.size(), line); }

    // Every line followed by CR LF: an unchanged file that had CR LF comes back byte-identical.
    std::string serialize() const;

private:
    // Where a line's bytes are: in the file buffer from `offset`, or (kArena set) in the arena
    // after a length prefix at `offset`. Lines shorter than kLong also keep their length here,
    // so the common access is two loads; the 5-byte record is packed on purpose.
    struct __attribute__((packed)) Ref {
        uint32_t offset;
        uint8_t length;
    };
    static_assert(sizeof(Ref) == 5);
    static constexpr uint32_t kArena = 0x80000000u;
    static constexpr uint8_t kLong = 255;

    std::string_view view(Ref r) const {
        const uint32_t offset = r.offset;
        if (offset & kArena) {
            const char *at = arena_.data() + (offset & ~kArena);
            if (r.length != kLong) return {at + sizeof(uint32_t), r.length};
            uint32_t length;
            std::memcpy(&length, at, sizeof length);
            return {at + sizeof length, length};
        }
        const char *begin = fileBuffer_->data() + offset;
        if (r.length != kLong) return {begin, r.length};
        return {begin, longLength(offset)};
    }
    std::size_t longLength(uint32_t offset) const;
    Ref store(std::string_view line);
    // Makes room for `bytes` more in the arena, starting it over when it would outgrow 32-bit
    // positions (which moves the arena lines in use).
    void makeRoom(std::size_t bytes);

    std::shared_ptr<const std::string> fileBuffer_;
    std::string arena_;
    std::vector<Ref> lines_;
    // Lines of the file of kLong bytes or more, as (start, length), ascending by start.
    std::vector<std::pair<uint32_t, uint32_t>> longLines_;
};

// Trimming as the reader does it: every character with a code of 32 or less goes from both ends.
inline std::string_view trimLine(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

} // namespace quentar::document
