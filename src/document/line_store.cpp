// Splitting a file into lines in place, the block index over them, edits, writing back with CR LF.
#include "document/line_store.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quentar::document {

namespace {

// The first CR or LF in [from, n), or n. One search for both: a file of CR-only line ends must
// not search to its end for an LF per line.
std::size_t lineEnd(const char *p, std::size_t from, std::size_t n) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; from + 16 <= n; from += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + from));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (hits)
            return from + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
#endif
    for (; from < n; ++from)
        if (p[from] == '\r' || p[from] == '\n') return from;
    return n;
}

// Hands the pages of [from, end) back to the system: bytes that are never read again, in an
// allocation that stays as it is (copying the buffer to shrink it would cost what it saves).
// A CR LF file of short lines gives back a sixth of its size.
void releaseUnused(char *from, char *end) {
#if defined(__linux__)
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t b = (reinterpret_cast<uintptr_t>(from) + page - 1) & ~(page - 1);
    const uintptr_t e = reinterpret_cast<uintptr_t>(end) & ~(page - 1);
    // Only where it pays for the call; pages read back as zeros should they ever be read.
    if (e > b && e - b >= (uintptr_t{1} << 20))
        ::madvise(reinterpret_cast<void *>(b), e - b, MADV_DONTNEED);
#else
    (void)from;
    (void)end;
#endif
}

// 16 bytes from `from` to `to`, read before written (the two may overlap).
inline void moveShort(char *to, const char *from) {
    char chunk[16];
    std::memcpy(chunk, from, 16);
    std::memcpy(to, chunk, 16);
}

} // namespace

// Gathers the positions of consecutive lines into blocks, written from block `out` on: over
// blocks already read when the index is encoded anew in place, else at the end. Encoding anew
// is a pass over every later line after each edit, so its common steps stay free of calls.
class LineStore::Encoder {
public:
    Encoder(IndexVector<Block> &blocks, IndexVector<uint32_t> &wide, std::size_t out)
        : blocks_(blocks), wide_(wide), out_(out) {}

    // A block of the positions in `positions`, which has room for a whole block; the slots from
    // `count` on are set to the first line (unused slots of the last block decode as that line).
    static Block encode(uint32_t *positions, std::size_t count, IndexVector<uint32_t> &wide) {
        std::fill(positions + count, positions + kBlock, positions[0]);
        Block b;
        if (narrow(positions, b)) [[likely]]
            return b;
        return widen(positions, wide);
    }

    void push(uint32_t pos) {
        pending_[count_++] = pos;
        if (count_ == kBlock) flush();
    }

    // Lines [k, end) of block `b`. A whole narrow block that lands on a block border goes over
    // as it is; other whole blocks take fixed-size moves only. (Encoding in place never writes
    // over a block that is still to be read: apply() leaves room for that.)
    void pushFrom(const Block &b, std::size_t k, std::size_t end) {
        if (k == 0 && end == kBlock) {
            if (count_ == 0 && b.offset[0] != kWide) {
                put(b);
                return;
            }
            uint32_t *to = pending_ + count_;
            if (b.offset[0] != kWide) {
                uint16_t offset[kBlock]; // a copy the compiler knows apart from `to`
                std::memcpy(offset, b.offset, sizeof offset);
                uint32_t decoded[kBlock];
                for (std::size_t j = 0; j < kBlock; ++j) decoded[j] = b.base + offset[j];
                std::memcpy(to, decoded, sizeof decoded);
            } else {
                std::memcpy(to, wide_.data() + b.base, kBlock * sizeof(uint32_t));
            }
            Block out;
            if (!narrow(pending_, out)) out = widen(pending_, wide_);
            put(out);
            // As many lines as were pending stay pending.
            std::memcpy(pending_, pending_ + kBlock, kBlock * sizeof(uint32_t));
            return;
        }
        while (k < end) {
            const std::size_t take = std::min(end - k, kBlock - count_);
            uint32_t *to = pending_ + count_;
            if (b.offset[0] != kWide) {
                for (std::size_t j = 0; j < take; ++j) to[j] = b.base + b.offset[k + j];
            } else {
                const uint32_t *from = wide_.data() + b.base + k; // wide_ may have grown
                std::copy(from, from + take, to);
            }
            count_ += take;
            k += take;
            if (count_ == kBlock) flush();
        }
    }

