// Duplicates: a stretch drawn over an earlier piece is cut once. Whole copies (a block arrayed
// onto itself) go before the noding, arcs over arcs of the same circle are cut where the earlier
// ends, and straight stretches over each other are found by the noding's search (takeOverlaps).
#include "contours/work.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace quentar::contours::detail {

namespace {

// Drops the pieces taking part that `drop` marks, renumbering what refers to them.
void dropPieces(Work &w, const std::vector<char> &drop) {
    std::vector<uint32_t> renumber(w.taking.size(), UINT32_MAX);
    std::size_t kept = 0;
    for (std::size_t k = 0; k < w.taking.size(); ++k) {
        if (drop[k]) continue;
        renumber[k] = static_cast<uint32_t>(kept);
        w.taking[kept] = w.taking[k];
        ++kept;
    }
    w.taking.resize(kept);
    auto keep = [&](auto &list) {
        std::size_t n = 0;
        for (auto &item : list)
            if (renumber[item.k] != UINT32_MAX) {
                item.k = renumber[item.k];
                list[n++] = item;
            }
        list.resize(n);
    };
    keep(w.removals);
    keep(w.splits);
}

void report(Work &w, uint32_t piece, double length, double x, double y) {
    if (!(length > w.tol)) return;
    w.out.duplicates.push_back({piece, length, x, y});
    w.out.duplicateLength += length;
}

// The circle an arc or circle piece lies on, in the drawing, when its placement keeps circles
// round.
bool circleOf(const Work &w, uint32_t k, double &cx, double &cy, double &r) {
    const Piece &p = w.piece(k);
    const document::tpoly &e = w.d.polys[p.entity];
    if (e.kind != document::EntityKind::Arc && e.kind != document::EntityKind::Circle) return false;
    const Placement &pl = w.col.placements[p.placement];
    double scale = 1;
    if (pl.linear != Placement::kIdentity) {
        const auto &m = w.col.linears[pl.linear].m;
        // A similarity: orthogonal columns of equal length.
        const double a = m[0][0], b = m[0][1], c = m[1][0], d = m[1][1];
        const double l1 = a * a + c * c, l2 = b * b + d * d;
        if (std::fabs(l1 - l2) > 1e-9 * (l1 + l2) || std::fabs(a * b + c * d) > 1e-9 * (l1 + l2))
            return false;
        scale = std::sqrt(l1);
    }
    document::Tmypoi centre;
    centre.x = e.cx;
    centre.y = e.cy;
    centre.z = e.cz;
    w.col.world(p, centre, cx, cy);
    r = e.radius * scale;
    return r > 0 && std::isfinite(r);
}

// Arcs of one circle: where a later arc runs over earlier ones, that stretch is left out of the
// graph, cut at the earlier arcs' ends.
void arcsOverArcs(Work &w, std::vector<char> &whole) {
    struct Arc {
        uint32_t k;
        double cx, cy, r;
        double start, sweep; // radians, counter-clockwise from start
        bool forward;        // its points run counter-clockwise
    };
    const double q = w.tol * 10;
    // Arcs by their circle first: only a circle with two arcs or more needs their sweeps.
    std::vector<std::pair<uint64_t, Arc>> onCircle;
    for (uint32_t k = 0; k < w.taking.size(); ++k) {
        if (whole[k]) continue;
        Arc a{k, 0, 0, 0, 0, 0, true};
        if (!circleOf(w, k, a.cx, a.cy, a.r)) continue;
        const uint64_t key = cellKey(static_cast<int64_t>(std::llround((a.cx - w.ox) / q)),
                                     static_cast<int64_t>(std::llround((a.cy - w.oy) / q))) ^
                             static_cast<uint64_t>(std::llround(a.r / q)) * 0xC2B2AE3D27D4EB4Full;
        onCircle.emplace_back(key, a);
    }
    std::stable_sort(onCircle.begin(), onCircle.end(),
                     [](const auto &x, const auto &y) { return x.first < y.first; });
    std::vector<std::vector<Arc>> circles;
    std::vector<double> xy;
    for (std::size_t i = 0; i < onCircle.size();) {
        std::size_t j = i;
        while (j < onCircle.size() && onCircle[j].first == onCircle[i].first) ++j;
        if (j - i >= 2) {
            circles.emplace_back();
            for (std::size_t m = i; m < j; ++m) {
                Arc a = onCircle[m].second;
                xy.clear();
                w.points(a.k, xy);
                if (xy.size() < 6) continue;
                const std::size_t n = xy.size() / 2;
                const double a0 = std::atan2(xy[1] - a.cy, xy[0] - a.cx);
                const double a1 = std::atan2(xy[3] - a.cy, xy[2] - a.cx);
                const double an = std::atan2(xy[2 * n - 1] - a.cy, xy[2 * n - 2] - a.cx);
                a.forward = std::remainder(a1 - a0, 2 * M_PI) > 0;
                // The points are evenly spread: the sweep is the steps times the first one.
                a.sweep = std::min(std::fabs(std::remainder(a1 - a0, 2 * M_PI)) * double(n - 1),
                                   2 * M_PI);
                a.start = a.forward ? a0 : an;
                circles.back().push_back(a);
            }
        }
        i = j;
    }
    for (std::vector<Arc> &arcs : circles) {
        if (arcs.size() < 2) continue;
        for (std::size_t j = 1; j < arcs.size(); ++j) {
            const Arc &b = arcs[j];
            // What the earlier arcs cover of this one, as angles from its start.
            std::vector<std::pair<double, double>> covered;
            for (std::size_t i = 0; i < j; ++i) {
                const Arc &a = arcs[i];
                if (whole[a.k] || std::fabs(a.r - b.r) > q ||
                    std::hypot(a.cx - b.cx, a.cy - b.cy) > q)
                    continue;
                double from = std::remainder(a.start - b.start, 2 * M_PI);
                if (from < 0) from += 2 * M_PI;
                // a covers [from, from + a.sweep] (mod 2 pi) of b's [0, b.sweep].
                for (double shift : {-2 * M_PI, 0.0, 2 * M_PI}) {
                    const double lo = std::max(0.0, from + shift),
                                 hi = std::min(b.sweep, from + shift + a.sweep);
                    if (hi > lo) covered.emplace_back(lo, hi);
                }
            }
            if (covered.empty()) continue;
            std::sort(covered.begin(), covered.end());
            std::vector<std::pair<double, double>> merged;
            for (const auto &c : covered) {
                if (!merged.empty() && c.first <= merged.back().second)
                    merged.back().second = std::max(merged.back().second, c.second);
                else
                    merged.push_back(c);
            }
            double sum = 0;
            for (const auto &m : merged) sum += m.second - m.first;
            const Piece &p = w.piece(b.k);
            const double arcLength = b.r * b.sweep;
            if (sum * b.r <= w.tol) continue;
            const double mid = b.start + (merged[0].first + merged[0].second) / 2;
            report(w, w.taking[b.k], p.length * std::min(1.0, sum / b.sweep),
                   b.cx + b.r * std::cos(mid), b.cy + b.r * std::sin(mid));
            if (sum >= b.sweep * (1 - 1e-9) || (b.sweep - sum) * b.r <= w.tol) {
                whole[b.k] = 1;
                continue;
            }
            (void)arcLength;
            // The points are evenly spread over the sweep: an angle is a place on the piece.
            std::vector<int32_t> at;
            xy.clear();
            w.points(b.k, xy, &at);
            const std::size_t steps = at.size() - 1;
            auto place = [&](double angle, Split &s) {
                // Angle from the piece's first point along its walking direction.
                const double along = b.forward ? angle : b.sweep - angle;
                double f = along / b.sweep * static_cast<double>(steps);
                f = std::clamp(f, 0.0, static_cast<double>(steps));
                std::size_t m = static_cast<std::size_t>(std::floor(f));
                if (m >= steps) m = steps - 1;
                s.k = b.k;
                s.at = {at[m], static_cast<float>(f - static_cast<double>(m))};
                const double world = b.start + angle;
                s.x = b.cx + b.r * std::cos(world);
                s.y = b.cy + b.r * std::sin(world);
                return s.at;
            };
            for (const auto &m : merged) {
                Split lo, hi;
                Position pa = place(m.first, lo), pb = place(m.second, hi);
                if (pb < pa) std::swap(pa, pb);
                w.splits.push_back(lo);
                w.splits.push_back(hi);
                w.removals.push_back({b.k, pa, pb});
            }
        }
    }
}

} // namespace

