// Contours from pieces: chaining through a grid of ends, duplicates through identical pieces and
// collinear edges, nesting through a grid of boxes and the even-odd rule.
#include "render/contours.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace quentar::render {

using document::EntityKind;

MeasureKind measureKindOf(const document::tpoly &e) {
    switch (e.kind) {
    case EntityKind::Dimension: return MeasureKind::Dimension;
    case EntityKind::Leader: return MeasureKind::Leader;
    case EntityKind::Hatch:
    case EntityKind::Wipeout: return MeasureKind::Hatch;
    case EntityKind::XLine:
    case EntityKind::Ray: return MeasureKind::Construction;
    case EntityKind::Viewport: return MeasureKind::ViewportFrame;
    default: return MeasureKind::Cut;
    }
}

const char *measureKindName(MeasureKind k) {
    switch (k) {
    case MeasureKind::Cut: return "cut";
    case MeasureKind::Dimension: return "dimension";
    case MeasureKind::Leader: return "leader";
    case MeasureKind::Hatch: return "hatch";
    case MeasureKind::Construction: return "construction";
    case MeasureKind::ViewportFrame: return "viewport";
    }
    return "cut";
}

std::vector<double> ContourAnalysis::areas() const {
    std::vector<double> out;
    for (const Contour &c : contours)
        if (c.closed) out.push_back(c.area);
    return out;
}

void piecePoints(const document::Drawing &d, const Piece &p, std::vector<double> &xy) {
    xy.clear();
    if (p.entity >= d.polys.size()) return;
    const document::tpoly &e = d.polys[p.entity];
    for (int32_t i = p.from; i <= p.to && i < e.anzp; ++i) {
        const auto &v = e.p(i);
        if (v.donotdraw) continue;
        double x, y;
        p.place.world(v, x, y);
        xy.push_back(x);
        xy.push_back(y);
    }
}

namespace {

double dist(double ax, double ay, double bx, double by) { return std::hypot(ax - bx, ay - by); }

// Integer cell of a coordinate; saturates so absurd coordinates cannot overflow.
int64_t cellOf(double v, double origin, double size) {
    const double c = std::floor((v - origin) / size);
    if (!(c > -1e15)) return -1000000000000000LL;
    if (!(c < 1e15)) return 1000000000000000LL;
    return static_cast<int64_t>(c);
}

uint64_t cellKey(int64_t ix, int64_t iy) {
    return static_cast<uint64_t>(ix) * 0x9E3779B97F4A7C15ull ^
           (static_cast<uint64_t>(iy) + 0x632BE59BD9B4E019ull);
}

// ----------------------------------------------------------------------------------------------
// Chaining

struct End {
    double x, y;
    uint32_t piece; // index into the open-piece list
    bool atEnd;     // the piece's end (else its start)
};

// Pairs every open end with the nearest other end within `tol`, nearest pairs first.
std::vector<int32_t> matchEnds(const std::vector<End> &ends, double tol) {
    std::vector<int32_t> partner(ends.size(), -1);
    if (ends.empty()) return partner;
    const double cell = std::max(tol, 1e-12);
    const double ox = ends[0].x, oy = ends[0].y;
    std::unordered_map<uint64_t, std::vector<uint32_t>> grid;
    grid.reserve(ends.size());
    for (uint32_t i = 0; i < ends.size(); ++i)
        grid[cellKey(cellOf(ends[i].x, ox, cell), cellOf(ends[i].y, oy, cell))].push_back(i);
    struct Candidate {
        double d;
        uint32_t a, b;
    };
    std::vector<Candidate> candidates;
    for (uint32_t i = 0; i < ends.size(); ++i) {
        const int64_t cx = cellOf(ends[i].x, ox, cell), cy = cellOf(ends[i].y, oy, cell);
        for (int64_t gx = cx - 1; gx <= cx + 1; ++gx)
            for (int64_t gy = cy - 1; gy <= cy + 1; ++gy) {
                auto it = grid.find(cellKey(gx, gy));
                if (it == grid.end()) continue;
                for (uint32_t j : it->second) {
                    if (j <= i || ends[j].piece == ends[i].piece) continue;
                    const double dd = dist(ends[i].x, ends[i].y, ends[j].x, ends[j].y);
                    if (dd <= tol) candidates.push_back({dd, i, j});
                }
            }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return a.d < b.d || (a.d == b.d && (a.a < b.a || (a.a == b.a && a.b < b.b)));
    });
    for (const Candidate &c : candidates)
        if (partner[c.a] < 0 && partner[c.b] < 0) {
            partner[c.a] = static_cast<int32_t>(c.b);
            partner[c.b] = static_cast<int32_t>(c.a);
        }
    return partner;
}

