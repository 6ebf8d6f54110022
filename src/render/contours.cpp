// Contours from pieces: chaining through a grid of ends, duplicates through identical pieces and
// collinear edges, nesting through a grid of boxes and the even-odd rule.
#include "render/contours.h"

#include "geometry/curves.h"

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
    case MeasureKind::Dashed: return "dashed";
    case MeasureKind::Mesh: return "mesh";
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
    xy.reserve(2 * static_cast<std::size_t>(p.segments + 1));
    for (int32_t i = p.from; i <= p.to && i < e.anzp; ++i) {
        const auto &v = e.p(i);
        if (v.donotdraw) continue;
        double x, y;
        p.place.world(v, x, y);
        xy.push_back(x);
        xy.push_back(y);
    }
}

void edgePoints(const document::Drawing &d, const PieceCollector &col, const ContourEdge &e,
                bool backwards, std::vector<double> &xy) {
    const std::size_t at = xy.size();
    xy.push_back(e.ax);
    xy.push_back(e.ay);
    if (e.piece < col.pieces.size()) {
        const Piece &p = col.pieces[e.piece];
        const document::tpoly &en = d.polys[p.entity];
        int32_t k = 0;
        for (int32_t i = p.from; i <= p.to && i < en.anzp; ++i) {
            const auto &v = en.p(i);
            if (v.donotdraw) continue;
            // Points strictly inside the edge: beyond its start, before its end.
            const bool afterStart = e.head ? k >= e.i0 : k > e.i0;
            const bool beforeEnd = e.tail ? k <= e.i1 : k < e.i1;
            if (afterStart && beforeEnd) {
                double x, y;
                p.place.world(v, x, y);
                xy.push_back(x);
                xy.push_back(y);
            }
            ++k;
        }
    }
    xy.push_back(e.bx);
    xy.push_back(e.by);
    if (backwards) {
        const std::size_t n = (xy.size() - at) / 2;
        for (std::size_t i = 0; i < n / 2; ++i) {
            std::swap(xy[at + 2 * i], xy[at + 2 * (n - 1 - i)]);
            std::swap(xy[at + 2 * i + 1], xy[at + 2 * (n - 1 - i) + 1]);
        }
    }
}

