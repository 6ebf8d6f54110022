// Entity bounds and the grid of cells in several sizes.
#include "editor/entity_grid.h"

#include <algorithm>
#include <cmath>

namespace quentar::editor {

namespace {

uint64_t mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ull;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebull;
    x ^= x >> 31;
    return x;
}

// How far the reader's order may have moved an entity whose geometry it took over (a few
// entities inserted or deleted before it).
constexpr std::size_t kTakeOverWindow = 64;

// A query that would look at more cells than this looks at every entity's bounds instead.
constexpr int64_t kMaxCellsPerQuery = 4096;

WorldBox boundsOf(const document::tpoly &e) {
    WorldBox b;
    if (!e.geom) return b;
    const auto ps = e.geom->ps(), snap = e.geom->snap();
    const auto np = std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzp, 0)), ps.size());
    const auto ns =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(e.anzs, 0)), snap.size());
    for (std::size_t i = 0; i < np; ++i) b.add(ps[i].x, ps[i].y);
    for (std::size_t i = 0; i < ns; ++i) b.add(snap[i].x, snap[i].y);
    return b;
}

} // namespace

void WorldBox::add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (empty()) {
        minx = maxx = x;
        miny = maxy = y;
        return;
    }
    minx = std::min(minx, x);
    maxx = std::max(maxx, x);
    miny = std::min(miny, y);
    maxy = std::max(maxy, y);
}

void EntityGrid::clear() { *this = EntityGrid(); }

void EntityGrid::releaseUnused() {
    for (auto &g : geometry_)
        if (g && g.use_count() == 1) g.reset();
}

int64_t EntityGrid::cellIndex(double v, int level) const {
    const double f = std::floor(v * perCell_[level]);
    constexpr double kLimit = 4.6e18; // cells beyond this are all one: nothing there is reached
    if (!(f > -kLimit)) return static_cast<int64_t>(-kLimit);
    if (f > kLimit) return static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(f);
}

uint64_t EntityGrid::bucketOf(int level, int64_t ix, int64_t iy) const {
    const uint64_t h = mix(static_cast<uint64_t>(ix) * 0x9e3779b97f4a7c15ull ^
                           mix(static_cast<uint64_t>(iy) + static_cast<uint64_t>(level)));
    return h & (starts_.size() - 2);
}

