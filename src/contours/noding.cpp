// Noding: where pieces cross, where a point of one lies on another (an end on an outline, a
// corner on a line) and where straight stretches lie over each other. The pieces are cut into
// chains of a few steps whose boxes go into a packed tree; chains whose boxes meet are tested
// step by step. A bound on crossings and tests keeps a hostile drawing from taking hours.
#include "contours/work.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quentar::contours::detail {

namespace {

// Steps per chain: short enough that a chain's box hugs it, long enough to keep the tree small.
constexpr int32_t kChainSteps = 8;

// A point sampling a curve may lie off its neighbours' chord by the curve's sagitta: a point on
// the true curve counts as on the step if within the tolerance plus this part of its length
// (the sagitta of steps turning by up to 9 degrees).
constexpr double kCurveSlack = 0.02;

struct Chain {
    uint32_t k = 0;
    int32_t v0 = 0;        // vertex of its first point
    uint16_t count = 0;    // points
    bool mayCross = false; // its piece may cross itself (not an arc, circle or ellipse)
    bool self = false;     // its own steps may cross each other
};

struct Pt {
    double x, y;
    int32_t v;        // vertex index (one past the last for the closing side's end)
    bool curve;       // the step arriving here samples a curve
    bool first, last; // the piece's own first or last point
};

class Noder {
  public:
    explicit Noder(Work &w) : w_(w) {}

    bool run() {
        makeChains();
        const BoxTree tree(std::move(boxes_));
        // Each chain against itself (a polyline crossing itself), then the pairs whose boxes meet.
        for (uint32_t i = 0; i < chains_.size(); ++i) {
            if (!chains_[i].self) continue;
            const std::vector<Pt> &a = points(i);
            testPair(a, a, chains_[i].k, chains_[i].k, true);
            if (over()) return false;
        }
        w_.near.assign(w_.taking.size(), 0);
        const bool done = tree.pairs(w_.tol, [&](uint32_t i, uint32_t j) {
            if (chains_[i].k == chains_[j].k) {
                if (!chains_[i].mayCross) return true;
            } else {
                w_.near[chains_[i].k] = w_.near[chains_[j].k] = 1;
            }
            const std::vector<Pt> &a = points(i);
            // Two chains of one slot: the second one fetched aside.
            if (i % kCached == j % kCached) fetch(chains_[j], spare_);
            const std::vector<Pt> &b = i % kCached == j % kCached ? spare_ : points(j);
            testPair(a, b, chains_[i].k, chains_[j].k, false, tree.box(j).exact());
            return !over();
        });
        if (!done) return false;
        takeOverlaps(w_, overlaps_);
        return true;
    }

  private:
    bool over() {
        if (crossings_ > w_.budget.crossings) {
            w_.out.unfinished |= kTooManyCrossings;
            return true;
        }
        if (tests_ > w_.budget.segmentTests) {
            w_.out.unfinished |= kTooManyTests;
            return true;
        }
        return false;
    }

    void makeChains() {
        std::size_t chains = 0;
        for (uint32_t k = 0; k < w_.taking.size(); ++k)
            chains += static_cast<std::size_t>(w_.piece(k).segments + kChainSteps) / kChainSteps;
        chains_.reserve(chains);
        boxes_.reserve(chains);
        for (uint32_t k = 0; k < w_.taking.size(); ++k) {
            const Piece &p = w_.piece(k);
            if (p.segments == 1 && !p.closingSide) {
                // One step: its ends are its points (a million LINEs need not be walked again).
                const double *e = w_.ends(k);
                const double grow = kCurveSlack * (std::fabs(e[2] - e[0]) + std::fabs(e[3] - e[1]));
                chains_.push_back({k, p.from, 2, false, false});
                boxes_.push_back(
                    FBox::around({std::min(e[0], e[2]) - grow, std::min(e[1], e[3]) - grow,
                                  std::max(e[0], e[2]) + grow, std::max(e[1], e[3]) + grow}));
                continue;
            }
            const document::EntityKind kind = w_.d.polys[p.entity].kind;
            // The chords of one arc, circle or ellipse never cross each other.
            const bool mayCross = kind != document::EntityKind::Arc &&
                                  kind != document::EntityKind::Circle &&
                                  kind != document::EntityKind::Ellipse;
            Chain c;
            Box b;
            double longest = 0, lx = 0, ly = 0;
            auto close = [&]() {
                if (c.count < 2) return;
                // Room for the sagitta of a curve's steps.
                const double grow = longest * kCurveSlack;
                b.minx -= grow;
                b.miny -= grow;
                b.maxx += grow;
                b.maxy += grow;
                c.mayCross = mayCross;
                c.self = mayCross && c.count > 3;
                chains_.push_back(c);
                boxes_.push_back(FBox::around(b));
            };
            auto add = [&](int32_t v, double x, double y) {
                if (c.count == 0) {
                    c = {k, v, 1, false};
                    b = Box::at(x, y);
                    longest = 0;
                } else {
                    b.take(x, y);
                    longest = std::max(longest, std::fabs(x - lx) + std::fabs(y - ly));
                    ++c.count;
                }
                lx = x;
                ly = y;
                if (c.count == kChainSteps + 1) {
                    close();
                    // The next chain begins where this one ends.
                    c = {k, v, 1, false};
                    b = Box::at(x, y);
                    longest = 0;
                }
            };
            double fx = 0, fy = 0;
            bool first = true;
            forEachPoint(w_.d, w_.col, p, [&](int32_t v, double x, double y) {
                if (first) {
                    fx = x;
                    fy = y;
                    first = false;
                }
                add(v, x, y);
            });
            if (p.closingSide && !first) add(p.to + 1, fx, fy);
            close();
        }
    }