// ----------------------------------------------------------------------------------------------
// Duplicates

// A straight edge of a measured piece.
struct Edge {
    double x1, y1, x2, y2;
    uint32_t rank;  // order of precedence: of two edges over each other the later one is extra
    uint32_t piece;
};

// Length of the edges lying over edges of lower rank, per piece (added into `dup`).
void collinearOverlaps(std::vector<Edge> &edges, double tol, std::vector<double> &dup,
                       std::vector<std::pair<double, double>> &where) {
    if (edges.empty()) return;
    // Bin by direction (angle in [0, pi)) and by distance of the line from a common origin;
    // neighbouring bins are looked at too, so a line on a bin's border is not lost.
    const double ox = edges[0].x1, oy = edges[0].y1;
    constexpr double kAngleBin = 1e-4; // radians
    struct Keyed {
        int64_t a, o;
        uint32_t edge;
    };
    const double offsetBin = std::max(tol * 4, 1e-12);
    std::vector<Keyed> keyed;
    keyed.reserve(edges.size());
    for (uint32_t i = 0; i < edges.size(); ++i) {
        const Edge &e = edges[i];
        const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
        const double len = std::hypot(dx, dy);
        if (!(len > tol)) continue;
        double ang = std::atan2(dy, dx);
        if (ang < 0) ang += M_PI;
        if (ang >= M_PI) ang -= M_PI;
        const double ux = std::cos(ang), uy = std::sin(ang);
        const double off = (e.x1 - ox) * -uy + (e.y1 - oy) * ux;
        keyed.push_back({static_cast<int64_t>(std::floor(ang / kAngleBin)),
                         cellOf(off, 0, offsetBin), i});
    }
    std::unordered_map<uint64_t, std::vector<uint32_t>> bins;
    for (const Keyed &k : keyed) bins[cellKey(k.a, k.o)].push_back(k.edge);
    const int64_t angleBins = static_cast<int64_t>(std::ceil(M_PI / kAngleBin));
    std::vector<std::pair<double, double>> covered;
    for (const Keyed &k : keyed) {
        const Edge &e = edges[k.edge];
        const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
        const double len = std::hypot(dx, dy);
        const double ux = dx / len, uy = dy / len;
        covered.clear();
        for (int64_t da = -1; da <= 1; ++da)
            for (int64_t dof = -1; dof <= 1; ++dof) {
                int64_t a = k.a + da;
                int64_t o = k.o + dof;
                // Directions wrap at pi: beyond the last bin is the first, with the line's
                // distance from the origin counted the other way.
                if (a < 0 || a >= angleBins) {
                    a = a < 0 ? a + angleBins : a - angleBins;
                    o = -k.o - 1 + dof;
                }
                auto it = bins.find(cellKey(a, o));
                if (it == bins.end()) continue;
                for (uint32_t j : it->second) {
                    const Edge &f = edges[j];
                    if (f.rank >= e.rank || f.piece == e.piece) continue;
                    // Both ends of the other edge on this edge's line?
                    const double d1 = std::fabs((f.x1 - e.x1) * -uy + (f.y1 - e.y1) * ux);
                    const double d2 = std::fabs((f.x2 - e.x1) * -uy + (f.y2 - e.y1) * ux);
                    if (d1 > tol || d2 > tol) continue;
                    double t1 = (f.x1 - e.x1) * ux + (f.y1 - e.y1) * uy;
                    double t2 = (f.x2 - e.x1) * ux + (f.y2 - e.y1) * uy;
                    if (t1 > t2) std::swap(t1, t2);
                    t1 = std::max(t1, 0.0);
                    t2 = std::min(t2, len);
                    if (t2 > t1) covered.emplace_back(t1, t2);
                }
            }
        if (covered.empty()) continue;
        std::sort(covered.begin(), covered.end());
        double sum = 0, a = covered[0].first, b = covered[0].second;
        for (std::size_t i = 1; i < covered.size(); ++i) {
            if (covered[i].first > b) {
                sum += b - a;
                a = covered[i].first;
                b = covered[i].second;
            } else {
                b = std::max(b, covered[i].second);
            }
        }
        sum += b - a;
        if (sum > tol) {
            dup[e.piece] += sum;
            const double mid = (a + b) / 2;
            where[e.piece] = {e.x1 + ux * mid, e.y1 + uy * mid};
        }
    }
}