void findDuplicates(Work &w) {
    // Whole copies first: the same points again (a block arrayed onto itself, an outline drawn
    // twice). Within a hair of each other, the same ends, box, length and number of steps.
    const double q = w.tol * 10;
    auto qv = [&](double v, double o) { return static_cast<int64_t>(std::llround((v - o) / q)); };
    std::vector<char> whole(w.taking.size(), 0);
    auto near = [&](double a, double b) { return std::fabs(a - b) <= q; };
    auto same = [&](uint32_t k, uint32_t o) {
        const Piece &p = w.piece(k), &r = w.piece(o);
        if (p.segments != r.segments || !near(p.length, r.length)) return false;
        const double *a = w.ends(k), *b = w.ends(o);
        const bool ends =
            (near(a[0], b[0]) && near(a[1], b[1]) && near(a[2], b[2]) && near(a[3], b[3])) ||
            (near(a[0], b[2]) && near(a[1], b[3]) && near(a[2], b[0]) && near(a[3], b[1]));
        const Box x = w.box(k), y = w.box(o);
        return ends && near(x.minx, y.minx) && near(x.miny, y.miny) && near(x.maxx, y.maxx) &&
               near(x.maxy, y.maxy);
    };
    // Pieces sorted by a hash of what they are, quantized: copies come together (copies within
    // a hair of a quantum's border hash apart, and the noding finds them then).
    std::vector<std::pair<uint64_t, uint32_t>> keyed(w.taking.size());
    for (uint32_t k = 0; k < w.taking.size(); ++k) {
        const Piece &p = w.piece(k);
        const double *e = w.ends(k);
        int64_t a[2] = {qv(e[0], w.ox), qv(e[1], w.oy)}, b[2] = {qv(e[2], w.ox), qv(e[3], w.oy)};
        if (b[0] < a[0] || (b[0] == a[0] && b[1] < a[1])) std::swap(a, b);
        const Box bx = w.box(k);
        uint64_t key = cellKey(a[0], a[1]) * 0x2545F4914F6CDD1Dull ^ cellKey(b[0], b[1]);
        key = key * 1099511628211ull ^ cellKey(qv(bx.minx, w.ox), qv(bx.miny, w.oy));
        key = key * 1099511628211ull ^ cellKey(qv(bx.maxx, w.ox), qv(bx.maxy, w.oy));
        key = key * 1099511628211ull ^ static_cast<uint64_t>(qv(p.length, 0));
        key = key * 1099511628211ull ^ static_cast<uint64_t>(p.segments);
        keyed[k] = {key, k};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].first == keyed[i].first) ++j;
        // Each one against the earlier ones of its run that are no copies themselves.
        for (std::size_t m = i + 1; m < j; ++m) {
            const uint32_t k = keyed[m].second;
            for (std::size_t n = i; n < m; ++n) {
                const uint32_t o = keyed[n].second;
                if (whole[o] || !same(k, o)) continue;
                // The later in drawing order is the copy.
                const uint32_t copy = std::max(k, o);
                whole[copy] = 1;
                report(w, w.taking[copy], w.piece(copy).length, w.ends(copy)[0], w.ends(copy)[1]);
                break;
            }
        }
        i = j;
    }
    std::vector<std::pair<uint64_t, uint32_t>>().swap(keyed);
    arcsOverArcs(w, whole);
    dropPieces(w, whole);
}