    // The points of a chain, as the piece walks them.
    void fetch(const Chain &c, std::vector<Pt> &out) const {
        out.clear();
        const Piece &p = w_.piece(c.k);
        const document::tpoly &e = w_.d.polys[p.entity];
        const int32_t last = std::min(p.to, e.anzp - 1);
        for (int32_t i = c.v0; i <= last && out.size() < c.count; ++i) {
            const auto &v = e.p(i);
            if (v.donotdraw) continue;
            double x, y;
            w_.col.world(p, v, x, y);
            out.push_back({x, y, i, v.curve, i == p.from, i == last && !p.closingSide});
        }
        if (out.size() < c.count && p.closingSide) {
            double x, y;
            w_.start(c.k, x, y);
            out.push_back({x, y, p.to + 1, false, false, true});
        }
    }

    void split(uint32_t k, Position at, double x, double y) {
        w_.splits.push_back({k, at, x, y, 0});
    }

    // A point of one piece against a step of another: on its inside, the step is split there
    // (and the point's own piece at that point, unless it is an end: ends are nodes anyway).
    void pointOnStep(const Pt &p, uint32_t kp, const Pt &q0, const Pt &q1, uint32_t kq) {
        const double sx = q1.x - q0.x, sy = q1.y - q0.y;
        const double l2 = sx * sx + sy * sy;
        if (!(l2 > 0)) return;
        const double len = std::sqrt(l2);
        const double u = ((p.x - q0.x) * sx + (p.y - q0.y) * sy) / l2;
        const double margin = w_.tol / len;
        if (!(u > margin && u < 1 - margin)) return;
        const double allow = w_.tol + (q1.curve ? kCurveSlack * len : 0);
        const double dx = q0.x + u * sx - p.x, dy = q0.y + u * sy - p.y;
        if (dx * dx + dy * dy > allow * allow) return;
        split(kq, {q0.v, static_cast<float>(u)}, p.x, p.y);
        if (!p.first && !p.last) split(kp, {p.v, 0}, p.x, p.y);
    }

    void pointOnPoint(const Pt &p, uint32_t kp, const Pt &q, uint32_t kq) {
        if ((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) > w_.tol * w_.tol) return;
        if (!p.first && !p.last) split(kp, {p.v, 0}, p.x, p.y);
        if (!q.first && !q.last) split(kq, {q.v, 0}, q.x, q.y);
    }