// ----------------------------------------------------------------------------------------------
// Nesting

// Even-odd test of (px, py) against a closed contour, streamed from its pieces. `onEdge` when
// the point lies within `tol` of the boundary (then inside/outside says nothing).
bool insideContour(const document::Drawing &d, const PieceCollector &col, const Contour &c,
                   double px, double py, double tol, bool &onEdge, std::vector<double> &buf) {
    bool inside = false;
    onEdge = false;
    bool havePrev = false, haveFirst = false;
    double fx = 0, fy = 0, lx = 0, ly = 0;
    auto step = [&](double ax, double ay, double bx, double by) {
        if ((ay > py) != (by > py)) {
            const double x = ax + (py - ay) * (bx - ax) / (by - ay);
            if (x > px) inside = !inside;
        }
        // Distance from the point to the segment.
        const double dx = bx - ax, dy = by - ay;
        const double l2 = dx * dx + dy * dy;
        double t = l2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / l2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        if (dist(px, py, ax + t * dx, ay + t * dy) <= tol) onEdge = true;
    };
    for (std::size_t k = 0; k < c.pieces.size(); ++k) {
        piecePoints(d, col.pieces[c.pieces[k]], buf);
        const std::size_t n = buf.size() / 2;
        for (std::size_t m = 0; m < n; ++m) {
            const std::size_t i = c.reversed[k] ? n - 1 - m : m;
            const double x = buf[2 * i], y = buf[2 * i + 1];
            if (!haveFirst) {
                haveFirst = true;
                fx = x;
                fy = y;
            }
            if (havePrev) step(lx, ly, x, y);
            havePrev = true;
            lx = x;
            ly = y;
        }
    }
    if (havePrev) step(lx, ly, fx, fy);
    return inside;
}

} // namespace

