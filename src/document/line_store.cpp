// Splitting a file into lines, editing lines, writing them back with CR LF.
#include "document/line_store.h"

#include <algorithm>
#include <cstring>

namespace quentar::document {

namespace {

// An arena line: its length, then its bytes (an edited line may hold any byte, CR and LF too).
void appendLine(std::string &arena, std::string_view line) {
    const auto length = static_cast<uint32_t>(line.size());
    arena.append(reinterpret_cast<const char *>(&length), sizeof length);
    arena.append(line);
}

} // namespace

bool LineStore::assign(std::string bytes) {
    if (bytes.size() >= kMaxBytes) return false;
    arena_.clear();
    lines_.clear();
    longLines_.clear();
    auto buf = std::make_shared<std::string>(std::move(bytes));
    const char *p = buf->data();
    const std::size_t n = buf->size();
    // DXF lines average about nine bytes; a generous guess saves most regrowth.
    lines_.reserve(n / 7 + 16);
    auto add = [&](std::size_t from, std::size_t to) {
        const std::size_t length = to - from;
        lines_.push_back({static_cast<uint32_t>(from),
                          static_cast<uint8_t>(std::min<std::size_t>(length, kLong))});
        if (length >= kLong)
            longLines_.emplace_back(static_cast<uint32_t>(from), static_cast<uint32_t>(length));
    };
    std::size_t start = 0;
    std::size_t i = 0;
    // The next LF is remembered: a file of CR-only line ends must not search to its end per line.
    const char *lf = nullptr;
    while (i < n) {
        if (!lf || lf < p + i) {
            lf = static_cast<const char *>(std::memchr(p + i, '\n', n - i));
            if (!lf) lf = p + n;
        }
        // A CR ends a line too (old Mac files); CR LF is one line end.
        const char *cr = static_cast<const char *>(std::memchr(p + i, '\r', lf - (p + i)));
        if (cr) {
            const std::size_t at = static_cast<std::size_t>(cr - p);
            add(start, at);
            i = at + 1;
            if (i < n && p[i] == '\n') ++i;
            start = i;
        } else if (lf < p + n) {
            const std::size_t at = static_cast<std::size_t>(lf - p);
            add(start, at);
            i = at + 1;
            start = i;
        } else {
            break;
        }
    }
    if (start < n) add(start, n);
    fileBuffer_ = std::move(buf);
    return true;
}

std::size_t LineStore::longLength(uint32_t offset) const {
    auto it = std::lower_bound(longLines_.begin(), longLines_.end(),
                               std::make_pair(offset, uint32_t{0}));
    return it != longLines_.end() && it->first == offset ? it->second : 0;
}

void LineStore::clear() {
    lines_.clear();
    arena_.clear();
    longLines_.clear();
    fileBuffer_.reset();
}

void LineStore::makeRoom(std::size_t bytes) {
    // An arena that would outgrow 32-bit positions starts over with the lines still in use.
    if (arena_.size() + bytes < kArena) return;
    std::string fresh;
    for (Ref &r : lines_) {
        if (!(r.offset & kArena)) continue;
        const std::string_view v = view(r);
        const uint32_t moved = static_cast<uint32_t>(fresh.size()) | kArena;
        appendLine(fresh, v);
        r.offset = moved;
    }
    arena_ = std::move(fresh);
}

LineStore::Ref LineStore::store(std::string_view line) {
    makeRoom(line.size() + sizeof(uint32_t));
    const Ref r{static_cast<uint32_t>(arena_.size()) | kArena,
                static_cast<uint8_t>(std::min<std::size_t>(line.size(), kLong))};
    appendLine(arena_, line);
    return r;
}

void LineStore::insert(std::size_t pos, std::string_view line) {
    if (pos > lines_.size()) pos = lines_.size();
    const Ref r = store(line);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), r);
}

void LineStore::insert(std::size_t pos, const std::vector<std::string> &lines) {
    if (pos > lines_.size()) pos = lines_.size();
    // Room for all first: a compaction while they are stored would move the ones stored before.
    std::size_t bytes = 0;
    for (const auto &l : lines) bytes += l.size() + sizeof(uint32_t);
    makeRoom(bytes);
    std::vector<Ref> refs;
    refs.reserve(lines.size());
    for (const auto &l : lines) refs.push_back(store(l));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(pos), refs.begin(), refs.end());
}

void LineStore::replace(std::size_t pos, std::string_view line) {
    if (pos >= lines_.size()) return;
    lines_[pos] = store(line);
}

void LineStore::erase(std::size_t pos, std::size_t count) {
    if (pos >= lines_.size()) return;
    if (count > lines_.size() - pos) count = lines_.size() - pos;
    auto b = lines_.begin() + static_cast<std::ptrdiff_t>(pos);
    lines_.erase(b, b + static_cast<std::ptrdiff_t>(count));
}

void LineStore::splice(const std::vector<Splice> &changes) {
    std::size_t added = 0, bytes = 0;
    for (const Splice &c : changes)
        if (c.insert) {
            added += c.insert->size();
            for (const std::string &l : *c.insert) bytes += l.size() + sizeof(uint32_t);
        }
    // Room for all first: the lines taken over below must not move while the new ones go in.
    makeRoom(bytes);
    std::vector<Ref> out;
    out.reserve(lines_.size() + added);
    std::size_t from = 0;
    for (const Splice &c : changes) {
        const std::size_t at = std::clamp(c.at, from, lines_.size());
        out.insert(out.end(), lines_.begin() + static_cast<std::ptrdiff_t>(from),
                   lines_.begin() + static_cast<std::ptrdiff_t>(at));
        if (c.insert)
            for (const std::string &l : *c.insert) out.push_back(store(l));
        from = std::min(at + c.remove, lines_.size());
    }
    out.insert(out.end(), lines_.begin() + static_cast<std::ptrdiff_t>(from), lines_.end());
    lines_ = std::move(out);
}

std::string LineStore::serialize() const {
    std::size_t total = 0;
    for (Ref r : lines_) total += view(r).size() + 2;
    std::string out;
    out.reserve(total);
    for (Ref r : lines_) {
        out.append(view(r));
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace quentar::document
