// The shared, immutable block of an entity's sampled geometry.
#pragma once

#include "document/large_memory.h"
#include "document/vertex.h"

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <utility>

namespace quentar::document {

class GeometryRef;

// The sampled geometry of one entity: its vertices, extra snap points (arc centres; only x, y, z
// count) and the lines of a hatch pattern clipped to its boundary, as pairs of points (drawn,
// never measured nor snapped to). A LINE is read millions of times over, so the three runs live
// in one allocation behind an 8-byte header (reference count and vertex count; the other two
// counts follow it only when one of them is not 0); once made it never changes, which is what
// lets re-reads and the editor share it.
//
// What few entities have follows the points as side runs, announced by a second pair of counts:
// the table of far value lines of vertices whose y or z line lies far from their x line, and
// polyline widths (one per vertex, present only when a vertex has a width that is not 0).
class EntityGeometry {
public:
    std::span<const Tmypoi> ps() const { return {data(), nps_}; }
    std::span<const Tmypoi> snap() const { return {data() + nps_, more_ ? counts()->nsnap : 0}; }
    std::span<const Tmypoi> pattern() const {
        return more_ ? std::span<const Tmypoi>{data() + nps_ + counts()->nsnap, counts()->npattern}
                     : std::span<const Tmypoi>{};
    }
    // The table the vertices of this block refer to for far value lines.
    std::span<const FarLines> far() const {
        return side_ ? std::span<const FarLines>{farData(), sideCounts()->nfar}
                     : std::span<const FarLines>{};
    }
    // The y / z value line of a vertex of this block (relative to the entity, 0 = none).
    int32_t liney(const Tmypoi &v) const { return v.liney(far()); }
    int32_t linez(const Tmypoi &v) const { return v.linez(far()); }
    // The width given at vertex i of ps(); 0 where none was (only counts where setwid).
    float width(std::size_t i) const {
        return side_ && sideCounts()->widths ? widthData()[i] : 0.0f;
    }

    // A block holding copies of the three runs, the far lines their vertices refer to and the
    // widths of the vertices (by index into `ps`; missing ones are 0); null when all are empty.
    static GeometryRef make(std::span<const Tmypoi> ps, std::span<const Tmypoi> snap,
                            std::span<const Tmypoi> pattern, std::span<const FarLines> far = {},
                            std::span<const float> widths = {});

    EntityGeometry(const EntityGeometry &) = delete;
    EntityGeometry &operator=(const EntityGeometry &) = delete;

private:
    friend class GeometryRef;
    struct MoreCounts {
        uint32_t nsnap, npattern;
    };
    struct SideCounts {
        uint32_t nfar;   // entries of the far line table
        uint32_t widths; // 1: a width per vertex of ps follows the far lines
    };
    static_assert(sizeof(MoreCounts) % alignof(Tmypoi) == 0, "the vertices stay aligned after it");
    static_assert(sizeof(SideCounts) % alignof(Tmypoi) == 0, "the vertices stay aligned after it");
    static_assert(sizeof(Tmypoi) % alignof(FarLines) == 0, "the far lines stay aligned");
    EntityGeometry(uint32_t nps, bool more, bool side) : nps_(nps), more_(more), side_(side) {}
    const char *afterHeader() const { return reinterpret_cast<const char *>(this + 1); }
    const MoreCounts *counts() const { return reinterpret_cast<const MoreCounts *>(afterHeader()); }
    const SideCounts *sideCounts() const {
        return reinterpret_cast<const SideCounts *>(afterHeader() +
                                                    (more_ ? sizeof(MoreCounts) : 0));
    }
    const Tmypoi *data() const {
        return reinterpret_cast<const Tmypoi *>(afterHeader() + (more_ ? sizeof(MoreCounts) : 0) +
                                                (side_ ? sizeof(SideCounts) : 0));
    }
    Tmypoi *data() { return const_cast<Tmypoi *>(std::as_const(*this).data()); }
    std::size_t points() const {
        return nps_ + (more_ ? std::size_t{counts()->nsnap} + counts()->npattern : 0);
    }
    const FarLines *farData() const { return reinterpret_cast<const FarLines *>(data() + points()); }
    const float *widthData() const {
        return reinterpret_cast<const float *>(farData() + sideCounts()->nfar);
    }
    // Vertex-sized slots the side runs take after the points.
    static std::size_t sideSlots(std::size_t nfar, std::size_t nwidths) {
        const std::size_t bytes = nfar * sizeof(FarLines) + nwidths * sizeof(float);
        return (bytes + sizeof(Tmypoi) - 1) / sizeof(Tmypoi);
    }

