// The vertex record and the shared, immutable block of an entity's sampled geometry.
#pragma once

#include "document/large_memory.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <type_traits>
#include <utility>

namespace quentar::document {

// One vertex of an entity (also used for snap points and the polyline being drawn).
// Line fields (`linex`, `liney`, `linez`) are stored relative to the owning entity's `linefrom`
// so that an entity whose text only moved within `dxf` can reuse its sampled vertices unchanged;
// 0 still means "no line of its own". Use tpoly::absLine() to get the index into `dxf`.
struct Tmypoi {
    double x = 0, y = 0, z = 0; // coordinates, drawing units
    int32_t linex = 0, liney = 0, linez = 0; // value lines relative to linefrom, 0 = none
    // Group 42 of the vertex, for information: bulge arcs are expanded into vertices while the
    // drawing is read, from the exact value in the file.
    float bulge = 0;
    float wid = 0;                  // polyline width at this vertex, meaningful when setwid
    // Small fields packed into one byte: a drawing holds millions of vertices.
    uint8_t mode : 2 = 0;           // grip kind: 0 point/centre, 1 radius, 2 ellipse minor axis, 3 arc end
    uint8_t botharrows : 2 = 0;     // 3: end of a segment with arrowheads at both ends (dimensions)
    bool setwid : 1 = false;        // a width was given for this vertex
    bool doadddimtexthere : 1 = false; // the dimension text is drawn here
    bool moveonly : 1 = false;      // the step to this vertex is a jump, not a segment
    bool donotdraw : 1 = false;     // construction point: never drawn nor measured
    // The step to this vertex samples a curve (arc, circle, ellipse, bulge, spline): its chord
    // is not an edge of the drawing.
    bool curve : 1 = false;
};
static_assert(sizeof(Tmypoi) == 48, "a vertex record stays compact");
static_assert(std::is_trivially_copyable_v<Tmypoi> && std::is_trivially_destructible_v<Tmypoi>,
              "vertices are copied and dropped as plain bytes");

class GeometryRef;

// The sampled geometry of one entity: its vertices, extra snap points (arc centres; only x, y, z
// count) and the lines of a hatch pattern clipped to its boundary, as pairs of points (drawn,
// never measured nor snapped to). A LINE is read millions of times over, so the three runs live
// in one allocation behind an 8-byte header (reference count and vertex count; the other two
// counts follow it only when one of them is not 0); once made it never changes, which is what
// lets re-reads and the editor share it.
class EntityGeometry {
public:
    std::span<const Tmypoi> ps() const { return {data(), nps_}; }
    std::span<const Tmypoi> snap() const { return {data() + nps_, more_ ? counts()->nsnap : 0}; }
    std::span<const Tmypoi> pattern() const {
        return more_ ? std::span<const Tmypoi>{data() + nps_ + counts()->nsnap, counts()->npattern}
                     : std::span<const Tmypoi>{};
    }

    // A block holding copies of the three runs; null when all are empty.
    static GeometryRef make(std::span<const Tmypoi> ps, std::span<const Tmypoi> snap,
                            std::span<const Tmypoi> pattern);

    EntityGeometry(const EntityGeometry &) = delete;
    EntityGeometry &operator=(const EntityGeometry &) = delete;

private:
    friend class GeometryRef;
    struct MoreCounts {
        uint32_t nsnap, npattern;
    };
    static_assert(sizeof(MoreCounts) % alignof(Tmypoi) == 0, "the vertices stay aligned after it");
    EntityGeometry(uint32_t nps, bool more) : nps_(nps), more_(more) {}
    const MoreCounts *counts() const { return reinterpret_cast<const MoreCounts *>(this + 1); }
    const Tmypoi *data() const {
        return reinterpret_cast<const Tmypoi *>(reinterpret_cast<const char *>(this + 1) +
                                                (more_ ? sizeof(MoreCounts) : 0));
    }
    Tmypoi *data() { return const_cast<Tmypoi *>(std::as_const(*this).data()); }

    mutable std::atomic<uint32_t> refs_{1};
    uint32_t nps_ : 31;
    uint32_t more_ : 1;
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
                                        std::span<const Tmypoi> pattern) {
    const std::size_t n = ps.size() + snap.size() + pattern.size();
    if (n == 0) return {};
    const bool more = !snap.empty() || !pattern.empty();
    const std::size_t head = sizeof(EntityGeometry) + (more ? sizeof(MoreCounts) : 0);
    void *raw = allocateGeometryBlock(head + n * sizeof(Tmypoi));
    auto *g = new (raw) EntityGeometry(static_cast<uint32_t>(ps.size()), more);
    if (more)
        new (g + 1) MoreCounts{static_cast<uint32_t>(snap.size()),
                               static_cast<uint32_t>(pattern.size())};
    Tmypoi *out = g->data();
    for (auto run : {ps, snap, pattern})
        for (const Tmypoi &v : run) new (out++) Tmypoi(v);
    return GeometryRef(g);
}

} // namespace quentar::document