ContourAnalysis analyseContours(const document::Drawing &d, const PieceCollector &col) {
    ContourAnalysis out;
    const std::vector<Piece> &pieces = col.pieces;
    for (const Piece &p : pieces) {
        out.lengthByKind[static_cast<int>(p.kind)] += p.length;
        if (p.measured) out.kindMeasured[static_cast<int>(p.kind)] = true;
    }

    // Ends meet within a tolerance relative to the size of what is cut: CAD programs write their
    // coordinates rounded, but a real gap of a twentieth of a millimetre must stay a gap.
    bool any = false;
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    for (const Piece &p : pieces) {
        if (p.kind != MeasureKind::Cut) continue;
        if (!any) {
            minx = p.minx;
            miny = p.miny;
            maxx = p.maxx;
            maxy = p.maxy;
            any = true;
        }
        minx = std::min(minx, p.minx);
        miny = std::min(miny, p.miny);
        maxx = std::max(maxx, p.maxx);
        maxy = std::max(maxy, p.maxy);
    }
    const double size = any ? std::max(maxx - minx, maxy - miny) : 0;
    const double tol = std::max(size * 1e-5, 1e-9);
    out.tolerance = tol;
    const double ox = col.ox, oy = col.oy;

    // -- Duplicates: cut pieces take precedence over the rest, earlier over later.
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].measured && pieces[i].kind == MeasureKind::Cut) order.push_back(i);
    for (uint32_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].measured && pieces[i].kind != MeasureKind::Cut) order.push_back(i);
    std::vector<uint32_t> rank(pieces.size(), UINT32_MAX);
    for (uint32_t r = 0; r < order.size(); ++r) rank[order[r]] = r;
    std::vector<double> dup(pieces.size(), 0);
    std::vector<std::pair<double, double>> dupAt(pieces.size());
    {
        // Straight edges lying over each other, wholly or in part.
        std::vector<Edge> edges;
        std::vector<double> buf;
        for (uint32_t idx : order) {
            const Piece &p = pieces[idx];
            if (p.curvedLength >= p.length) continue;
            const document::tpoly &e = d.polys[p.entity];
            double px = 0, py = 0;
            bool have = false;
            for (int32_t i = p.from; i <= p.to && i < e.anzp; ++i) {
                const auto &v = e.p(i);
                if (v.donotdraw) continue;
                double x, y;
                p.place.world(v, x, y);
                if (have && !v.curve) edges.push_back({px, py, x, y, rank[idx], idx});
                have = true;
                px = x;
                py = y;
            }
        }
        collinearOverlaps(edges, tol * 10, dup, dupAt);
        // Curves drawn twice: the same piece again (same ends, box and length).
        const double q = tol * 10;
        auto qv = [&](double v, double o) { return static_cast<int64_t>(std::llround((v - o) / q)); };
        std::unordered_map<uint64_t, uint32_t> seen;
        for (uint32_t idx : order) {
            const Piece &p = pieces[idx];
            if (p.curvedLength <= 0) continue;
            int64_t a[2] = {qv(p.sx, ox), qv(p.sy, oy)}, b[2] = {qv(p.ex, ox), qv(p.ey, oy)};
            if (b[0] < a[0] || (b[0] == a[0] && b[1] < a[1])) std::swap(a, b);
            uint64_t key = cellKey(a[0], a[1]) ^ (cellKey(b[0], b[1]) * 31);
            key = key * 1099511628211ull ^ cellKey(qv(p.minx, ox), qv(p.miny, oy));
            key = key * 1099511628211ull ^ cellKey(qv(p.maxx, ox), qv(p.maxy, oy));
            key = key * 1099511628211ull ^ static_cast<uint64_t>(qv(p.length, 0));
            auto [it, fresh] = seen.emplace(key, idx);
            if (!fresh) {
                dup[idx] += p.curvedLength;
                dupAt[idx] = {p.sx, p.sy};
            }
        }
    }
    for (uint32_t idx : order)
        if (dup[idx] > tol) {
            const double len = std::min(dup[idx], pieces[idx].length);
            out.duplicates.push_back({idx, len, dupAt[idx].first, dupAt[idx].second});
            out.duplicateLength += len;
        }

    // -- Chaining: closed pieces stand alone, open ones are joined end to start.
    std::vector<uint32_t> open;
    std::vector<Contour> closed, chains;
    auto addBox = [](Contour &c, const Piece &p, bool first) {
        if (first) {
            c.minx = p.minx;
            c.miny = p.miny;
            c.maxx = p.maxx;
            c.maxy = p.maxy;
        } else {
            c.minx = std::min(c.minx, p.minx);
            c.miny = std::min(c.miny, p.miny);
            c.maxx = std::max(c.maxx, p.maxx);
            c.maxy = std::max(c.maxy, p.maxy);
        }
    };
    for (uint32_t i = 0; i < pieces.size(); ++i) {
        const Piece &p = pieces[i];
        if (p.kind != MeasureKind::Cut || p.length <= tol) continue;
        const bool shut = p.closedEntity || (p.segments >= 2 && dist(p.sx, p.sy, p.ex, p.ey) <= tol);
        if (!shut) {
            open.push_back(i);
            continue;
        }
        Contour c;
        c.pieces = {i};
        c.reversed = {false};
        c.closed = true;
        c.length = p.length;
        addBox(c, p, true);
        closed.push_back(std::move(c));
    }
    std::vector<End> ends;
    ends.reserve(open.size() * 2);
    for (uint32_t k = 0; k < open.size(); ++k) {
        const Piece &p = pieces[open[k]];
        ends.push_back({p.sx, p.sy, k, false});
        ends.push_back({p.ex, p.ey, k, true});
    }
    const std::vector<int32_t> partner = matchEnds(ends, tol);
    std::vector<char> used(open.size(), 0);
    for (uint32_t k0 = 0; k0 < open.size(); ++k0) {
        if (used[k0]) continue;
        // Back to where the chain begins (or all the way round).
        uint32_t k = k0;
        bool atEndIn = false; // we stand at piece k's start (entering it there when going on)
        bool cycle = false;
        for (std::size_t guard = 0; guard <= open.size(); ++guard) {
            const int32_t e = partner[2 * k + (atEndIn ? 1 : 0)];
            if (e < 0) break;
            const End &other = ends[static_cast<std::size_t>(e)];
            // Going backwards we leave through the partner piece's far side.
            k = other.piece;
            atEndIn = !other.atEnd;
            if (k == k0) {
                cycle = true;
                break;
            }
        }
        // The chain starts at piece k, entered at its start unless atEndIn (then reversed).
        Contour c;
        bool rev = atEndIn;
        if (cycle) {
            k = k0;
            rev = false;
        }
        bool first = true;
        for (std::size_t guard = 0; guard <= open.size(); ++guard) {
            if (used[k]) break;
            used[k] = 1;
            const Piece &p = pieces[open[k]];
            c.pieces.push_back(open[k]);
            c.reversed.push_back(rev);
            c.length += p.length;
            addBox(c, p, first);
            first = false;
            const int32_t e = partner[2 * k + (rev ? 0 : 1)];
            if (e < 0) break;
            const End &other = ends[static_cast<std::size_t>(e)];
            k = other.piece;
            rev = other.atEnd;
        }
        c.closed = cycle;
        if (cycle)
            closed.push_back(std::move(c));
        else
            chains.push_back(std::move(c));
    }

    // -- Exact areas: the shoelace sums of the pieces, the steps between them, their arcs.
    auto endOf = [&](const Contour &c, std::size_t k, bool last, double &x, double &y) {
        const Piece &p = pieces[c.pieces[k]];
        const bool atEnd = c.reversed[k] != last;
        x = atEnd ? p.ex : p.sx;
        y = atEnd ? p.ey : p.sy;
    };
    for (Contour &c : closed) {
        double s = 0, curves = 0;
        for (std::size_t k = 0; k < c.pieces.size(); ++k) {
            const Piece &p = pieces[c.pieces[k]];
            s += c.reversed[k] ? -p.shoelace : p.shoelace;
            curves += c.reversed[k] ? -p.curveArea : p.curveArea;
            double ax, ay, bx, by;
            endOf(c, k, true, ax, ay);
            endOf(c, (k + 1) % c.pieces.size(), false, bx, by);
            s += (ax - ox) * (by - oy) - (bx - ox) * (ay - oy);
        }
        c.area = std::fabs(s / 2 + curves);
    }

    // A closed contour lying wholly over earlier cut pieces is the same cut drawn twice: it is no
    // second part (nor a hole in the first).
    std::vector<char> dropped(closed.size(), 0);
    for (std::size_t i = 0; i < closed.size(); ++i) {
        double twice = 0;
        for (uint32_t idx : closed[i].pieces) twice += std::min(dup[idx], pieces[idx].length);
        if (closed[i].length > 0 && twice >= closed[i].length * 0.999) dropped[i] = 1;
    }

    // -- Nesting: each closed contour's parent is the smallest larger one around it.
    std::vector<uint32_t> byArea(closed.size());
    std::iota(byArea.begin(), byArea.end(), 0u);
    std::stable_sort(byArea.begin(), byArea.end(),
                     [&](uint32_t a, uint32_t b) { return closed[a].area > closed[b].area; });
    std::vector<uint32_t> position(closed.size());
    for (uint32_t r = 0; r < byArea.size(); ++r) position[byArea[r]] = r;
    std::vector<int32_t> parent(closed.size(), -1);
    if (closed.size() > 1) {
        double gx0 = closed[0].minx, gy0 = closed[0].miny, gx1 = closed[0].maxx,
               gy1 = closed[0].maxy;
        for (const Contour &c : closed) {
            gx0 = std::min(gx0, c.minx);
            gy0 = std::min(gy0, c.miny);
            gx1 = std::max(gx1, c.maxx);
            gy1 = std::max(gy1, c.maxy);
        }
        const int64_t cells = std::clamp<int64_t>(
            static_cast<int64_t>(std::sqrt(static_cast<double>(closed.size()))), 1, 512);
        const double cw = std::max((gx1 - gx0) / static_cast<double>(cells), 1e-12);
        const double ch = std::max((gy1 - gy0) / static_cast<double>(cells), 1e-12);
        auto cx = [&](double x) { return std::clamp<int64_t>(cellOf(x, gx0, cw), 0, cells - 1); };
        auto cy = [&](double y) { return std::clamp<int64_t>(cellOf(y, gy0, ch), 0, cells - 1); };
        std::vector<std::vector<uint32_t>> grid(static_cast<std::size_t>(cells * cells));
        std::vector<uint32_t> big;
        for (uint32_t i = 0; i < closed.size(); ++i) {
            if (dropped[i]) continue;
            const Contour &c = closed[i];
            const int64_t x0 = cx(c.minx), x1 = cx(c.maxx), y0 = cy(c.miny), y1 = cy(c.maxy);
            if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
                big.push_back(i);
                continue;
            }
            for (int64_t x = x0; x <= x1; ++x)
                for (int64_t y = y0; y <= y1; ++y)
                    grid[static_cast<std::size_t>(x * cells + y)].push_back(i);
        }
        std::vector<double> buf, candidatesBuf;
        std::vector<uint32_t> candidates;
        for (uint32_t i = 0; i < closed.size(); ++i) {
            if (dropped[i]) continue;
            const Contour &c = closed[i];
            // Points on the contour to test: mid-points of a few of its chords.
            std::vector<std::pair<double, double>> probes;
            for (std::size_t k = 0; k < c.pieces.size() && probes.size() < 4; ++k) {
                piecePoints(d, pieces[c.pieces[k]], buf);
                const std::size_t n = buf.size() / 2;
                for (std::size_t m : {std::size_t{0}, n / 3, (2 * n) / 3}) {
                    if (m + 1 >= n || probes.size() >= 4) continue;
                    probes.emplace_back((buf[2 * m] + buf[2 * m + 2]) / 2,
                                        (buf[2 * m + 1] + buf[2 * m + 3]) / 2);
                }
            }
            if (probes.empty()) continue;
            candidates.clear();
            auto consider = [&](uint32_t j) {
                if (j == i || dropped[j] || position[j] >= position[i]) return;
                const Contour &o = closed[j];
                if (o.minx > c.minx + tol || o.miny > c.miny + tol || o.maxx < c.maxx - tol ||
                    o.maxy < c.maxy - tol)
                    return;
                candidates.push_back(j);
            };
            for (uint32_t j : grid[static_cast<std::size_t>(cx(probes[0].first) * cells +
                                                            cy(probes[0].second))])
                consider(j);
            for (uint32_t j : big) consider(j);
            // Smallest first: the first that holds the contour is its parent.
            std::sort(candidates.begin(), candidates.end(),
                      [&](uint32_t a, uint32_t b) { return position[a] > position[b]; });
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            for (uint32_t j : candidates) {
                int votes = 0, decided = 0;
                for (const auto &[px, py] : probes) {
                    bool onEdge;
                    const bool in = insideContour(d, col, closed[j], px, py, tol, onEdge,
                                                  candidatesBuf);
                    if (onEdge) continue;
                    ++decided;
                    votes += in ? 1 : -1;
                }
                if (decided > 0 && votes > 0) {
                    parent[i] = static_cast<int32_t>(j);
                    break;
                }
            }
        }
    }

    // -- Parts, holes and the net area, largest contours first.
    std::vector<uint32_t> newIndex(closed.size(), UINT32_MAX);
    for (uint32_t i : byArea) {
        if (dropped[i]) continue;
        newIndex[i] = static_cast<uint32_t>(out.contours.size());
        out.contours.push_back(closed[i]);
    }
    for (uint32_t i : byArea) {
        if (dropped[i]) continue;
        Contour &c = out.contours[newIndex[i]];
        c.parent = parent[i] >= 0 ? static_cast<int32_t>(newIndex[static_cast<std::size_t>(parent[i])])
                                  : -1;
        c.depth = c.parent >= 0 ? out.contours[static_cast<std::size_t>(c.parent)].depth + 1 : 0;
    }
    std::vector<double> holesOf(out.contours.size(), 0);
    for (const Contour &c : out.contours)
        if (c.parent >= 0 && c.depth % 2 == 1) holesOf[static_cast<std::size_t>(c.parent)] += c.area;
    for (std::size_t i = 0; i < out.contours.size(); ++i) {
        const Contour &c = out.contours[i];
        ++out.closedCount;
        if (c.depth % 2 == 1) {
            ++out.holes;
            continue;
        }
        ++out.parts;
        double net = c.area - holesOf[i];
        if (net < 0) {
            out.overlapping = true;
            net = 0;
        }
        out.netArea += net;
    }
    // Open chains: each is pierced once; its two loose ends are where the cut stops.
    for (Contour &c : chains) {
        double twice = 0;
        for (uint32_t idx : c.pieces) twice += std::min(dup[idx], pieces[idx].length);
        if (c.length > 0 && twice >= c.length * 0.999) continue;
        ++out.openCount;
        double x, y;
        endOf(c, 0, false, x, y);
        out.openEnds.push_back({x, y, -1});
        endOf(c, c.pieces.size() - 1, true, x, y);
        out.openEnds.push_back({x, y, -1});
        out.contours.push_back(std::move(c));
    }
    out.pierces = out.closedCount + out.openCount;
    // How far each loose end is from the next: a gap of a few hundredths is a drawing fault.
    std::vector<uint32_t> byX(out.openEnds.size());
    std::iota(byX.begin(), byX.end(), 0u);
    std::sort(byX.begin(), byX.end(),
              [&](uint32_t a, uint32_t b) { return out.openEnds[a].x < out.openEnds[b].x; });
    for (std::size_t a = 0; a < byX.size(); ++a) {
        OpenEnd &e = out.openEnds[byX[a]];
        double best = -1;
        for (std::size_t b = a + 1; b < byX.size(); ++b) {
            const OpenEnd &o = out.openEnds[byX[b]];
            if (best >= 0 && o.x - e.x > best) break;
            const double dd = dist(e.x, e.y, o.x, o.y);
            if (best < 0 || dd < best) best = dd;
        }
        for (std::size_t b = a; b-- > 0;) {
            const OpenEnd &o = out.openEnds[byX[b]];
            if (best >= 0 && e.x - o.x > best) break;
            const double dd = dist(e.x, e.y, o.x, o.y);
            if (best < 0 || dd < best) best = dd;
        }
        e.nearest = best;
    }
    return out;
}

} // namespace quentar::render