void takeOverlaps(Work &w, std::vector<Overlap> &overlaps) {
    // Per step of a piece, the stretches earlier pieces cover, merged.
    std::sort(overlaps.begin(), overlaps.end(), [](const Overlap &a, const Overlap &b) {
        return a.k < b.k ||
               (a.k == b.k && (a.vertex < b.vertex || (a.vertex == b.vertex && a.t0 < b.t0)));
    });
    std::vector<double> xy;
    std::vector<int32_t> at;
    uint32_t current = UINT32_MAX;
    double pieceSum = 0, px = 0, py = 0;
    auto flush = [&]() {
        if (current != UINT32_MAX) report(w, w.taking[current], pieceSum, px, py);
        pieceSum = 0;
    };
    for (std::size_t i = 0; i < overlaps.size();) {
        const uint32_t k = overlaps[i].k;
        const int32_t v = overlaps[i].vertex;
        if (k != current) {
            flush();
            current = k;
            xy.clear();
            at.clear();
            w.points(k, xy, &at);
        }
        std::size_t j = i;
        double lo = overlaps[i].t0, hi = overlaps[i].t1, sum = 0;
        auto close = [&]() {
            w.removals.push_back({k, {v, static_cast<float>(lo)}, {v, static_cast<float>(hi)}});
            sum += hi - lo;
        };
        for (; j < overlaps.size() && overlaps[j].k == k && overlaps[j].vertex == v; ++j) {
            if (overlaps[j].t0 > hi) {
                close();
                lo = overlaps[j].t0;
                hi = overlaps[j].t1;
            } else {
                hi = std::max(hi, overlaps[j].t1);
            }
        }
        close();
        // The step's length, for the report.
        const auto it = std::lower_bound(at.begin(), at.end(), v);
        if (it != at.end() && it + 1 != at.end()) {
            const std::size_t m = static_cast<std::size_t>(it - at.begin());
            const double dx = xy[2 * m + 2] - xy[2 * m], dy = xy[2 * m + 3] - xy[2 * m + 1];
            pieceSum += sum * std::sqrt(dx * dx + dy * dy);
            const double t = (overlaps[i].t0 + overlaps[i].t1) / 2;
            px = xy[2 * m] + t * dx;
            py = xy[2 * m + 1] + t * dy;
        }
        i = j;
    }
    flush();
}

} // namespace quentar::contours::detail
