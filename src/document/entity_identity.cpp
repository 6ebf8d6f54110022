// Entity keys by handle or by lines, and carrying line keys through edits.
#include "document/entity_identity.h"

#include <algorithm>

namespace quentar::document {

EntityKeys::EntityKeys(const Drawing &d) : d_(d) {
    const auto n = static_cast<std::size_t>(std::max(d.anzpoly, 0));
    byHandle_.reserve(n);
    for (std::size_t i = 0; i < n && i < d.polys.size(); ++i) {
        const int32_t h = d.polys[i].han;
        if (h == 0) continue;
        auto [it, fresh] = byHandle_.emplace(h, static_cast<int32_t>(i));
        if (!fresh) it->second = kShared;
    }
}

EntityKey EntityKeys::keyOf(std::size_t index) const {
    const tpoly &e = d_.polys[index];
    if (e.han != 0) {
        auto it = byHandle_.find(e.han);
        if (it != byHandle_.end() && it->second != kShared) return {e.han, 0, 0};
    }
    return {0, e.linefrom, e.linebis};
}

std::optional<std::size_t> EntityKeys::find(const EntityKey &key) const {
    const auto n = std::min(static_cast<std::size_t>(std::max(d_.anzpoly, 0)), d_.polys.size());
    if (key.handle != 0) {
        auto it = byHandle_.find(key.handle);
        if (it == byHandle_.end() || it->second == kShared) return std::nullopt;
        return static_cast<std::size_t>(it->second);
    }
    // The records are in file order, so their first lines ascend.
    auto begin = d_.polys.begin(), end = begin + static_cast<std::ptrdiff_t>(n);
    auto it = std::lower_bound(begin, end, key.linefrom,
                               [](const tpoly &e, int32_t line) { return e.linefrom < line; });
    if (it == end || it->linefrom != key.linefrom || it->linebis != key.linebis)
        return std::nullopt;
    // A record with a handle of its own is found by it, never by its lines.
    if (keyOf(static_cast<std::size_t>(it - begin)).handle != 0) return std::nullopt;
    return static_cast<std::size_t>(it - begin);
}

namespace {

// One change: `removed` lines at `at` replaced by `inserted` lines.
bool follow(EntityKey &k, int64_t at, int64_t removed, int64_t inserted) {
    const int64_t from = k.linefrom, bis = k.linebis;
    const int64_t shift = inserted - removed;
    if (at + removed <= from) {
        // Wholly before the entity (an insertion right at its "0" line too).
        k.linefrom = static_cast<int32_t>(from + shift);
        k.linebis = static_cast<int32_t>(bis + shift);
        return true;
    }
    if (at > bis) return true; // after it
    // Within it, past its "0" group and type: the entity stays, its lines grow or shrink.
    if (at >= from + 2 && at + removed <= bis + 1 && bis + shift >= from + 1) {
        k.linebis = static_cast<int32_t>(bis + shift);
        return true;
    }
    return false;
}

} // namespace

std::optional<EntityKey> followEdits(EntityKey key, const EditBatch &batch) {
    return followKeys({key}, batch, false)[0];
}

std::optional<EntityKey> followUndo(EntityKey key, const EditBatch &batch) {
    return followKeys({key}, batch, true)[0];
}

std::vector<std::optional<EntityKey>> followKeys(const std::vector<EntityKey> &keys,
                                                 const EditBatch &batch, bool undone) {
    std::vector<std::optional<EntityKey>> out(keys.begin(), keys.end());
    std::vector<std::size_t> byLines; // the line keys, by first line
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].handle == 0) byLines.push_back(i);
    if (byLines.empty()) return out;

    const auto changes = simultaneousChanges(batch, undone);
    if (!changes) {
        // Change by change, in the order they are made.
        for (std::size_t i : byLines) {
            EntityKey k = keys[i];
            bool kept = true;
            if (undone) {
                for (auto it = batch.edits.rbegin(); kept && it != batch.edits.rend(); ++it)
                    kept = follow(k, it->at, static_cast<int64_t>(it->inserted.size()),
                                  static_cast<int64_t>(it->removed.size()));
            } else {
                for (auto it = batch.edits.begin(); kept && it != batch.edits.end(); ++it)
                    kept = follow(k, it->at, static_cast<int64_t>(it->removed.size()),
                                  static_cast<int64_t>(it->inserted.size()));
            }
            out[i] = kept ? std::optional<EntityKey>(k) : std::nullopt;
        }
        return out;
    }
    // Simultaneous changes, ascending: a sweep over the keys by first line. The changes wholly
    // before a key move it; those reaching into it change or remove it.
    std::sort(byLines.begin(), byLines.end(),
              [&](std::size_t a, std::size_t b) { return keys[a].linefrom < keys[b].linefrom; });
    std::size_t before = 0;
    int64_t shift = 0;
    for (std::size_t i : byLines) {
        const EntityKey &k = keys[i];
        while (before < changes->size() &&
               (*changes)[before].at + (*changes)[before].removed <= k.linefrom) {
            shift += (*changes)[before].inserted - (*changes)[before].removed;
            ++before;
        }
        EntityKey moved = k;
        bool kept = true;
        int64_t grown = 0;
        for (std::size_t c = before; kept && c < changes->size() && (*changes)[c].at <= k.linebis;
             ++c) {
            EntityKey inside = k;
            kept = follow(inside, (*changes)[c].at, (*changes)[c].removed, (*changes)[c].inserted);
            grown += (*changes)[c].inserted - (*changes)[c].removed;
        }
        if (kept && k.linebis + grown < k.linefrom + 1) kept = false;
        if (!kept) {
            out[i] = std::nullopt;
            continue;
        }
        moved.linefrom = static_cast<int32_t>(k.linefrom + shift);
        moved.linebis = static_cast<int32_t>(k.linebis + shift + grown);
        out[i] = moved;
    }
    return out;
}

} // namespace quentar::document