void EntityGrid::build(const document::Drawing &d) {
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(d.anzpoly, 0)), d.polys.size());
    std::vector<WorldBox> bounds(n);
    std::vector<document::GeometryRef> geometry(n);
    std::size_t cursor = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const document::tpoly &e = d.polys[i];
        geometry[i] = e.geom;
        if (!e.geom) continue;
        bool taken = false;
        const std::size_t stop = std::min(cursor + kTakeOverWindow, geometry_.size());
        for (std::size_t k = cursor; k < stop; ++k) {
            if (geometry_[k] != e.geom) continue;
            bounds[i] = bounds_[k];
            cursor = k + 1;
            taken = true;
            break;
        }
        if (!taken) bounds[i] = boundsOf(e);
    }
    bounds_ = std::move(bounds);
    geometry_ = std::move(geometry);

    // The smallest cell fits a typical entity; far smaller cells would only cost memory.
    std::vector<double> sizes;
    sizes.reserve(n);
    WorldBox all;
    for (const WorldBox &b : bounds_) {
        if (b.empty()) continue;
        const double s = std::max(b.maxx - b.minx, b.maxy - b.miny);
        if (std::isfinite(s)) sizes.push_back(s);
        all.add(b.minx, b.miny);
        all.add(b.maxx, b.maxy);
    }
    cell0_ = 1;
    if (!sizes.empty()) {
        auto mid = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
        std::nth_element(sizes.begin(), mid, sizes.end());
        const double extent = std::max(all.maxx - all.minx, all.maxy - all.miny);
        double c = std::max(*mid, extent / 1048576);
        if (!(c > 0) || !std::isfinite(c)) c = std::isfinite(extent) && extent > 0 ? extent : 1;
        cell0_ = c;
    }
    for (int level = 0; level < kLevels; ++level) perCell_[level] = 1 / std::ldexp(cell0_, level);

    level_.assign(n, -1);
    huge_.clear();
    usedLevels_ = 0;
    // The cells of each entity: at most two by two at the level whose cells are as big as it.
    struct Span {
        int64_t x0, x1, y0, y1;
    };
    std::vector<Span> spans(n);
    std::size_t entries = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const WorldBox &b = bounds_[i];
        if (b.empty()) continue;
        const double s = std::max(b.maxx - b.minx, b.maxy - b.miny);
        int level = 0;
        while (level < kLevels && !(s * perCell_[level] <= 1)) ++level;
        level_[i] = static_cast<int8_t>(level);
        if (level == kLevels) {
            huge_.push_back(static_cast<uint32_t>(i));
            continue;
        }
        usedLevels_ |= 1u << level;
        Span &sp = spans[i];
        sp = {cellIndex(b.minx, level), cellIndex(b.maxx, level), cellIndex(b.miny, level),
              cellIndex(b.maxy, level)};
        entries += static_cast<std::size_t>((sp.x1 - sp.x0 + 1) * (sp.y1 - sp.y0 + 1));
    }
    std::size_t nb = 16;
    while (nb < entries) nb *= 2;
    starts_.assign(nb + 1, 0);
    members_.assign(entries, 0);
    // Two passes: count per bucket, then place.
    auto forEachCell = [&](std::size_t i, auto &&f) {
        const Span &sp = spans[i];
        for (int64_t ix = sp.x0; ix <= sp.x1; ++ix)
            for (int64_t iy = sp.y0; iy <= sp.y1; ++iy) f(bucketOf(level_[i], ix, iy));
    };
    auto gridded = [&](std::size_t i) { return level_[i] >= 0 && level_[i] < kLevels; };
    for (std::size_t i = 0; i < n; ++i)
        if (gridded(i)) forEachCell(i, [&](uint64_t bucket) { ++starts_[bucket + 1]; });
    for (std::size_t b = 1; b <= nb; ++b) starts_[b] += starts_[b - 1];
    std::vector<uint32_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (gridded(i))
            forEachCell(
                i, [&](uint64_t bucket) { members_[next[bucket]++] = static_cast<uint32_t>(i); });
    seen_.assign(n, 0);
    queryStamp_ = 0;
}

void EntityGrid::query(const WorldBox &box, std::vector<uint32_t> &out) const {
    out.clear();
    if (box.empty() || bounds_.empty()) return;
    if (++queryStamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0u);
        queryStamp_ = 1;
    }
    int64_t cells = 0;
    for (int level = 0; level < kLevels; ++level) {
        if (!(usedLevels_ & (1u << level))) continue;
        const double w = (box.maxx - box.minx) * perCell_[level];
        const double h = (box.maxy - box.miny) * perCell_[level];
        if (!(w < kMaxCellsPerQuery && h < kMaxCellsPerQuery)) {
            cells = kMaxCellsPerQuery + 1;
            break;
        }
        cells += (cellIndex(box.maxx, level) - cellIndex(box.minx, level) + 1) *
                 (cellIndex(box.maxy, level) - cellIndex(box.miny, level) + 1);
    }
    if (cells > kMaxCellsPerQuery) {
        // A box as large as the drawing: every entity's bounds are looked at once.
        for (std::size_t i = 0; i < bounds_.size(); ++i)
            if (bounds_[i].meets(box)) out.push_back(static_cast<uint32_t>(i));
        return;
    }
    for (int level = 0; level < kLevels; ++level) {
        if (!(usedLevels_ & (1u << level))) continue;
        for (int64_t ix = cellIndex(box.minx, level); ix <= cellIndex(box.maxx, level); ++ix)
            for (int64_t iy = cellIndex(box.miny, level); iy <= cellIndex(box.maxy, level); ++iy) {
                const uint64_t b = bucketOf(level, ix, iy);
                for (uint32_t k = starts_[b]; k < starts_[b + 1]; ++k) {
                    const uint32_t i = members_[k];
                    if (seen_[i] == queryStamp_) continue;
                    seen_[i] = queryStamp_;
                    if (bounds_[i].meets(box)) out.push_back(i);
                }
            }
    }
    for (uint32_t i : huge_)
        if (bounds_[i].meets(box)) out.push_back(i);
    std::sort(out.begin(), out.end());
}

} // namespace quentar::editor
