// processdxf: the one pass that turns the DXF lines of a drawing into its derived arrays.
#pragma once

#include "document/drawing.h"
#include "geometry/curves.h"

#include <cstdint>
#include <memory>

namespace quentar::dxf {

// Bound on the vertices of one read: a customer's file must not make the reader eat unbounded
// memory. A 100,000-entity sheet of parts holds about 6 million; beyond this, further vertices
// and curve samples are dropped (the entities are still read).
inline constexpr int64_t kMaxVerticesPerRead = 12'000'000;

// Reads `d.dxf` into the derived arrays of `d`. Never fails and never throws at a customer's
// file: whatever does not convert is left at its previous value, whatever is unknown is skipped.
//
// A Reader kept with the drawing remembers the entities of its last read: an entity whose text
// (and block context) did not change since then is taken over with its sampled vertices instead
// of being read and sampled again. That keeps re-reading after an edit fast and keeps a spline
// given by fit points from being fitted anew (the random search would make it jitter).
class Reader {
public:
    explicit Reader(render::RandomSource *rng = nullptr);
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    void processdxf(document::Drawing &d);

    // Entities taken over from the previous read / read afresh in the last pass.
    int64_t lastReused() const { return lastReused_; }
    int64_t lastRead() const { return lastRead_; }

    // Forget the previous read (e.g. when another document takes the drawing's place).
    void forget();

    struct Cache; // what the last read left for the next one

private:
    std::unique_ptr<Cache> cache_;
    document::EntityList spare_; // storage of an earlier read, reused by the next
    render::RandomSource *rng_;
    int64_t lastReused_ = 0, lastRead_ = 0;
};

// A single read without memory of earlier ones.
void processdxf(document::Drawing &d, render::RandomSource *rng = nullptr);

} // namespace quentar::dxf
