// The DXF document proper: the file's text lines, held as the bytes read, one entry per line.
#pragma once

#include "document/large_memory.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quentar::document {

// A list of byte lines. The lines of a loaded file stay in the one buffer that held the file,
// rewritten in place so that each line is its length byte followed by its bytes: the line ends
// are gone once the split has found them. The index costs about 2.25 bytes per line: lines in
// blocks of 16, each block one 32-bit position and a 16-bit offset per line. A million LINEs are
// some 24 million lines, so every byte per line is 24 MB. Lines added or replaced by edits are
// appended to an arena of their own in the same form; replaced bytes are not reclaimed until the
// next load (edits are small next to a file).
class LineStore {
public:
    // Files at or beyond this size are not taken: line positions are held in 31 bits.
    static constexpr std::size_t kMaxBytes = (std::size_t{1} << 31) - 1;

    LineStore() = default;
    LineStore(const LineStore &) = default;
    LineStore &operator=(const LineStore &) = default;
    // A store moved from is empty (its size must not outlive its index).
    LineStore(LineStore &&other) noexcept;
    LineStore &operator=(LineStore &&other) noexcept;

    // Replaces the contents by the lines of `bytes`, which become the store's buffer (not copied).
    // A line ends at CR LF, LF or CR; a final line without a line end is kept, an empty remainder
    // after the last line end is not a line. Returns false (and keeps nothing) for a text of
    // kMaxBytes or more.
    bool assign(std::string bytes);
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view operator[](std::size_t i) const { return view(position(i)); }
    std::string_view at(std::size_t i) const;

    void insert(std::size_t pos, std::string_view line);
    void insert(std::size_t pos, const std::vector<std::string> &lines);
    void replace(std::size_t pos, std::string_view line);
    void erase(std::size_t pos, std::size_t count = 1);

    // Several changes at once, in one pass over the lines: `remove` lines at `at` give way to
    // `insert` (may be null: nothing). Positions are those of the store before any of them;
    // the changes ascend and do not overlap. Deleting thousands of scattered entities costs one
    // pass, not one re-encoding of every later line per entity.
    struct Splice {
        std::size_t at = 0;
        std::size_t remove = 0;
        const std::vector<std::string> *insert = nullptr;
    };
    void splice(const std::vector<Splice> &changes);
    void push_back(std::string_view line) { insert(size_, line); }

    // Every line followed by CR LF: an unchanged file that had CR LF comes back byte-identical.
    std::string serialize() const;

private:
    // Every index allocation goes through this one alias, so that the index can move to other
    // memory (huge pages) in one place.
    template <class T> using IndexVector = std::vector<T, LargeAllocator<T>>;

    static constexpr unsigned kBlockShift = 4;
    static constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;
    // A block's lines lie at `base` plus their offset. The first line's offset is 0 by
    // construction, so that slot says whether the block is wide instead: its lines are too far
    // apart for 16 bits, or some are in the file buffer and some in the arena. A wide block's
    // positions are in `wide_` from `base`, in full.
    struct Block {
        uint32_t base;
        uint16_t offset[kBlock];
    };
    static constexpr uint16_t kWide = 0xFFFF;
    // A position with this bit set is in the arena, else in the file buffer.
    static constexpr uint32_t kArena = 0x80000000u;
    // A length byte of kLong: the line is kLong bytes or longer. Its length is in `longLines_`
    // (file) or in the 4 bytes after the length byte (arena).
    static constexpr uint8_t kLong = 255;

    // An edit as the index sees it: `remove` lines at `at` give way to `count` stored lines.
    struct Change {
        std::size_t at;
        std::size_t remove;
        const uint32_t *lines;
        std::size_t count;
    };
    class Encoder;

    uint32_t position(std::size_t i) const {
        const Block &b = blocks_[i >> kBlockShift];
        const std::size_t k = i & (kBlock - 1);
        if (b.offset[0] != kWide) [[likely]]
            return b.base + b.offset[k];
        return wide_[b.base + k];
    }
    std::string_view view(uint32_t pos) const {
        const char *at = (pos & kArena) ? arena_.data() + (pos & ~kArena) : file_ + pos;
        const auto length = static_cast<uint8_t>(*at);
        if (length != kLong) [[likely]]
            return {at + 1, length};
        return longView(pos);
    }
    std::string_view longView(uint32_t pos) const;

    // Appends a line to the arena; returns its position.
    uint32_t store(std::string_view line);
    // Makes room for `bytes` more in the arena, starting it over when it would outgrow 31-bit
    // positions (which moves the arena lines in use and re-encodes the index).
    void makeRoom(std::size_t bytes);
    // Applies ascending, non-overlapping changes: the index is encoded anew from the block of
    // the first change on (every later line moves anyway).
    void apply(const Change *changes, std::size_t count);
    // Drops wide positions no block uses any more, once they outweigh the ones in use.
    void dropUnusedWide();

    std::shared_ptr<const std::string> fileBuffer_;
    const char *file_ = nullptr; // fileBuffer_'s bytes, one load less per line
    std::string arena_;
    IndexVector<Block> blocks_;
    IndexVector<uint32_t> wide_;
    std::size_t wideUnused_ = 0; // positions in wide_ of blocks that were encoded anew
    // Lines of the file of kLong bytes or more, as (position, length), ascending by position.
    IndexVector<std::pair<uint32_t, uint32_t>> longLines_;
    std::size_t size_ = 0;
};

// Trimming as the reader does it: every character with a code of 32 or less goes from both ends.
inline std::string_view trimLine(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

} // namespace quentar::document