    // Returns the number of blocks written in all.
    std::size_t finish() {
        if (count_) flush();
        return out_;
    }

private:
    // All 16 slots every time, so that the loop has no exits and goes through vector registers.
    static bool narrow(const uint32_t *positions, Block &b) {
        const uint32_t first = positions[0];
        uint32_t far = 0; // high bits set: a line too far from the first, or in the other store
        for (std::size_t k = 0; k < kBlock; ++k) {
            const uint32_t delta = positions[k] - first; // wraps for a line before the first
            far |= (delta >> 16) | ((positions[k] ^ first) & kArena);
            b.offset[k] = static_cast<uint16_t>(delta);
        }
        b.base = first;
        return far == 0;
    }
    [[gnu::noinline]] static Block widen(const uint32_t *positions, IndexVector<uint32_t> &wide) {
        Block b{};
        b.base = static_cast<uint32_t>(wide.size());
        b.offset[0] = kWide;
        wide.insert(wide.end(), positions, positions + kBlock);
        return b;
    }
    void flush() {
        put(encode(pending_, count_, wide_));
        count_ = 0;
    }
    [[gnu::always_inline]] void put(const Block &b) {
        if (out_ < blocks_.size())
            blocks_[out_] = b;
        else
            blocks_.push_back(b);
        ++out_;
    }

    IndexVector<Block> &blocks_;
    IndexVector<uint32_t> &wide_;
    std::size_t out_;
    uint32_t pending_[2 * kBlock]; // room for a whole block behind the lines pending
    std::size_t count_ = 0;
};

LineStore::LineStore(LineStore &&other) noexcept
    : fileBuffer_(std::move(other.fileBuffer_)), file_(other.file_),
      arena_(std::move(other.arena_)), blocks_(std::move(other.blocks_)),
      wide_(std::move(other.wide_)), wideUnused_(other.wideUnused_),
      longLines_(std::move(other.longLines_)), size_(other.size_) {
    other.clear();
}

LineStore &LineStore::operator=(LineStore &&other) noexcept {
    if (this != &other) {
        fileBuffer_ = std::move(other.fileBuffer_);
        file_ = other.file_;
        arena_ = std::move(other.arena_);
        blocks_ = std::move(other.blocks_);
        wide_ = std::move(other.wide_);
        wideUnused_ = other.wideUnused_;
        longLines_ = std::move(other.longLines_);
        size_ = other.size_;
        other.clear();
    }
    return *this;
}

bool LineStore::assign(std::string bytes) {
    if (bytes.size() >= kMaxBytes) return false;
    clear();
    auto buf = std::make_shared<std::string>(std::move(bytes));
    char *p = buf->data();
    const std::size_t n = buf->size();
    // DXF lines take some six bytes with their line end; a generous guess saves most regrowth
    // (and costs nothing where it is never written).
    blocks_.reserve(n / (5 * kBlock) + 1);
    Encoder enc(blocks_, wide_, 0);
    // Each line moves to `w`, behind its length byte. The length byte takes the place of the
    // line end, so a line never moves past its own end and the bytes of the lines after it stay
    // untouched until they are split; only when every earlier line had a 1-byte end does a line
    // move right by one, and then a last line without a line end would overrun the buffer: that
    // one goes to the arena.
    std::size_t w = 0;
    // The line [from, from + length), followed by bytes up to `next` that are read already.
    auto add = [&](std::size_t from, std::size_t length, std::size_t next) {
        if (w + 1 + length > n) {
            enc.push(store({p + from, length}));
            ++size_;
            return;
        }
        char *to = p + w + 1;
        // Most lines are short and have moved well left by now: one 16-byte move, over the
        // bytes read already, does for memmove.
        if (length <= 16 && w + 1 + 16 <= next && from + 16 <= n)
            moveShort(to, p + from);
        else if (to != p + from)
            std::memmove(to, p + from, length);
        if (length < kLong) {
            p[w] = static_cast<char>(length);
        } else {
            p[w] = static_cast<char>(kLong);
            longLines_.emplace_back(static_cast<uint32_t>(w), static_cast<uint32_t>(length));
        }
        enc.push(static_cast<uint32_t>(w));
        w += 1 + length;
        ++size_;
    };
    std::size_t i = 0;
    while (i < n) {
        const std::size_t at = lineEnd(p, i, n);
        if (at == n) break;
        std::size_t next = at + 1;
        // A CR ends a line too (old Mac files); CR LF is one line end.
        if (p[at] == '\r' && next < n && p[next] == '\n') ++next;
        add(i, at - i, next);
        i = next;
    }
    if (i < n) add(i, n - i, n);
    enc.finish();
    releaseUnused(p + w, p + n);
    file_ = p;
    fileBuffer_ = std::move(buf);
    return true;
}