    mutable std::atomic<uint32_t> refs_{1};
    uint32_t nps_ : 30;
    uint32_t more_ : 1;
    uint32_t side_ : 1;
};
static_assert(sizeof(EntityGeometry) == 8, "vertices follow the header aligned");

// A counted reference to an EntityGeometry; null when the entity has no points.
class GeometryRef {
public:
    GeometryRef() = default;
    GeometryRef(std::nullptr_t) {}
    GeometryRef(const GeometryRef &o) : g_(o.g_) {
        if (g_) g_->refs_.fetch_add(1, std::memory_order_relaxed);
    }
    GeometryRef(GeometryRef &&o) noexcept : g_(std::exchange(o.g_, nullptr)) {}
    GeometryRef &operator=(GeometryRef o) noexcept {
        std::swap(g_, o.g_);
        return *this;
    }
    ~GeometryRef() { release(); }

    const EntityGeometry *get() const { return g_; }
    const EntityGeometry *operator->() const { return g_; }
    const EntityGeometry &operator*() const { return *g_; }
    explicit operator bool() const { return g_ != nullptr; }
    // Holders of the block, this one included; 0 when null.
    long use_count() const { return g_ ? g_->refs_.load(std::memory_order_acquire) : 0; }
    void reset() { release(); }
    friend bool operator==(const GeometryRef &a, const GeometryRef &b) { return a.g_ == b.g_; }
    friend bool operator==(const GeometryRef &a, std::nullptr_t) { return a.g_ == nullptr; }

private:
    friend class EntityGeometry;
    explicit GeometryRef(EntityGeometry *g) : g_(g) {}
    void release() {
        if (g_ && g_->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            g_->~EntityGeometry();
            releaseGeometryBlock(g_);
        }
        g_ = nullptr;
    }
    EntityGeometry *g_ = nullptr;
};

inline GeometryRef EntityGeometry::make(std::span<const Tmypoi> ps, std::span<const Tmypoi> snap,
                                        std::span<const Tmypoi> pattern,
                                        std::span<const FarLines> far,
                                        std::span<const float> widths) {
    const std::size_t points = ps.size() + snap.size() + pattern.size();
    if (points == 0) return {};
    // Only a width at a vertex that has one is ever drawn: the run is kept when one is not 0.
    auto widthAt = [&](std::size_t i) {
        return i < widths.size() && ps[i].setwid ? widths[i] : 0.0f;
    };
    bool anyWidth = false;
    for (std::size_t i = 0; i < ps.size() && !anyWidth; ++i)
        anyWidth = std::bit_cast<uint32_t>(widthAt(i)) != 0;
    const std::size_t nwidths = anyWidth ? ps.size() : 0;
    const bool more = !snap.empty() || !pattern.empty();
    const bool side = !far.empty() || anyWidth;
    const std::size_t head = sizeof(EntityGeometry) + (more ? sizeof(MoreCounts) : 0) +
                             (side ? sizeof(SideCounts) : 0);
    const std::size_t n = points + sideSlots(far.size(), nwidths);
    void *raw = allocateGeometryBlock(head + n * sizeof(Tmypoi));
    auto *g = new (raw) EntityGeometry(static_cast<uint32_t>(ps.size()), more, side);
    if (more)
        new (g + 1) MoreCounts{static_cast<uint32_t>(snap.size()),
                               static_cast<uint32_t>(pattern.size())};
    if (side)
        new (const_cast<SideCounts *>(g->sideCounts()))
            SideCounts{static_cast<uint32_t>(far.size()), anyWidth ? 1u : 0u};
    Tmypoi *out = g->data();
    for (auto run : {ps, snap, pattern})
        for (const Tmypoi &v : run) new (out++) Tmypoi(v);
    if (side) {
        auto *farOut = const_cast<FarLines *>(g->farData());
        for (const FarLines &f : far) new (farOut++) FarLines(f);
        auto *widthOut = const_cast<float *>(g->widthData());
        for (std::size_t i = 0; i < nwidths; ++i) widthOut[i] = widthAt(i);
    }
    return GeometryRef(g);
}

} // namespace quentar::document