namespace {

// (std::hypot guards against overflow the coordinates of a drawing never come near, at several
// times the cost.)
double dist(double ax, double ay, double bx, double by) {
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
}

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
    // neighbouring bins are looked at too, so a line on a bin's border is not lost. Within a
    // bin the edges lie along one line: sorted by where they start on it, only those reaching
    // into an edge's stretch are looked at (a row of parts puts hundreds of edges on one line).
    const double ox = edges[0].x1, oy = edges[0].y1;
    constexpr double kAngleBin = 1e-4; // radians
    struct Keyed {
        int64_t a, o;
        double t0, t1; // the stretch along the bin's direction
        uint32_t edge;
    };
    const double offsetBin = std::max(tol * 4, 1e-12);
    double extent = 0;
    for (const Edge &e : edges)
        extent = std::max({extent, std::fabs(e.x1 - ox), std::fabs(e.y1 - oy),
                           std::fabs(e.x2 - ox), std::fabs(e.y2 - oy)});
    // Neighbouring bins measure along directions a bin apart: stretches are compared loosely.
    const double slack = 4 * kAngleBin * extent + 2 * tol;
    std::vector<Keyed> keyed;
    keyed.reserve(edges.size());
    for (uint32_t i = 0; i < edges.size(); ++i) {
        const Edge &e = edges[i];
        const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
        const double len = std::sqrt(dx * dx + dy * dy);
        if (!(len > tol)) continue;
        double ang = std::atan2(dy, dx);
        if (ang < 0) ang += M_PI;
        if (ang >= M_PI) ang -= M_PI;
        const double ux = std::cos(ang), uy = std::sin(ang);
        const double off = (e.x1 - ox) * -uy + (e.y1 - oy) * ux;
        const int64_t a = static_cast<int64_t>(std::floor(ang / kAngleBin));
        const double ca = std::cos(static_cast<double>(a) * kAngleBin),
                     sa = std::sin(static_cast<double>(a) * kAngleBin);
        double t0 = (e.x1 - ox) * ca + (e.y1 - oy) * sa, t1 = (e.x2 - ox) * ca + (e.y2 - oy) * sa;
        if (t0 > t1) std::swap(t0, t1);
        keyed.push_back({a, cellOf(off, 0, offsetBin), t0, t1, i});
    }
    std::vector<Keyed> sorted = keyed;
    std::sort(sorted.begin(), sorted.end(), [](const Keyed &x, const Keyed &y) {
        return x.a < y.a || (x.a == y.a && (x.o < y.o || (x.o == y.o && x.t0 < y.t0)));
    });
    // The furthest end reached by the edges of a bin up to each one.
    std::vector<double> reach(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const bool sameBin = i > 0 && sorted[i - 1].a == sorted[i].a && sorted[i - 1].o == sorted[i].o;
        reach[i] = sameBin ? std::max(reach[i - 1], sorted[i].t1) : sorted[i].t1;
    }
    // Where each bin's run begins and ends: an open-addressed table of the runs.
    struct Run {
        int64_t a, o;
        uint32_t lo, hi;
    };
    std::size_t capacity = 16;
    while (capacity < sorted.size() * 2) capacity <<= 1;
    std::vector<Run> runs(capacity, Run{0, 0, 0, 0});
    auto slotOf = [&](int64_t a, int64_t o) {
        return static_cast<std::size_t>(cellKey(a, o) * 0x9E3779B97F4A7C15ull >> 20) &
               (capacity - 1);
    };
    for (uint32_t i = 0; i < sorted.size();) {
        uint32_t j = i;
        while (j < sorted.size() && sorted[j].a == sorted[i].a && sorted[j].o == sorted[i].o) ++j;
        std::size_t slot = slotOf(sorted[i].a, sorted[i].o);
        while (runs[slot].hi != 0) slot = (slot + 1) & (capacity - 1);
        runs[slot] = {sorted[i].a, sorted[i].o, i, j};
        i = j;
    }
    auto bin = [&](int64_t a, int64_t o) {
        for (std::size_t slot = slotOf(a, o); runs[slot].hi != 0;
             slot = (slot + 1) & (capacity - 1))
            if (runs[slot].a == a && runs[slot].o == o)
                return std::pair{sorted.begin() + runs[slot].lo, sorted.begin() + runs[slot].hi};
        return std::pair{sorted.end(), sorted.end()};
    };
    const int64_t angleBins = static_cast<int64_t>(std::ceil(M_PI / kAngleBin));
    std::vector<std::pair<double, double>> covered;
    for (const Keyed &k : keyed) {
        const Edge &e = edges[k.edge];
        const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
        const double len = std::sqrt(dx * dx + dy * dy);
        const double ux = dx / len, uy = dy / len;
        covered.clear();
        bool whole = false;
        std::size_t looked = 0;
        // Beyond this many neighbours on its line an edge's overlap is taken as found so far.
        constexpr std::size_t kMostLooked = 256;
        // The neighbouring bins only where a collinear edge could fall into them: near a
        // border by the edge's uncertainty in direction (tol over its length) or distance.
        double ang = std::atan2(dy, dx);
        if (ang < 0) ang += M_PI;
        if (ang >= M_PI) ang -= M_PI;
        const double inA = ang / kAngleBin - static_cast<double>(k.a);
        const double spreadA = 2 * tol / len / kAngleBin;
        const double off = (e.x1 - ox) * -std::sin(ang) + (e.y1 - oy) * std::cos(ang);
        const double inO = off / offsetBin - static_cast<double>(k.o);
        const double spreadO = 2 * tol / offsetBin + 2 * len * kAngleBin / offsetBin;
        const int64_t aLow = inA < spreadA ? -1 : 0, aHigh = inA > 1 - spreadA ? 1 : 0;
        const int64_t oLow = inO < spreadO ? -1 : 0, oHigh = inO > 1 - spreadO ? 1 : 0;
        for (int64_t da = aLow; da <= aHigh && !whole; ++da)
            for (int64_t dof = oLow; dof <= oHigh && !whole; ++dof) {
                int64_t a = k.a + da;
                int64_t o = k.o + dof;
                double t0 = k.t0, t1 = k.t1;
                // Directions wrap at pi: beyond the last bin is the first, with the line's
                // distance from the origin and its stretch counted the other way.
                if (a < 0 || a >= angleBins) {
                    a = a < 0 ? a + angleBins : a - angleBins;
                    o = -k.o - 1 + dof;
                    std::swap(t0, t1);
                    t0 = -t0;
                    t1 = -t1;
                }
                const auto [lo, hi] = bin(a, o);
                if (lo == hi) continue;
                // Candidates start before this stretch ends and reach into it.
                auto end = std::upper_bound(lo, hi, t1 + slack,
                                            [](double t, const Keyed &x) { return t < x.t0; });
                for (auto it = end; it != lo && !whole && looked < kMostLooked;) {
                    --it;
                    ++looked;
                    if (reach[static_cast<std::size_t>(it - sorted.begin())] < t0 - slack) break;
                    const Edge &f = edges[it->edge];
                    if (f.rank >= e.rank || f.piece == e.piece) continue;
                    // Both ends of the other edge on this edge's line?
                    const double d1 = std::fabs((f.x1 - e.x1) * -uy + (f.y1 - e.y1) * ux);
                    const double d2 = std::fabs((f.x2 - e.x1) * -uy + (f.y2 - e.y1) * ux);
                    if (d1 > tol || d2 > tol) continue;
                    double s1 = (f.x1 - e.x1) * ux + (f.y1 - e.y1) * uy;
                    double s2 = (f.x2 - e.x1) * ux + (f.y2 - e.y1) * uy;
                    if (s1 > s2) std::swap(s1, s2);
                    s1 = std::max(s1, 0.0);
                    s2 = std::min(s2, len);
                    if (s2 > s1) covered.emplace_back(s1, s2);
                    // One edge lying over all of this one settles it (a block arrayed onto
                    // itself puts thousands of copies on one line).
                    whole = whole || (s1 <= 0 && s2 >= len);
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
// The graph of the cut contours

// Union-find over indices.
struct Sets {
    std::vector<uint32_t> up;
    explicit Sets(std::size_t n) : up(n) { std::iota(up.begin(), up.end(), 0u); }
    uint32_t find(uint32_t a) {
        while (up[a] != a) a = up[a] = up[up[a]];
        return a;
    }
    void join(uint32_t a, uint32_t b) {
        a = find(a);
        b = find(b);
        if (a != b) up[std::max(a, b)] = std::min(a, b);
    }
};

// A grid of boxes: what lies near a point.
class BoxGrid {
public:
    // Square cells, about one item each, so a long narrow drawing (a row of parts) is split
    // along its length rather than into slivers that each hold a thousand items.
    BoxGrid(double x0, double y0, double x1, double y1, std::size_t items) : x0_(x0), y0_(y0) {
        const double w = std::max(x1 - x0, 1e-12), h = std::max(y1 - y0, 1e-12);
        const double n = static_cast<double>(std::clamp<std::size_t>(items, 1, 4'000'000));
        double cs = std::sqrt(w * h / n);
        cs = std::max({cs, w / 4'000'000.0, h / 4'000'000.0});
        nx_ = std::clamp<int64_t>(static_cast<int64_t>(std::ceil(w / cs)), 1, 4'000'000);
        ny_ = std::clamp<int64_t>(static_cast<int64_t>(std::ceil(h / cs)), 1, 4'000'000);
        while (nx_ * ny_ > 4 * static_cast<int64_t>(n) + 16) {
            nx_ = std::max<int64_t>(1, nx_ / 2);
            ny_ = std::max<int64_t>(1, ny_ / 2);
        }
        cw_ = w / static_cast<double>(nx_);
        ch_ = h / static_cast<double>(ny_);
        grid_.resize(static_cast<std::size_t>(nx_ * ny_));
    }
    void add(uint32_t item, double minx, double miny, double maxx, double maxy) {
        const int64_t a = cx(minx), b = cx(maxx), c = cy(miny), e = cy(maxy);
        if ((b - a + 1) * (e - c + 1) > 4096) {
            big_.push_back(item);
            return;
        }
        for (int64_t x = a; x <= b; ++x)
            for (int64_t y = c; y <= e; ++y) grid_[static_cast<std::size_t>(x * ny_ + y)].push_back(item);
    }
    template <class F> void near(double x, double y, F &&f) const {
        for (uint32_t i : grid_[static_cast<std::size_t>(cx(x) * ny_ + cy(y))]) f(i);
        for (uint32_t i : big_) f(i);
    }

private:
    int64_t cx(double x) const { return std::clamp<int64_t>(cellOf(x, x0_, cw_), 0, nx_ - 1); }
    int64_t cy(double y) const { return std::clamp<int64_t>(cellOf(y, y0_, ch_), 0, ny_ - 1); }
    double x0_, y0_, cw_ = 1, ch_ = 1;
    int64_t nx_ = 1, ny_ = 1;
    std::vector<std::vector<uint32_t>> grid_;
    std::vector<uint32_t> big_;
};

// Where another piece's loose end lies on a piece: after its point `segment`, at `t` of the way.
struct Split {
    int32_t segment;
    double t;
    double x, y;
    uint32_t node;
};

double segmentDistance(double px, double py, double ax, double ay, double bx, double by,
                       double &t) {
    const double dx = bx - ax, dy = by - ay;
    const double l2 = dx * dx + dy * dy;
    t = l2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / l2, 0.0, 1.0) : 0;
    return dist(px, py, ax + t * dx, ay + t * dy);
}

// Bounds that keep pathological drawings (thousands of copies stacked on one spot) from taking
// quadratic time; hitting one marks the analysis as simplified.
constexpr std::size_t kMostCandidates = 256;
constexpr std::size_t kMostLongTests = 20000;

void buildGraph(const document::Drawing &d, const PieceCollector &col, double tol,
                const std::vector<double> &dup, ContourAnalysis &out) {
    const std::vector<Piece> &pieces = col.pieces;
    const double ox = col.ox, oy = col.oy;
    auto cross = [&](double ax, double ay, double bx, double by) {
        return (ax - ox) * (by - oy) - (bx - ox) * (ay - oy);
    };

    // The cut pieces that take part: a piece drawn wholly over earlier cut pieces is the same
    // cut twice, and would only add slivers between its copies.
    std::vector<uint32_t> parts;
    for (uint32_t i = 0; i < pieces.size(); ++i) {
        const Piece &p = pieces[i];
        if (p.kind != MeasureKind::Cut || p.length <= tol) continue;
        if (dup[i] >= p.length * 0.999) continue;
        parts.push_back(i);
    }
    if (parts.empty()) return;

    // -- Nodes: ends within the tolerance of each other are one node.
    struct EndRef {
        double x, y;
    };
    std::vector<EndRef> ends;
    ends.reserve(parts.size() * 2);
    for (uint32_t i : parts) {
        ends.push_back({pieces[i].sx, pieces[i].sy});
        ends.push_back({pieces[i].ex, pieces[i].ey});
    }
    Sets same(ends.size());
    {
        const double cell = std::max(tol, 1e-12);
        std::unordered_map<uint64_t, std::vector<uint32_t>> grid;
        grid.reserve(ends.size());
        for (uint32_t i = 0; i < ends.size(); ++i) {
            const int64_t cx = cellOf(ends[i].x, ox, cell), cy = cellOf(ends[i].y, oy, cell);
            for (int64_t gx = cx - 1; gx <= cx + 1; ++gx)
                for (int64_t gy = cy - 1; gy <= cy + 1; ++gy) {
                    auto it = grid.find(cellKey(gx, gy));
                    if (it == grid.end()) continue;
                    for (uint32_t j : it->second)
                        if (dist(ends[i].x, ends[i].y, ends[j].x, ends[j].y) <= tol) same.join(i, j);
                }
            grid[cellKey(cx, cy)].push_back(i);
        }
    }
    std::vector<uint32_t> nodeOfEnd(ends.size());
    std::vector<EndRef> nodes;
    {
        std::unordered_map<uint32_t, uint32_t> number;
        for (uint32_t i = 0; i < ends.size(); ++i) {
            const uint32_t root = same.find(i);
            auto [it, fresh] = number.emplace(root, static_cast<uint32_t>(nodes.size()));
            if (fresh) nodes.push_back(ends[root]);
            nodeOfEnd[i] = it->second;
        }
    }
    std::vector<uint32_t> degree(nodes.size(), 0);
    for (uint32_t k = 0; k < parts.size(); ++k) {
        ++degree[nodeOfEnd[2 * k]];
        ++degree[nodeOfEnd[2 * k + 1]];
    }

    // -- A loose end lying on another piece splits it there (a line ending on an outline).
    std::vector<std::vector<Split>> splits(parts.size());
    std::vector<double> buf;
    {
        double gx0 = pieces[parts[0]].minx, gy0 = pieces[parts[0]].miny,
               gx1 = pieces[parts[0]].maxx, gy1 = pieces[parts[0]].maxy;
        for (uint32_t i : parts) {
            gx0 = std::min(gx0, pieces[i].minx);
            gy0 = std::min(gy0, pieces[i].miny);
            gx1 = std::max(gx1, pieces[i].maxx);
            gy1 = std::max(gy1, pieces[i].maxy);
        }
        BoxGrid grid(gx0, gy0, gx1, gy1, parts.size());
        for (uint32_t k = 0; k < parts.size(); ++k) {
            const Piece &p = pieces[parts[k]];
            grid.add(k, p.minx - tol, p.miny - tol, p.maxx + tol, p.maxy + tol);
        }
        for (uint32_t k = 0; k < parts.size(); ++k)
            for (int side = 0; side < 2; ++side) {
                const uint32_t node = nodeOfEnd[2 * k + side];
                if (degree[node] != 1) continue;
                const double px = ends[2 * k + side].x, py = ends[2 * k + side].y;
                uint32_t bestPiece = UINT32_MAX;
                Split best{0, 0, 0, 0, node};
                double bestD = tol;
                std::size_t looked = 0;
                grid.near(px, py, [&](uint32_t j) {
                    if (j == k) return;
                    const Piece &q = pieces[parts[j]];
                    if (px < q.minx - tol || px > q.maxx + tol || py < q.miny - tol ||
                        py > q.maxy + tol)
                        return;
                    // Hundreds of pieces over one point are copies on top of each other: the
                    // first of them decide.
                    if (++looked > kMostCandidates) {
                        out.simplified = true;
                        return;
                    }
                    // An arc or circle: the point must lie near its circle (chords run inside it
                    // by at most the sagitta of a hundredth of a turn).
                    const document::tpoly &qe = d.polys[q.entity];
                    if (q.place.identity && (qe.kind == document::EntityKind::Arc ||
                                             qe.kind == document::EntityKind::Circle)) {
                        const double r = qe.radius;
                        const double off =
                            std::fabs(dist(px, py, qe.cx + q.place.bx, qe.cy + q.place.by) - r);
                        if (off > tol + r * (1 - std::cos(M_PI / 100)) + 1e-9 * r) return;
                    }
                    if (q.segments == 1) {
                        // A single straight step: its ends are its points.
                        buf = {q.sx, q.sy, q.ex, q.ey};
                    } else {
                        piecePoints(d, q, buf);
                    }
                    const std::size_t n = buf.size() / 2;
                    for (std::size_t m = 0; m + 1 < n; ++m) {
                        const double ax = buf[2 * m], ay = buf[2 * m + 1], bx = buf[2 * m + 2],
                                     by = buf[2 * m + 3];
                        if (px < std::min(ax, bx) - bestD || px > std::max(ax, bx) + bestD ||
                            py < std::min(ay, by) - bestD || py > std::max(ay, by) + bestD)
                            continue;
                        double t;
                        const double dd = segmentDistance(px, py, ax, ay, bx, by, t);
                        if (dd <= bestD) {
                            bestD = dd;
                            bestPiece = j;
                            best = {static_cast<int32_t>(m), t, px, py, node};
                        }
                    }
                });
                if (bestPiece == UINT32_MAX) continue;
                splits[bestPiece].push_back(best);
                ++degree[node];
            }
    }

    // -- Where two pieces of one connected outline cross (a dimension line through its
    // arrowhead, a centre line through the part it is joined to), the crossing is a node too:
    // otherwise the outline is no plane graph and its faces come out wrong. Pieces that touch
    // nothing else, and separate outlines crossing each other, stay as they are.
    {
        Sets joined(parts.size());
        std::vector<int64_t> pieceAtNode(nodes.size(), -1);
        for (uint32_t k = 0; k < parts.size(); ++k)
            for (int side = 0; side < 2; ++side) {
                int64_t &at = pieceAtNode[nodeOfEnd[2 * k + side]];
                if (at < 0)
                    at = k;
                else
                    joined.join(k, static_cast<uint32_t>(at));
            }
        for (uint32_t k = 0; k < parts.size(); ++k)
            for (const Split &sp : splits[k]) {
                const int64_t at = pieceAtNode[sp.node];
                if (at >= 0) joined.join(k, static_cast<uint32_t>(at));
            }
        std::unordered_map<uint32_t, std::vector<uint32_t>> groups;
        for (uint32_t k = 0; k < parts.size(); ++k) groups[joined.find(k)].push_back(k);
        struct Seg {
            double ax, ay, bx, by;
            uint32_t piece;
            int32_t index;
        };
        std::vector<Seg> segs;
        std::vector<std::vector<double>> pointsOf;
        for (auto &[root, members] : groups) {
            if (members.size() < 2) continue;
            // A group without a cycle (fewer edges than nodes) has no face to get wrong.
            std::size_t edgeCount = members.size();
            std::vector<uint32_t> touched;
            for (uint32_t k : members) {
                touched.push_back(nodeOfEnd[2 * k]);
                touched.push_back(nodeOfEnd[2 * k + 1]);
                edgeCount += splits[k].size();
                // The closing side of an entity that does not walk back to its start.
                if (pieces[parts[k]].closedEntity && nodeOfEnd[2 * k] != nodeOfEnd[2 * k + 1])
                    ++edgeCount;
            }
            std::sort(touched.begin(), touched.end());
            touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
            if (edgeCount < touched.size()) continue;
            segs.clear();
            double minLen = 0, sum = 0;
            for (uint32_t k : members) {
                piecePoints(d, pieces[parts[k]], buf);
                for (std::size_t m = 0; m + 3 < buf.size(); m += 2) {
                    segs.push_back({buf[m], buf[m + 1], buf[m + 2], buf[m + 3], k,
                                    static_cast<int32_t>(m / 2)});
                    sum += dist(buf[m], buf[m + 1], buf[m + 2], buf[m + 3]);
                }
            }
            (void)minLen;
            if (segs.size() < 2) continue;
            const double cell = std::max(2 * sum / static_cast<double>(segs.size()), tol * 4);
            std::unordered_map<uint64_t, std::vector<uint32_t>> grid;
            for (uint32_t i = 0; i < segs.size(); ++i) {
                const Seg &g = segs[i];
                const int64_t x0 = cellOf(std::min(g.ax, g.bx), ox, cell),
                              x1 = cellOf(std::max(g.ax, g.bx), ox, cell),
                              y0 = cellOf(std::min(g.ay, g.by), oy, cell),
                              y1 = cellOf(std::max(g.ay, g.by), oy, cell);
                if ((x1 - x0 + 1) * (y1 - y0 + 1) > 64) continue; // a long line: see below
                for (int64_t x = x0; x <= x1; ++x)
                    for (int64_t y = y0; y <= y1; ++y) grid[cellKey(x, y)].push_back(i);
            }
            std::vector<std::pair<uint32_t, uint32_t>> tested;
            auto crossingOf = [&](uint32_t i, uint32_t j) {
                const Seg &a = segs[i], &b = segs[j];
                if (a.piece == b.piece) return;
                const double rx = a.bx - a.ax, ry = a.by - a.ay, sx = b.bx - b.ax,
                             sy = b.by - b.ay;
                const double den = rx * sy - ry * sx;
                if (den == 0 || !std::isfinite(den)) return;
                const double qx = b.ax - a.ax, qy = b.ay - a.ay;
                const double t = (qx * sy - qy * sx) / den, u = (qx * ry - qy * rx) / den;
                if (t <= 0 || t >= 1 || u <= 0 || u >= 1) return;
                const double px = a.ax + t * rx, py = a.ay + t * ry;
                // At an end of either piece it is a junction already (or a loose end).
                for (uint32_t k : {a.piece, b.piece}) {
                    const Piece &p = pieces[parts[k]];
                    if (dist(px, py, p.sx, p.sy) <= tol || dist(px, py, p.ex, p.ey) <= tol) return;
                }
                for (const Split &sp : splits[a.piece])
                    if (dist(px, py, sp.x, sp.y) <= tol) return;
                const uint32_t node = static_cast<uint32_t>(nodes.size());
                nodes.push_back({px, py});
                degree.push_back(4);
                splits[a.piece].push_back({a.index, t, px, py, node});
                splits[b.piece].push_back({b.index, u, px, py, node});
            };
            for (auto &[key, list] : grid) {
                // A cell this crowded holds copies drawn on top of each other, not crossings.
                if (list.size() > kMostCandidates) {
                    out.simplified = true;
                    continue;
                }
                for (std::size_t x = 0; x < list.size(); ++x)
                    for (std::size_t y = x + 1; y < list.size(); ++y) {
                        uint32_t i = list[x], j = list[y];
                        if (i > j) std::swap(i, j);
                        tested.emplace_back(i, j);
                    }
            }
            // Long segments cross many cells: test them against every segment of the outline.
            for (uint32_t i = 0; i < segs.size(); ++i) {
                const Seg &g = segs[i];
                const int64_t w = cellOf(std::max(g.ax, g.bx), ox, cell) -
                                  cellOf(std::min(g.ax, g.bx), ox, cell) + 1,
                              h = cellOf(std::max(g.ay, g.by), oy, cell) -
                                  cellOf(std::min(g.ay, g.by), oy, cell) + 1;
                if (w * h <= 64) continue;
                if (segs.size() > kMostLongTests) {
                    out.simplified = true;
                    continue;
                }
                for (uint32_t j = 0; j < segs.size(); ++j)
                    if (j != i) tested.emplace_back(std::min(i, j), std::max(i, j));
            }
            std::sort(tested.begin(), tested.end());
            tested.erase(std::unique(tested.begin(), tested.end()), tested.end());
            for (const auto &[i, j] : tested) crossingOf(i, j);
        }
    }

    // -- Edges: the pieces cut at their splits, and the closing sides of closed entities.
    std::vector<ContourEdge> &edges = out.edges;
    for (uint32_t k = 0; k < parts.size(); ++k) {
        const uint32_t pi = parts[k];
        const Piece &p = pieces[pi];
        const uint32_t us = nodeOfEnd[2 * k], ue = nodeOfEnd[2 * k + 1];
        const double perChord = p.segments > 0 ? p.curveArea / p.segments : 0;
        if (splits[k].empty()) {
            ContourEdge e;
            e.piece = pi;
            e.i0 = 0;
            e.i1 = INT32_MAX; // all of the piece's points
            e.ax = p.sx;
            e.ay = p.sy;
            e.bx = p.ex;
            e.by = p.ey;
            e.u = us;
            e.v = ue;
            e.length = p.length;
            e.shoelace = p.shoelace;
            e.curveArea = p.curveArea;
            edges.push_back(e);
        } else {
            std::vector<Split> &sp = splits[k];
            std::sort(sp.begin(), sp.end(), [](const Split &a, const Split &b) {
                return a.segment < b.segment || (a.segment == b.segment && a.t < b.t);
            });
            piecePoints(d, p, buf);
            const int32_t n = static_cast<int32_t>(buf.size() / 2);
            // Walk the points, closing an edge at every split.
            ContourEdge e;
            e.piece = pi;
            e.i0 = 0;
            e.ax = buf[0];
            e.ay = buf[1];
            e.u = us;
            double lx = buf[0], ly = buf[1];
            int32_t chords = 0;
            std::size_t next = 0;
            auto step = [&](double x, double y) {
                e.length += dist(lx, ly, x, y);
                e.shoelace += cross(lx, ly, x, y);
                lx = x;
                ly = y;
            };
            for (int32_t m = 1; m < n; ++m) {
                while (next < sp.size() && sp[next].segment == m - 1) {
                    const Split &s = sp[next++];
                    step(s.x, s.y);
                    e.i1 = m - 1;
                    e.tail = true;
                    e.bx = s.x;
                    e.by = s.y;
                    e.v = s.node;
                    e.curveArea = perChord * chords;
                    edges.push_back(e);
                    e = ContourEdge{};
                    e.piece = pi;
                    e.head = true;
                    e.i0 = m;
                    e.ax = s.x;
                    e.ay = s.y;
                    e.u = s.node;
                    chords = 0;
                }
                step(buf[2 * m], buf[2 * m + 1]);
                ++chords;
            }
            e.i1 = n - 1;
            e.bx = lx;
            e.by = ly;
            e.v = ue;
            e.curveArea = perChord * chords;
            edges.push_back(e);
        }
        if (p.closedEntity && us != ue) {
            // The closing side of an entity that does not walk back to its start (a SOLID).
            ContourEdge c;
            c.ax = p.ex;
            c.ay = p.ey;
            c.bx = p.sx;
            c.by = p.sy;
            c.u = ue;
            c.v = us;
            c.length = dist(c.ax, c.ay, c.bx, c.by);
            c.shoelace = cross(c.ax, c.ay, c.bx, c.by);
            edges.push_back(c);
            ++degree[us];
            ++degree[ue];
        }
    }

    // -- Half-edges around each node, counter-clockwise by the direction they leave in.
    const std::size_t halves = edges.size() * 2;
    auto origin = [&](uint32_t h) { return (h & 1) ? edges[h >> 1].v : edges[h >> 1].u; };
    std::vector<uint32_t> start(nodes.size() + 1, 0);
    for (uint32_t h = 0; h < halves; ++h) ++start[origin(h) + 1];
    for (std::size_t n = 0; n < nodes.size(); ++n) start[n + 1] += start[n];
    std::vector<uint32_t> around(halves), fill(start.begin(), start.end() - 1);
    for (uint32_t h = 0; h < halves; ++h) around[fill[origin(h)]++] = h;
    // The direction a half-edge leaves its node in: towards its first point a little away from
    // the node (bulges begin with a point on the vertex itself).
    auto leaving = [&](uint32_t h) {
        const ContourEdge &e = edges[h >> 1];
        const bool back = h & 1;
        const double nx = back ? e.bx : e.ax, ny = back ? e.by : e.ay;
        buf.clear();
        edgePoints(d, col, e, back, buf);
        const double away = tol * 0.5;
        for (std::size_t m = 2; m + 1 < buf.size(); m += 2)
            if (dist(nx, ny, buf[m], buf[m + 1]) > away)
                return std::atan2(buf[m + 1] - ny, buf[m] - nx);
        const double fx = back ? e.ax : e.bx, fy = back ? e.ay : e.by;
        return std::atan2(fy - ny, fx - nx);
    };
    std::vector<uint32_t> position(halves);
    std::vector<std::pair<double, uint32_t>> sorted;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        const uint32_t b = start[n], e = start[n + 1];
        if (e - b >= 3) {
            sorted.clear();
            for (uint32_t i = b; i < e; ++i) sorted.emplace_back(leaving(around[i]), around[i]);
            std::sort(sorted.begin(), sorted.end());
            for (uint32_t i = b; i < e; ++i) around[i] = sorted[i - b].second;
        }
        for (uint32_t i = b; i < e; ++i) position[around[i]] = i;
    }
    // The face to the left of h goes on with the half-edge leaving h's end just clockwise of
    // the way back.
    auto nextOf = [&](uint32_t h) {
        const uint32_t back = h ^ 1u;
        const uint32_t n = origin(back);
        const uint32_t b = start[n], count = start[n + 1] - b;
        return around[b + (position[back] - b + count - 1) % count];
    };

    // -- Faces.
    Sets together(nodes.size());
    for (const ContourEdge &e : edges) together.join(e.u, e.v);
    struct Face {
        std::vector<uint32_t> halves;
        double area; // signed: positive for a bounded face
        uint32_t component;
    };
    std::vector<Face> faces;
    std::vector<char> seen(halves, 0);
    std::vector<uint32_t> faceOfHalf(halves, UINT32_MAX);
    for (uint32_t h0 = 0; h0 < halves; ++h0) {
        if (seen[h0]) continue;
        Face f;
        double s = 0, curves = 0;
        uint32_t h = h0;
        for (std::size_t guard = 0; guard <= halves && !seen[h]; ++guard) {
            seen[h] = 1;
            faceOfHalf[h] = static_cast<uint32_t>(faces.size());
            f.halves.push_back(h);
            const ContourEdge &e = edges[h >> 1];
            const bool back = h & 1;
            s += back ? -e.shoelace : e.shoelace;
            curves += back ? -e.curveArea : e.curveArea;
            const uint32_t nh = nextOf(h);
            const ContourEdge &ne = edges[nh >> 1];
            // The step from this edge's end to the next one's start (ends within the tolerance).
            s += cross(back ? e.ax : e.bx, back ? e.ay : e.by, (nh & 1) ? ne.bx : ne.ax,
                       (nh & 1) ? ne.by : ne.ay);
            h = nh;
        }
        f.area = s / 2 + curves;
        f.component = together.find(origin(h0));
        faces.push_back(std::move(f));
    }

    // Bounded faces have a positive area; the outer side of each component is negative, and a
    // face of no width (a line drawn back and forth) has none.
    double size = 0;
    for (const ContourEdge &e : edges) size += e.length;
    const double noArea = std::max(tol * tol, 1e-12 * size * size);
    std::vector<uint32_t> bounded;
    std::unordered_map<uint32_t, double> outerArea; // per component
    for (uint32_t i = 0; i < faces.size(); ++i) {
        if (faces[i].area > noArea)
            bounded.push_back(i);
        else
            outerArea[faces[i].component] += -faces[i].area;
    }

    // Contours of the bounded faces, their boxes and lengths.
    std::vector<Contour> closed;
    for (uint32_t fi : bounded) {
        Contour c;
        c.closed = true;
        c.halfEdges = faces[fi].halves;
        c.area = faces[fi].area;
        bool first = true;
        for (uint32_t h : c.halfEdges) {
            const ContourEdge &e = edges[h >> 1];
            c.length += e.length;
            const Piece *p = e.piece == UINT32_MAX ? nullptr : &pieces[e.piece];
            const double x0 = p ? p->minx : std::min(e.ax, e.bx),
                         x1 = p ? p->maxx : std::max(e.ax, e.bx),
                         y0 = p ? p->miny : std::min(e.ay, e.by),
                         y1 = p ? p->maxy : std::max(e.ay, e.by);
            if (first) {
                c.minx = x0;
                c.maxx = x1;
                c.miny = y0;
                c.maxy = y1;
                first = false;
            } else {
                c.minx = std::min(c.minx, x0);
                c.maxx = std::max(c.maxx, x1);
                c.miny = std::min(c.miny, y0);
                c.maxy = std::max(c.maxy, y1);
            }
        }
        closed.push_back(std::move(c));
    }

    // -- Nesting: a component lies in the smallest face of another component around it.
    std::unordered_map<uint32_t, std::vector<uint32_t>> facesOf; // component -> closed contours
    for (uint32_t i = 0; i < bounded.size(); ++i) facesOf[faces[bounded[i]].component].push_back(i);
    std::vector<uint32_t> components;
    for (const auto &[comp, list] : facesOf) components.push_back(comp);
    std::sort(components.begin(), components.end(), [&](uint32_t a, uint32_t b) {
        return outerArea[a] > outerArea[b] || (outerArea[a] == outerArea[b] && a < b);
    });
    std::vector<int32_t> parentFace(closed.size(), -1);
    std::unordered_map<uint32_t, int32_t> depthOf;
    if (!closed.empty()) {
        double gx0 = closed[0].minx, gy0 = closed[0].miny, gx1 = closed[0].maxx,
               gy1 = closed[0].maxy;
        for (const Contour &c : closed) {
            gx0 = std::min(gx0, c.minx);
            gy0 = std::min(gy0, c.miny);
            gx1 = std::max(gx1, c.maxx);
            gy1 = std::max(gy1, c.maxy);
        }
        BoxGrid grid(gx0, gy0, gx1, gy1, closed.size());
        for (uint32_t i = 0; i < closed.size(); ++i)
            grid.add(i, closed[i].minx, closed[i].miny, closed[i].maxx, closed[i].maxy);
        std::vector<uint32_t> candidates;
        std::vector<double> poly;
        std::unordered_map<uint32_t, std::vector<double>> polygons;
        std::size_t cachedValues = 0;
        constexpr std::size_t kPolygonCache = 8'000'000; // coordinates, 64 MB
        for (uint32_t comp : components) {
            const std::vector<uint32_t> &own = facesOf[comp];
            // The component's box and a point on it: the middle of its first edge's first chord.
            double bx0 = closed[own[0]].minx, by0 = closed[own[0]].miny,
                   bx1 = closed[own[0]].maxx, by1 = closed[own[0]].maxy;
            for (uint32_t i : own) {
                bx0 = std::min(bx0, closed[i].minx);
                by0 = std::min(by0, closed[i].miny);
                bx1 = std::max(bx1, closed[i].maxx);
                by1 = std::max(by1, closed[i].maxy);
            }
            buf.clear();
            edgePoints(d, col, edges[closed[own[0]].halfEdges[0] >> 1], false, buf);
            if (buf.size() < 4) continue;
            const double px = (buf[0] + buf[2]) / 2, py = (buf[1] + buf[3]) / 2;
            candidates.clear();
            grid.near(px, py, [&](uint32_t j) {
                if (candidates.size() >= kMostCandidates) {
                    out.simplified = true;
                    return;
                }
                const Contour &o = closed[j];
                if (faces[bounded[j]].component == comp) return;
                if (!depthOf.count(faces[bounded[j]].component)) return; // not larger
                if (o.minx > bx0 + tol || o.miny > by0 + tol || o.maxx < bx1 - tol ||
                    o.maxy < by1 - tol)
                    return;
                candidates.push_back(j);
            });
            std::sort(candidates.begin(), candidates.end(),
                      [&](uint32_t a, uint32_t b) { return closed[a].area < closed[b].area; });
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            int32_t parent = -1;
            for (uint32_t j : candidates) {
                // Even-odd test of the point against the face's outline. The outline of a large
                // part is tested for each of its holes: it is kept once made.
                bool inside = false;
                auto cached = polygons.find(j);
                if (cached == polygons.end()) {
                    poly.clear();
                    for (uint32_t h : closed[j].halfEdges)
                        edgePoints(d, col, edges[h >> 1], h & 1, poly);
                    if (cachedValues + poly.size() <= kPolygonCache) {
                        cachedValues += poly.size();
                        cached = polygons.emplace(j, poly).first;
                    }
                }
                const std::vector<double> &outline =
                    cached != polygons.end() ? cached->second : poly;
                const std::size_t n = outline.size() / 2;
                for (std::size_t m = 0; m < n; ++m) {
                    const double ax = outline[2 * m], ay = outline[2 * m + 1];
                    const double bx = outline[2 * ((m + 1) % n)], by = outline[2 * ((m + 1) % n) + 1];
                    if ((ay > py) != (by > py) && ax + (py - ay) * (bx - ax) / (by - ay) > px)
                        inside = !inside;
                }
                if (inside) {
                    parent = static_cast<int32_t>(j);
                    break;
                }
            }
            const int32_t depth =
                parent < 0 ? 0 : depthOf[faces[bounded[static_cast<std::size_t>(parent)]].component] + 1;
            depthOf[comp] = depth;
            for (uint32_t i : own) {
                closed[i].depth = depth;
                parentFace[i] = parent;
            }
        }
    }

    // -- A line drawn across a hole (a centre mark joined to its outline) cuts nothing out of
    // the part: the hole's faces on both sides of it are one hole. Across material such a line
    // is a cut between two parts, which stay two.
    {
        std::vector<int32_t> closedOfFace(faces.size(), -1);
        for (uint32_t i = 0; i < bounded.size(); ++i) closedOfFace[bounded[i]] = static_cast<int32_t>(i);
        Sets holeOf(closed.size());
        bool merged = false;
        for (uint32_t e = 0; e < edges.size(); ++e) {
            const int32_t a = closedOfFace[faceOfHalf[2 * e]], b = closedOfFace[faceOfHalf[2 * e + 1]];
            if (a < 0 || b < 0 || a == b) continue;
            if (closed[static_cast<std::size_t>(a)].depth % 2 == 1 &&
                closed[static_cast<std::size_t>(b)].depth % 2 == 1) {
                holeOf.join(static_cast<uint32_t>(a), static_cast<uint32_t>(b));
                merged = true;
            }
        }
        if (merged) {
            std::vector<Contour> kept;
            std::vector<int32_t> keptParent;
            std::vector<int32_t> into(closed.size(), -1);
            for (uint32_t i = 0; i < closed.size(); ++i) {
                const uint32_t root = holeOf.find(i);
                if (into[root] < 0) {
                    into[root] = static_cast<int32_t>(kept.size());
                    kept.push_back(closed[root]);
                    kept.back().halfEdges.clear();
                    kept.back().area = 0;
                    kept.back().length = 0;
                    keptParent.push_back(parentFace[root]);
                }
                Contour &k = kept[static_cast<std::size_t>(into[root])];
                const Contour &c = closed[i];
                k.halfEdges.insert(k.halfEdges.end(), c.halfEdges.begin(), c.halfEdges.end());
                k.area += c.area;
                k.minx = std::min(k.minx, c.minx);
                k.miny = std::min(k.miny, c.miny);
                k.maxx = std::max(k.maxx, c.maxx);
                k.maxy = std::max(k.maxy, c.maxy);
            }
            // The outline of a merged hole: the half-edges whose other side is not in it.
            for (std::size_t i = 0; i < kept.size(); ++i) {
                std::vector<uint32_t> outline;
                for (uint32_t h : kept[i].halfEdges) {
                    const int32_t other = closedOfFace[faceOfHalf[h ^ 1u]];
                    if (other >= 0 && into[holeOf.find(static_cast<uint32_t>(other))] == static_cast<int32_t>(i))
                        continue;
                    outline.push_back(h);
                    kept[i].length += edges[h >> 1].length;
                }
                kept[i].halfEdges = std::move(outline);
            }
            // Parents point into the merged list.
            for (int32_t &pf : keptParent)
                if (pf >= 0) pf = into[holeOf.find(static_cast<uint32_t>(pf))];
            closed = std::move(kept);
            parentFace = std::move(keptParent);
        }
    }

    // -- Parts, holes and the net area, largest contours first.
    std::vector<uint32_t> order(closed.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return closed[a].area > closed[b].area; });
    std::vector<uint32_t> newIndex(closed.size());
    for (uint32_t r = 0; r < order.size(); ++r) newIndex[order[r]] = r;
    for (uint32_t i : order) {
        Contour c = closed[i];
        c.parent = parentFace[i] < 0 ? -1 : static_cast<int32_t>(newIndex[static_cast<std::size_t>(parentFace[i])]);
        out.contours.push_back(std::move(c));
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

    // -- Open cuts: components that enclose nothing, and every loose end.
    std::unordered_map<uint32_t, uint32_t> openOf;
    for (uint32_t ei = 0; ei < edges.size(); ++ei) {
        const uint32_t comp = together.find(edges[ei].u);
        if (facesOf.count(comp)) continue;
        auto [it, fresh] = openOf.emplace(comp, static_cast<uint32_t>(out.contours.size()));
        if (fresh) {
            Contour c;
            c.minx = c.maxx = edges[ei].ax;
            c.miny = c.maxy = edges[ei].ay;
            out.contours.push_back(std::move(c));
        }
        Contour &c = out.contours[it->second];
        c.halfEdges.push_back(2 * ei);
        c.length += edges[ei].length;
        for (double x : {edges[ei].ax, edges[ei].bx}) {
            c.minx = std::min(c.minx, x);
            c.maxx = std::max(c.maxx, x);
        }
        for (double y : {edges[ei].ay, edges[ei].by}) {
            c.miny = std::min(c.miny, y);
            c.maxy = std::max(c.maxy, y);
        }
    }
    out.openCount = static_cast<int32_t>(openOf.size());
    for (std::size_t n = 0; n < nodes.size(); ++n)
        if (degree[n] == 1) out.openEnds.push_back({nodes[n].x, nodes[n].y, -1});
    out.pierces = out.closedCount + out.openCount;
    // How far each loose end is from the next: a gap of a few hundredths is a drawing fault.
    // The ends go into a grid of about one end per cell; each looks at the rings of cells around
    // its own until no nearer end can be found.
    std::vector<OpenEnd> &open = out.openEnds;
    if (open.size() < 2) return;
    double x0 = open[0].x, y0 = open[0].y, x1 = x0, y1 = y0;
    for (const OpenEnd &e : open) {
        x0 = std::min(x0, e.x);
        y0 = std::min(y0, e.y);
        x1 = std::max(x1, e.x);
        y1 = std::max(y1, e.y);
    }
    // Square cells of about one end each (a long narrow drawing gets long rows of them).
    const double w = std::max(x1 - x0, 1e-12), h = std::max(y1 - y0, 1e-12);
    const double n = static_cast<double>(open.size());
    const double cs = std::max({std::sqrt(w * h / n), w / 2'000'000.0, h / 2'000'000.0});
    int64_t nx = std::clamp<int64_t>(static_cast<int64_t>(w / cs) + 1, 1, 2'000'001);
    int64_t ny = std::clamp<int64_t>(static_cast<int64_t>(h / cs) + 1, 1, 2'000'001);
    while (nx * ny > 4 * static_cast<int64_t>(n) + 16) {
        nx = std::max<int64_t>(1, nx / 2);
        ny = std::max<int64_t>(1, ny / 2);
    }
    const double cw = w / static_cast<double>(nx), ch = h / static_cast<double>(ny);
    auto cellX = [&](double x) { return std::clamp<int64_t>(cellOf(x, x0, cw), 0, nx - 1); };
    auto cellY = [&](double y) { return std::clamp<int64_t>(cellOf(y, y0, ch), 0, ny - 1); };
    std::vector<uint32_t> first(static_cast<std::size_t>(nx * ny + 1), 0), slot(open.size());
    for (const OpenEnd &e : open) ++first[static_cast<std::size_t>(cellX(e.x) * ny + cellY(e.y)) + 1];
    for (std::size_t c = 1; c < first.size(); ++c) first[c] += first[c - 1];
    std::vector<uint32_t> filled(first.begin(), first.end() - 1);
    for (uint32_t i = 0; i < open.size(); ++i)
        slot[filled[static_cast<std::size_t>(cellX(open[i].x) * ny + cellY(open[i].y))]++] = i;
    const double step = std::min(cw, ch);
    for (uint32_t i = 0; i < open.size(); ++i) {
        OpenEnd &e = open[i];
        const int64_t cx = cellX(e.x), cy = cellY(e.y);
        double best = -1;
        auto cell = [&](int64_t gx, int64_t gy) {
            if (gx < 0 || gy < 0 || gx >= nx || gy >= ny) return;
            const std::size_t c = static_cast<std::size_t>(gx * ny + gy);
            for (uint32_t k = first[c]; k < first[c + 1]; ++k) {
                if (slot[k] == i) continue;
                const double dd = dist(e.x, e.y, open[slot[k]].x, open[slot[k]].y);
                if (best < 0 || dd < best) best = dd;
            }
        };
        for (int64_t ring = 0;; ++ring) {
            // Every end in ring r is at least (r - 1) cells away.
            if (best >= 0 && static_cast<double>(ring - 1) * step > best) break;
            if (cx - ring < 0 && cy - ring < 0 && cx + ring >= nx && cy + ring >= ny) break;
            if (ring == 0) {
                cell(cx, cy);
                continue;
            }
            // Only the cells on the ring's border, within the grid.
            const int64_t xa = std::max<int64_t>(cx - ring, 0), xb = std::min(cx + ring, nx - 1);
            const int64_t ya = std::max<int64_t>(cy - ring + 1, 0),
                          yb = std::min(cy + ring - 1, ny - 1);
            for (int64_t gx = xa; gx <= xb; ++gx) {
                cell(gx, cy - ring);
                cell(gx, cy + ring);
            }
            for (int64_t gy = ya; gy <= yb; ++gy) {
                cell(cx - ring, gy);
                cell(cx + ring, gy);
            }
        }
        e.nearest = best;
    }
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
    const double tol = chordTolerance(size);
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

    buildGraph(d, col, tol, dup, out);
    return out;
}

} // namespace quentar::render