std::string_view LineStore::at(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("LineStore::at: no such line");
    return (*this)[i];
}

std::string_view LineStore::longView(uint32_t pos) const {
    if (pos & kArena) {
        const char *at = arena_.data() + (pos & ~kArena);
        uint32_t length;
        std::memcpy(&length, at + 1, sizeof length);
        return {at + 1 + sizeof length, length};
    }
    auto it = std::lower_bound(longLines_.begin(), longLines_.end(),
                               std::make_pair(pos, uint32_t{0}));
    const uint32_t length = it != longLines_.end() && it->first == pos ? it->second : 0;
    return {file_ + pos + 1, length};
}

void LineStore::clear() {
    fileBuffer_.reset();
    file_ = nullptr;
    arena_.clear();
    blocks_.clear();
    wide_.clear();
    wideUnused_ = 0;
    longLines_.clear();
    size_ = 0;
}

uint32_t LineStore::store(std::string_view line) {
    const auto pos = static_cast<uint32_t>(arena_.size()) | kArena;
    if (line.size() < kLong) {
        arena_.push_back(static_cast<char>(line.size()));
    } else {
        const auto length = static_cast<uint32_t>(line.size());
        arena_.push_back(static_cast<char>(kLong));
        arena_.append(reinterpret_cast<const char *>(&length), sizeof length);
    }
    arena_.append(line);
    return pos;
}

namespace {
// The most a line takes in the arena beyond its bytes.
constexpr std::size_t kArenaHeader = 1 + sizeof(uint32_t);
} // namespace

void LineStore::makeRoom(std::size_t bytes) {
    if (arena_.size() + bytes < kArena) return;
    // The arena starts over with the lines still in use; every block is encoded anew.
    const std::string old = std::move(arena_);
    arena_ = std::string();
    IndexVector<Block> blocks;
    IndexVector<uint32_t> wide;
    blocks.reserve(blocks_.size());
    Encoder enc(blocks, wide, 0);
    for (std::size_t i = 0; i < size_; ++i) {
        uint32_t pos = position(i);
        if (pos & kArena) {
            // view() reads the arena, which is `old` now.
            const char *at = old.data() + (pos & ~kArena);
            std::size_t length = static_cast<uint8_t>(*at);
            std::size_t skip = 1;
            if (length == kLong) {
                uint32_t l;
                std::memcpy(&l, at + 1, sizeof l);
                length = l;
                skip = kArenaHeader;
            }
            pos = store({at + skip, length});
        }
        enc.push(pos);
    }
    enc.finish();
    blocks_ = std::move(blocks);
    wide_ = std::move(wide);
    wideUnused_ = 0;
}

void LineStore::apply(const Change *changes, std::size_t count) {
    if (count == 0) return;
    const std::size_t firstBlock = std::min(changes[0].at, size_) >> kBlockShift;
    // The new blocks are written over the old ones while those are read. Where the changes add
    // more lines than they take, the old blocks move up first by as many whole blocks as the
    // new lines get ahead at most, so that no block is written before it is read.
    int64_t ahead = 0, most = 0;
    bool changing = false;
    std::size_t from = 0;
    for (std::size_t c = 0; c < count; ++c) {
        const std::size_t at = std::clamp(changes[c].at, from, size_);
        const std::size_t end = std::min(at + changes[c].remove, size_);
        ahead += static_cast<int64_t>(changes[c].count);
        most = std::max(most, ahead);
        ahead -= static_cast<int64_t>(end - at);
        changing |= changes[c].count != 0 || end != at;
        from = end;
    }
    // An edit removes nothing and inserts nothing often (replacing is erasing and inserting):
    // that must not cost a pass.
    if (!changing) return;
    const auto gap = static_cast<std::size_t>(most + kBlock - 1) >> kBlockShift;
    for (std::size_t b = firstBlock; b < blocks_.size(); ++b)
        if (blocks_[b].offset[0] == kWide) wideUnused_ += kBlock;
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(firstBlock), gap, Block{});
    Encoder enc(blocks_, wide_, firstBlock);
    // The old lines [from, to) in their new place.
    auto keep = [&](std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t k = from & (kBlock - 1);
            const std::size_t end = std::min(kBlock, k + (to - from));
            enc.pushFrom(blocks_[(from >> kBlockShift) + gap], k, end);
            from += end - k;
        }
    };
    from = firstBlock << kBlockShift;
    std::size_t newSize = from;
    for (std::size_t c = 0; c < count; ++c) {
        const Change &ch = changes[c];
        const std::size_t at = std::clamp(ch.at, from, size_);
        keep(from, at);
        for (std::size_t j = 0; j < ch.count; ++j) enc.push(ch.lines[j]);
        newSize += (at - from) + ch.count;
        from = std::min(at + ch.remove, size_);
    }
    keep(from, size_);
    newSize += size_ - from;
    blocks_.resize(enc.finish());
    size_ = newSize;
    dropUnusedWide();
}

