// Curve evaluation: B-splines become lists of points (arcs and bulges are in arcs.cpp).
#include "geometry/curves.h"

#include "geometry/spline_sampling.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace quentar::render {

namespace {

// ---------------------------------------------------------------------------------------------
// B-spline basis
// ---------------------------------------------------------------------------------------------

// One step of the Cox-de Boor recurrence: N(k, s) from N(k, s - 1) and N(k + 1, s - 1), with
// 0/0 := 0. Both the direct recursion and the tables below go through here so that they form the
// very same terms.
inline double coxDeBoor(const double *u, int64_t k, int s, double v, double left, double right)
{
    const double a = u[k], b = u[k + s - 1], c = u[k + 1], d = u[k + s];
    const bool flatLeft = b == a, flatRight = d == c;
    if (flatLeft && flatRight) return 0.0;
    if (flatLeft) return (d - v) / (d - c) * right;
    if (flatRight) return (v - a) / (b - a) * left;
    return (v - a) / (b - a) * left + (d - v) / (d - c) * right;
}

// False also for NaN knots: those must not reach the span search, which assumes an ordering.
bool nondecreasing(const double *u, int64_t count)
{
    for (int64_t i = 1; i < count; ++i)
        if (!(u[i] >= u[i - 1])) return false;
    return true;
}

// Enough knots and control points to evaluate at all (the size limits are the sampler's business).
bool evaluable(int n, int t, std::size_t knotCount, std::size_t controlCount)
{
    return t >= 1 && n >= 0 && static_cast<int64_t>(knotCount) >= int64_t{n} + t + 1 &&
           static_cast<int64_t>(controlCount) >= int64_t{n} + 1;
}

// The basis functions N(k, t) at v that can be non-zero, k = first ... first + count - 1.
//
// For a non-decreasing knot vector only the span u(j) <= v < u(j + 1) carries a 1 at order one,
// so the triangle above it holds every non-zero function: O(t^2) per point. Knots from a
// customer's file can run backwards (or be the degenerate vector generated for fewer control
// points than the order); there the half-open intervals overlap or vanish and the triangle
// argument fails, so the whole table over all k is built instead, O(t * (n + t)) per point, which
// still gives exactly the recurrence's values.
class BasisTable {
public:
    BasisTable(const double *knots, int n, int t)
        : u_(knots), n_(n), t_(t), ordered_(nondecreasing(knots, int64_t{n} + t + 1)),
          work_(ordered_ ? static_cast<std::size_t>(t) : static_cast<std::size_t>(n) + t)
    {
    }

    // Returns count; first and values() describe the functions.
    int at(double v, int64_t &first)
    {
        return ordered_ ? triangle(v, first) : fullTable(v, first);
    }
    const double *values() const { return values_; }

private:
    int triangle(double v, int64_t &first)
    {
        const int64_t last = int64_t{n_} + t_; // index of the last knot that matters
        const double *it = std::upper_bound(u_, u_ + last + 1, v);
        const int64_t j = (it - u_) - 1;
        if (j < 0 || j > last - 1) return 0; // outside [u(0), u(n + t)), or NaN

        // work_[k - base] holds N(k, s). Entries left of the triangle stay 0; entries that fall
        // off its right edge near the end of the vector are never read again.
        const int64_t base = j - t_ + 1;
        std::fill(work_.begin(), work_.end(), 0.0);
        double *w = work_.data();
        w[t_ - 1] = 1.0;
        for (int s = 2; s <= t_; ++s) {
            const int64_t lo = std::max<int64_t>(0, j - s + 1);
            const int64_t hi = std::min<int64_t>(j, last - s);
            for (int64_t k = lo; k <= hi; ++k) {
                const double right = k + 1 <= j ? w[k + 1 - base] : 0.0;
                w[k - base] = coxDeBoor(u_, k, s, v, w[k - base], right);
            }
        }
        first = std::max<int64_t>(0, base);
        const int64_t hi = std::min<int64_t>(j, n_);
        values_ = w + (first - base);
        return static_cast<int>(hi - first + 1);
    }