    // Every step of chain a against every step of chain b (the same chain when `self`).
    void testPair(const std::vector<Pt> &a, const std::vector<Pt> &b, uint32_t ka, uint32_t kb,
                  bool self, const Box &bBox = {}) {
        const double tol = w_.tol;
        for (std::size_t i = 0; i + 1 < a.size(); ++i) {
            const Pt &p0 = a[i], &p1 = a[i + 1];
            const double rx = p1.x - p0.x, ry = p1.y - p0.y;
            const double growA =
                tol + (p1.curve ? kCurveSlack * (std::fabs(rx) + std::fabs(ry)) : 0);
            const double aminx = std::min(p0.x, p1.x) - growA, amaxx = std::max(p0.x, p1.x) + growA;
            const double aminy = std::min(p0.y, p1.y) - growA, amaxy = std::max(p0.y, p1.y) + growA;
            // Steps far from the other chain as a whole are passed over at once.
            if (!self &&
                (bBox.maxx < aminx || bBox.minx > amaxx || bBox.maxy < aminy || bBox.miny > amaxy))
                continue;
            const double la = std::sqrt(rx * rx + ry * ry);
            for (std::size_t j = self ? i + 1 : 0; j + 1 < b.size(); ++j) {
                const Pt &q0 = b[j], &q1 = b[j + 1];
                if (std::max(q0.x, q1.x) < aminx || std::min(q0.x, q1.x) > amaxx ||
                    std::max(q0.y, q1.y) < aminy || std::min(q0.y, q1.y) > amaxy)
                    continue;
                ++tests_;
                const bool samePiece = ka == kb;
                // Neighbouring steps of one piece meet at their common point and nowhere else.
                if (samePiece && (p1.v == q0.v || q1.v == p0.v || p0.v == q0.v)) continue;
                const double sx = q1.x - q0.x, sy = q1.y - q0.y;
                const double lb = std::sqrt(sx * sx + sy * sy);
                if (!(la > 0) || !(lb > 0)) continue;
                const double den = rx * sy - ry * sx;
                if (std::fabs(den) > 1e-9 * la * lb) {
                    const double qx = q0.x - p0.x, qy = q0.y - p0.y;
                    const double t = (qx * sy - qy * sx) / den, u = (qx * ry - qy * rx) / den;
                    const double ma = tol / la, mb = tol / lb;
                    if (t > ma && t < 1 - ma && u > mb && u < 1 - mb) {
                        const double x = p0.x + t * rx, y = p0.y + t * ry;
                        split(ka, {p0.v, static_cast<float>(t)}, x, y);
                        split(kb, {q0.v, static_cast<float>(u)}, x, y);
                        ++crossings_;
                        ++w_.out.crossings;
                        continue;
                    }
                } else {
                    overlap(p0, p1, ka, q0, q1, kb);
                }
                // Points on steps: each step's first point, and a piece's last point.
                pointOnStep(p0, ka, q0, q1, kb);
                pointOnStep(q0, kb, p0, p1, ka);
                if (p1.last) pointOnStep(p1, ka, q0, q1, kb);
                if (q1.last) pointOnStep(q1, kb, p0, p1, ka);
                pointOnPoint(p0, ka, q0, kb);
                if (p1.last) pointOnPoint(p1, ka, q0, kb);
                if (q1.last) pointOnPoint(p0, ka, q1, kb);
                if (p1.last && q1.last) pointOnPoint(p1, ka, q1, kb);
            }
        }
    }

    // Two parallel steps on one line: the later one (in drawing order) is drawn over the earlier
    // where they overlap.
    void overlap(const Pt &p0, const Pt &p1, uint32_t ka, const Pt &q0, const Pt &q1, uint32_t kb) {
        const bool aLater = ka > kb || (ka == kb && p0.v > q0.v);
        const Pt &l0 = aLater ? p0 : q0, &l1 = aLater ? p1 : q1;
        const Pt &e0 = aLater ? q0 : p0, &e1 = aLater ? q1 : p1;
        const double dx = l1.x - l0.x, dy = l1.y - l0.y;
        const double len = std::sqrt(dx * dx + dy * dy);
        const double ux = dx / len, uy = dy / len;
        const double d1 = (e0.x - l0.x) * -uy + (e0.y - l0.y) * ux;
        const double d2 = (e1.x - l0.x) * -uy + (e1.y - l0.y) * ux;
        if (std::fabs(d1) > w_.tol || std::fabs(d2) > w_.tol) return;
        double s1 = ((e0.x - l0.x) * ux + (e0.y - l0.y) * uy) / len;
        double s2 = ((e1.x - l0.x) * ux + (e1.y - l0.y) * uy) / len;
        if (s1 > s2) std::swap(s1, s2);
        s1 = std::max(s1, 0.0);
        s2 = std::min(s2, 1.0);
        if ((s2 - s1) * len <= w_.tol) return;
        overlaps_.push_back({aLater ? ka : kb, l0.v, s1, s2});
    }

    // The points of chain i, from a small cache: the pairs come leaf by leaf, so the same chains
    // come back soon.
    const std::vector<Pt> &points(uint32_t i) {
        Cached &c = cache_[i % kCached];
        if (c.chain != i) {
            fetch(chains_[i], c.points);
            c.chain = i;
        }
        return c.points;
    }

    Work &w_;
    static constexpr uint32_t kCached = 64;
    struct Cached {
        uint32_t chain = UINT32_MAX;
        std::vector<Pt> points;
    };
    std::array<Cached, kCached> cache_;
    std::vector<Pt> spare_;
    std::vector<Chain> chains_;
    std::vector<FBox> boxes_;
    std::vector<Overlap> overlaps_;
    int64_t crossings_ = 0, tests_ = 0;
};

} // namespace

bool nodePieces(Work &w) {
    Noder noder(w);
    return noder.run();
}

} // namespace quentar::contours::detail