void LineStore::dropUnusedWide() {
    // Replacing lines one at a time must not copy every wide block each time.
    if (wideUnused_ < 64 * kBlock || wideUnused_ * 2 < wide_.size()) return;
    IndexVector<uint32_t> fresh;
    fresh.reserve(wide_.size() - wideUnused_);
    for (Block &b : blocks_) {
        if (b.offset[0] != kWide) continue;
        const auto at = static_cast<uint32_t>(fresh.size());
        fresh.insert(fresh.end(), wide_.begin() + b.base, wide_.begin() + b.base + kBlock);
        b.base = at;
    }
    wide_ = std::move(fresh);
    wideUnused_ = 0;
}

void LineStore::insert(std::size_t pos, std::string_view line) {
    pos = std::min(pos, size_);
    makeRoom(line.size() + kArenaHeader);
    const uint32_t stored = store(line);
    const Change c{pos, 0, &stored, 1};
    apply(&c, 1);
}

void LineStore::insert(std::size_t pos, const std::vector<std::string> &lines) {
    pos = std::min(pos, size_);
    // Room for all first: a fresh start of the arena while they are stored would move the
    // ones stored before.
    std::size_t bytes = 0;
    for (const auto &l : lines) bytes += l.size() + kArenaHeader;
    makeRoom(bytes);
    std::vector<uint32_t> stored;
    stored.reserve(lines.size());
    for (const auto &l : lines) stored.push_back(store(l));
    const Change c{pos, 0, stored.data(), stored.size()};
    apply(&c, 1);
}

void LineStore::replace(std::size_t pos, std::string_view line) {
    if (pos >= size_) return;
    makeRoom(line.size() + kArenaHeader);
    const uint32_t stored = store(line);
    // Only this line's block changes: no other line moves.
    Block &b = blocks_[pos >> kBlockShift];
    const std::size_t k = pos & (kBlock - 1);
    if (b.offset[0] == kWide) {
        wide_[b.base + k] = stored;
        return;
    }
    const std::size_t first = pos - k;
    const std::size_t count = std::min(kBlock, size_ - first);
    uint32_t positions[kBlock];
    for (std::size_t j = 0; j < count; ++j) positions[j] = b.base + b.offset[j];
    positions[k] = stored;
    b = Encoder::encode(positions, count, wide_);
}

void LineStore::erase(std::size_t pos, std::size_t count) {
    if (pos >= size_) return;
    count = std::min(count, size_ - pos);
    const Change c{pos, count, nullptr, 0};
    apply(&c, 1);
}

void LineStore::splice(const std::vector<Splice> &changes) {
    std::size_t added = 0, bytes = 0;
    for (const Splice &c : changes)
        if (c.insert) {
            added += c.insert->size();
            for (const std::string &l : *c.insert) bytes += l.size() + kArenaHeader;
        }
    // Room for all first: the lines taken over below must not move while the new ones go in.
    makeRoom(bytes);
    std::vector<uint32_t> stored;
    stored.reserve(added);
    std::vector<Change> index;
    index.reserve(changes.size());
    for (const Splice &c : changes) {
        const std::size_t first = stored.size();
        if (c.insert)
            for (const std::string &l : *c.insert) stored.push_back(store(l));
        index.push_back({c.at, c.remove, nullptr, stored.size() - first});
    }
    std::size_t next = 0;
    for (Change &c : index) {
        c.lines = stored.data() + next;
        next += c.count;
    }
    apply(index.data(), index.size());
}

std::string LineStore::serialize() const {
    std::size_t total = 0;
    for (std::size_t i = 0; i < size_; ++i) total += (*this)[i].size() + 2;
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < size_; ++i) {
        out.append((*this)[i]);
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace quentar::document