    int fullTable(double v, int64_t &first)
    {
        const int64_t last = int64_t{n_} + t_;
        double *w = work_.data();
        for (int64_t k = 0; k < last; ++k) w[k] = (u_[k] <= v && v < u_[k + 1]) ? 1.0 : 0.0;
        for (int s = 2; s <= t_; ++s)
            for (int64_t k = 0; k <= last - s; ++k) w[k] = coxDeBoor(u_, k, s, v, w[k], w[k + 1]);
        first = 0;
        values_ = w;
        return n_ + 1;
    }

    const double *u_;
    int n_, t_;
    bool ordered_;
    std::vector<double> work_;
    const double *values_ = nullptr;
};

// Sum of N * P in ascending k; the fit's cached rows use it too so that they reproduce the
// sampler's points bit for bit.
inline Point3 combine(const double *vals, int count, const Point3 *control)
{
    Point3 r;
    for (int c = 0; c < count; ++c) {
        r.x += vals[c] * control[c].x;
        r.y += vals[c] * control[c].y;
        r.z += vals[c] * control[c].z;
    }
    return r;
}

// Round half to even, as the rest of the program rounds; out-of-range values saturate so that an
// absurd drawing extent cannot overflow.
int64_t roundToInt(double x)
{
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);
    if (r >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (r <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

inline double sq(double x) { return x * x; }

// Squared distance from f to the nearest sample. Four running minima let the loop pipeline;
// each starts at the first sample, so the result (NaN included) is that of a plain scan.
double nearestSquared(const double *xs, const double *ys, std::size_t count, double fx, double fy)
{
    const double first = sq(xs[0] - fx) + sq(ys[0] - fy);
    double b0 = first, b1 = first, b2 = first, b3 = first;
    std::size_t i = 1;
    for (; i + 4 <= count; i += 4) {
        const double d0 = sq(xs[i] - fx) + sq(ys[i] - fy);
        const double d1 = sq(xs[i + 1] - fx) + sq(ys[i + 1] - fy);
        const double d2 = sq(xs[i + 2] - fx) + sq(ys[i + 2] - fy);
        const double d3 = sq(xs[i + 3] - fx) + sq(ys[i + 3] - fy);
        b0 = d0 < b0 ? d0 : b0;
        b1 = d1 < b1 ? d1 : b1;
        b2 = d2 < b2 ? d2 : b2;
        b3 = d3 < b3 ? d3 : b3;
    }
    for (; i < count; ++i) {
        const double d = sq(xs[i] - fx) + sq(ys[i] - fy);
        b0 = d < b0 ? d : b0;
    }
    if (b1 < b0) b0 = b1;
    if (b2 < b0) b0 = b2;
    if (b3 < b0) b0 = b3;
    return b0;
}

// Basis rows of a fixed set of parameters: the fit re-evaluates the same parameters with new
// control points hundreds of times.
struct BasisRows {
    std::vector<int64_t> first;
    std::vector<int> count;
    std::vector<std::size_t> offset;
    std::vector<double> vals;

    void add(BasisTable &table, double v)
    {
        int64_t f = 0;
        const int c = table.at(v, f);
        first.push_back(f);
        count.push_back(c);
        offset.push_back(vals.size());
        vals.insert(vals.end(), table.values(), table.values() + c);
    }
    Point3 point(std::size_t row, const std::vector<Point3> &control) const
    {
        return combine(vals.data() + offset[row], count[row], control.data() + first[row]);
    }
};

// tries * m^2 is what the random search costs (each try scores m targets against 100 * m
// samples). 1000 tries of 50 fit points is the most an ordinary drawing asks for; beyond that the
// number of tries shrinks to keep within this bound, down to no search at all.
constexpr int64_t kFitSearchBudget = int64_t{1000} * 50 * 50;

} // namespace

// ---------------------------------------------------------------------------------------------
// Random source
// ---------------------------------------------------------------------------------------------

RandomSource::RandomSource()
    : gen_(static_cast<uint64_t>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count()))
{
}

RandomSource::RandomSource(uint64_t seed) : gen_(seed) {}

int64_t RandomSource::next(int64_t n)
{
    if (n <= 0) return 0;
    // Rejection below 2^64 mod n keeps the draw unbiased and independent of the standard
    // library's distribution code, so a seed gives the same fit everywhere.
    const uint64_t un = static_cast<uint64_t>(n);
    const uint64_t threshold = (0 - un) % un;
    for (;;) {
        const uint64_t r = gen_();
        if (r >= threshold) return static_cast<int64_t>(r % un);
    }
}

RandomSource &programRandom()
{
    static RandomSource source;
    return source;
}


// ---------------------------------------------------------------------------------------------
// Splines
// ---------------------------------------------------------------------------------------------

void makeknots(std::vector<double> &knots, int n, int t)
{
    const int64_t size = std::max<int64_t>(0, int64_t{n} + t + 1);
    knots.resize(static_cast<std::size_t>(size));
    for (int64_t j = 0; j < size; ++j) {
        if (j < t)
            knots[j] = 0;
        else if (j <= n)
            knots[j] = static_cast<double>(j - t + 1);
        else
            knots[j] = static_cast<double>(int64_t{n} - t + 2);
    }
}

double basisvalue(int k, int t, const std::vector<double> &knots, double v)
{
    if (t < 1 || k < 0 || int64_t{k} + t >= static_cast<int64_t>(knots.size())) return 0.0;
    const double *u = knots.data();
    if (t == 1) return (u[k] <= v && v < u[k + 1]) ? 1.0 : 0.0;
    const bool flatLeft = u[k + t - 1] == u[k], flatRight = u[k + t] == u[k + 1];
    if (flatLeft && flatRight) return 0.0;
    const double left = flatLeft ? 0.0 : basisvalue(k, t - 1, knots, v);
    const double right = flatRight ? 0.0 : basisvalue(k + 1, t - 1, knots, v);
    return coxDeBoor(u, k, t, v, left, right);
}

Point3 evalspline(const std::vector<double> &knots, int n, int t, double v,
                  const std::vector<Point3> &control)
{
    if (!evaluable(n, t, knots.size(), control.size()))
        return control.empty() ? Point3{} : control.front();
    BasisTable table(knots.data(), n, t);
    int64_t first = 0;
    const int count = table.at(v, first);
    return combine(table.values(), count, control.data() + first);
}

void samplespline(int n, int t, const std::vector<Point3> &control, int res,
                  std::vector<Point3> &out, const std::vector<double> &knots)
{
    if (res <= 0) {
        out.clear();
        return;
    }
    bool sane = evaluable(n, t, knots.size(), control.size()) && t - 1 <= kMaxSplineDegree &&
                n + 1 <= kMaxSplineControlPoints;
    // Knots and control points beyond those of the spline play no part.
    std::vector<double> ownKnots;
    std::vector<Point3> ownControl;
    const std::vector<double> *u = &knots;
    const std::vector<Point3> *cp = &control;
    if (sane && knots.size() != static_cast<std::size_t>(n) + t + 1) {
        ownKnots.assign(knots.begin(), knots.begin() + n + t + 1);
        u = &ownKnots;
    }
    if (sane && control.size() != static_cast<std::size_t>(n) + 1) {
        ownControl.assign(control.begin(), control.begin() + n + 1);
        cp = &ownControl;
    }
    sane = sane && hasKnotDomain(t - 1, static_cast<std::size_t>(n) + 1, *u);
    if (!sane) {
        out.assign(static_cast<std::size_t>(res), control.empty() ? Point3{} : control.front());
        return;
    }
    out.resize(static_cast<std::size_t>(res));
    BasisTable table(knots.data(), n, t);
    // The domain [u(t - 1), u(n + 1)]: where the basis functions sum to one. Its end lies outside
    // the half-open spans, so the last sample is evaluated on the last span. A division by zero for
    // res == 1 is harmless: no sample is taken at v then.
    const double start = knots[static_cast<std::size_t>(t) - 1];
    const double end = knots[static_cast<std::size_t>(n) + 1];
    const double h = (end - start) / (res - 1);
    double v = start;
    for (int i = 0; i < res - 1; ++i) {
        int64_t first = 0;
        const int count = table.at(v, first);
        out[i] = combine(table.values(), count, control.data() + first);
        v += h;
    }
    out[res - 1] = splinePointAt(t - 1, *cp, *u, {}, end);
}

// ---------------------------------------------------------------------------------------------
// Fit points
// ---------------------------------------------------------------------------------------------

std::vector<Point3> fitcontrolpoints(const std::vector<Point3> &targets, int tries,
                                     const std::vector<int> &fixed, RandomSource &rng)
{
    const int64_t m64 = static_cast<int64_t>(targets.size());
    // Too many points to be a spline at all: the reader does not sample those either.
    if (m64 < 2 || m64 > kMaxSplineControlPoints) return targets;
    const int m = static_cast<int>(m64);

    std::vector<Point3> p = targets;

    std::vector<char> isFixed(static_cast<std::size_t>(m), 0);
    for (int f : fixed)
        if (f >= 0 && f < m) isFixed[f] = 1;
    std::vector<int> movable;
    for (int i = 1; i <= m - 2; ++i)
        if (!isFixed[i]) movable.push_back(i);
    // Nothing may move: neither the search nor the correction can change a thing.
    if (movable.empty()) return p;

    const int n = m - 1, t = 4;
    std::vector<double> knots;
    makeknots(knots, n, t);
    BasisTable table(knots.data(), n, t);
    const int res = 100 * m;
    const double h = knots[static_cast<std::size_t>(n) + t] / (res - 1);

    const int64_t searchTries =
        std::min<int64_t>(std::max(0, tries), kFitSearchBudget / (m64 * m64));

    if (searchTries > 0) {
        double minX = targets[0].x, maxX = targets[0].x, minY = targets[0].y, maxY = targets[0].y;
        for (const Point3 &f : targets) {
            minX = std::min(minX, f.x);
            maxX = std::max(maxX, f.x);
            minY = std::min(minY, f.y);
            maxY = std::max(maxY, f.y);
        }
        const double w = maxX - minX, hgt = maxY - minY;
        const int64_t spanX = roundToInt(w * 1000.0), spanY = roundToInt(hgt * 1000.0);

        // The parameters never change between tries, only the control points do.
        BasisRows rows;
        rows.first.reserve(static_cast<std::size_t>(res));
        rows.count.reserve(static_cast<std::size_t>(res));
        rows.offset.reserve(static_cast<std::size_t>(res));
        double v = 0;
        for (int i = 0; i < res - 1; ++i) {
            rows.add(table, v);
            v += h;
        }
        std::vector<double> xs(static_cast<std::size_t>(res)), ys(static_cast<std::size_t>(res));
        std::vector<Point3> best;
        double bestScore = 0;

        for (int64_t attempt = 0; attempt < searchTries; ++attempt) {
            for (int i : movable) {
                p[i].x = static_cast<double>(rng.next(spanX)) / 500.0 + targets[i].x - w;
                p[i].y = static_cast<double>(rng.next(spanY)) / 500.0 + targets[i].y - hgt;
            }
            for (int i = 0; i < res - 1; ++i) {
                const Point3 s = rows.point(static_cast<std::size_t>(i), p);
                xs[i] = s.x;
                ys[i] = s.y;
            }
            xs[res - 1] = p[n].x;
            ys[res - 1] = p[n].y;

            // Terms are never negative, so once the running sum reaches the best score this try
            // cannot win any more.
            double score = 0;
            bool beaten = false;
            for (int f = 1; f <= m - 2; ++f) {
                score += nearestSquared(xs.data(), ys.data(), xs.size(), targets[f].x,
                                        targets[f].y);
                if (attempt > 0 && score >= bestScore) {
                    beaten = true;
                    break;
                }
            }
            if (attempt == 0 || (!beaten && score < bestScore)) {
                bestScore = score;
                best = p;
            }
        }
        p = best;
    }

    // Correction: each movable point is pulled by the miss of the sample at its share of the
    // sample range. Only those samples are ever read, so only they are evaluated; their
    // parameters are accumulated exactly as the sampler does.
    std::vector<int64_t> sampleIndex(movable.size());
    for (std::size_t c = 0; c < movable.size(); ++c)
        sampleIndex[c] = int64_t{movable[c]} * (res - 1) / (m - 1);
    BasisRows rows;
    {
        double v = 0;
        int64_t at = 0;
        for (int64_t j : sampleIndex) { // ascending with the movable indices
            for (; at < j; ++at) v += h;
            rows.add(table, v);
        }
    }
    std::vector<Point3> miss(movable.size());
    for (int round = 0; round < 10; ++round) {
        for (std::size_t c = 0; c < movable.size(); ++c) miss[c] = rows.point(c, p);
        for (std::size_t c = 0; c < movable.size(); ++c) {
            const int i = movable[c];
            p[i].x += targets[i].x - miss[c].x;
            p[i].y += targets[i].y - miss[c].y;
        }
    }
    return p;
}

} // namespace quentar::render
