// Splines as read from a drawing: rational B-spline evaluation over the knot domain, sampled
// densely enough that the measured length is that of the curve.
#include "geometry/spline_sampling.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

namespace {

// Initial steps of a knot span: one per this much turning (radians) of its control polygon. A
// planar B-spline never turns more than its control polygon, so a step rarely hides an S-bend
// from the halving test below.
constexpr double kStepTurning = 0.2;

// A step is halved while its two half chords are longer than its chord by more than this share of
// the chord. The samples keep both halves, whose chords miss the curve's length by about a third
// of that: 2e-4 at most, within the 0.05 % a quotation may be off by.
constexpr double kHalvingGain = 6e-4;

// Halvings of one initial step at most (a cusp would otherwise be halved forever).
constexpr int kMaxHalvings = 10;

// Pieces shorter than this share of the control polygon's size are not halved further.
constexpr double kTinyPiece = 1e-9;

// Ends of a closed spline this close (share of the control polygon's size) are the same point
// written with fewer digits; farther apart, a straight side closes the outline.
constexpr double kClosingSnap = 1e-6;
// Ends of any spline this close differ by rounding only and are made equal.
constexpr double kRoundingGap = 1e-12;

struct Homogeneous {
    double x, y, z, w;
};

// The spline as de Boor's algorithm needs it. Weights, when given, are scaled to a largest weight
// of one (the curve does not change) so that weighted coordinates cannot overflow.
class Nurbs {
public:
    Nurbs(int degree, const Point3 *control, const double *knots, const double *weights)
        : p_(degree), cp_(control), u_(knots), w_(weights) {}

    // The point at t of span j (u[j] < u[j + 1]); t = u[j + 1] gives the span's end.
    Point3 at(int64_t j, double t) const { return w_ ? rational(j, t) : plain(j, t); }

private:
    Point3 plain(int64_t j, double t) const {
        Point3 d[kMaxSplineDegree + 1];
        const int64_t first = j - p_;
        for (int i = 0; i <= p_; ++i) d[i] = cp_[first + i];
        for (int r = 1; r <= p_; ++r) {
            for (int i = p_; i >= r; --i) {
                const double lo = u_[first + i], hi = u_[j + 1 + i - r];
                const double a = (t - lo) / (hi - lo);
                d[i].x = (1 - a) * d[i - 1].x + a * d[i].x;
                d[i].y = (1 - a) * d[i - 1].y + a * d[i].y;
                d[i].z = (1 - a) * d[i - 1].z + a * d[i].z;
            }
        }
        return d[p_];
    }

    Point3 rational(int64_t j, double t) const {
        Homogeneous d[kMaxSplineDegree + 1];
        const int64_t first = j - p_;
        for (int i = 0; i <= p_; ++i) {
            const Point3 &c = cp_[first + i];
            const double w = w_[first + i];
            d[i] = {c.x * w, c.y * w, c.z * w, w};
        }
        for (int r = 1; r <= p_; ++r) {
            for (int i = p_; i >= r; --i) {
                const double lo = u_[first + i], hi = u_[j + 1 + i - r];
                const double a = (t - lo) / (hi - lo);
                d[i].x = (1 - a) * d[i - 1].x + a * d[i].x;
                d[i].y = (1 - a) * d[i - 1].y + a * d[i].y;
                d[i].z = (1 - a) * d[i - 1].z + a * d[i].z;
                d[i].w = (1 - a) * d[i - 1].w + a * d[i].w;
            }
        }
        const Homogeneous &h = d[p_];
        return {h.x / h.w, h.y / h.w, h.z / h.w};
    }

    int p_;
    const Point3 *cp_;
    const double *u_;
    const double *w_;
};

// Usable weights, scaled to a largest weight of one, into `scaled`; false when the spline is to be
// evaluated without weights (none given, unusable, or all equal, which is the non-rational curve).
bool prepareWeights(const std::vector<double> &weights, std::size_t count,
                    std::vector<double> &scaled, bool &ignored) {
    ignored = false;
    if (weights.empty()) return false;
    if (weights.size() != count) {
        ignored = true;
        return false;
    }
    double largest = 0;
    bool allEqual = true;
    for (double w : weights) {
        if (!(w > 0) || !std::isfinite(w)) {
            ignored = true;
            return false;
        }
        largest = std::max(largest, w);
        allEqual = allEqual && w == weights.front();
    }
    if (allEqual) return false;
    scaled.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        scaled[i] = weights[i] / largest;
        if (!(scaled[i] > 0)) { // weights farther apart than a double reaches
            ignored = true;
            return false;
        }
    }
    return true;
}

// Not std::hypot: this runs three times per sample, and overflow shows as a non-finite sample.
double distanceXY(const Point3 &a, const Point3 &b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Size of the control polygon: the diagonal of its box in the plane.
double controlSize(const std::vector<Point3> &control) {
    double minX = control[0].x, maxX = minX, minY = control[0].y, maxY = minY;
    for (const Point3 &c : control) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    const double size = std::hypot(maxX - minX, maxY - minY);
    return std::isfinite(size) ? size : 0.0;
}

// Initial steps of span j: its control points P(j - p) ... P(j) turn by at most this much in the
// plane, and so does the curve over the span.
int spanSteps(const Point3 *control, int64_t j, int p) {
    double turning = 0;
    double px = 0, py = 0;
    bool havePrevious = false;
    for (int64_t i = j - p; i < j; ++i) {
        const double dx = control[i + 1].x - control[i].x, dy = control[i + 1].y - control[i].y;
        if (dx == 0 && dy == 0) continue;
        if (havePrevious) turning += std::fabs(std::atan2(px * dy - py * dx, px * dx + py * dy));
        px = dx;
        py = dy;
        havePrevious = true;
    }
    if (!(turning > 0)) return 1; // straight, or not finite
    return static_cast<int>(std::ceil(turning / kStepTurning));
}

struct Span {
    int64_t first, last; // the non-empty spans of the domain lie between these
};

Span domainSpans(const double *u, int p, int64_t count) {
    int64_t first = p, last = count - 1;
    while (!(u[first] < u[first + 1])) ++first; // a domain of positive width has one
    while (!(u[last] < u[last + 1])) --last;
    return {first, last};
}

// Fewer samples than the spans need: `budget` of them at equal parameter steps.
void sampleUniformly(const Nurbs &curve, const double *u, Span spans, int64_t budget,
                     std::vector<Point3> &out) {
    const double a = u[spans.first], b = u[spans.last + 1];
    int64_t j = spans.first;
    for (int64_t i = 0; i < budget; ++i) {
        const double t = i + 1 == budget ? b : a + (b - a) * static_cast<double>(i) / (budget - 1);
        while (j < spans.last && u[j + 1] <= t) ++j;
        out.push_back(curve.at(j, t));
    }
}

// The halving test: does the piece A-M-B follow the curve closely enough?
bool closeEnough(const Point3 &a, const Point3 &m, const Point3 &b, double tiny) {
    const double halves = distanceXY(a, m) + distanceXY(m, b);
    const double chord = distanceXY(a, b);
    if (halves <= tiny) return true;
    return !(halves - chord > kHalvingGain * chord); // NaN ends the halving too
}

enum class Adaptive { Done, Cut, NoRoom };

// The adaptive sampling of a spline with a knot domain: Cut when the budget stopped a halving,
// NoRoom (and nothing sampled) when it does not even hold two samples per initial step.
Adaptive sampleAdaptively(const Nurbs &curve, const double *u, const Point3 *control, int p,
                          Span spans, double size, int64_t maxSamples, std::vector<Point3> &out) {
    std::vector<int> spanStepCount(static_cast<std::size_t>(spans.last - spans.first + 1), 0);
    int64_t steps = 0;
    for (int64_t j = spans.first; j <= spans.last; ++j) {
        if (!(u[j] < u[j + 1])) continue;
        const int k = spanSteps(control, j, p);
        spanStepCount[static_cast<std::size_t>(j - spans.first)] = k;
        steps += k;
    }
    if (1 + 2 * steps > maxSamples) return Adaptive::NoRoom;
    out.reserve(static_cast<std::size_t>(std::min(maxSamples, 1 + 4 * steps)));

    const double tiny = kTinyPiece * size;
    struct End {
        double t;
        Point3 at;
        int halvings;
    };
    End pending[kMaxHalvings + 2]; // right ends still to reach, nearest on top

    double ta = u[spans.first];
    out.push_back(curve.at(spans.first, ta));
    Point3 a = out.back();
    int64_t stepsLeft = steps;
    bool cut = false;
    for (int64_t j = spans.first; j <= spans.last; ++j) {
        const int k = spanStepCount[static_cast<std::size_t>(j - spans.first)];
        const double t0 = u[j], t1 = u[j + 1];
        for (int s = 1; s <= k; ++s) {
            --stepsLeft;
            const double tb = s == k ? t1 : t0 + (t1 - t0) * s / k;
            int top = 0;
            pending[0] = {tb, curve.at(j, tb), 0};
            while (top >= 0) {
                End &b = pending[top];
                const double tm = 0.5 * (ta + b.t);
                const Point3 m = curve.at(j, tm);
                // Every end still pending, and every step still to come, needs two samples.
                const bool room =
                    static_cast<int64_t>(out.size()) + 2 * (top + 2) + 2 * stepsLeft <= maxSamples;
                const bool good = closeEnough(a, m, b.at, tiny);
                if (good || b.halvings >= kMaxHalvings || !room) {
                    cut = cut || (!good && !room);
                    out.push_back(m);
                    out.push_back(b.at);
                    ta = b.t;
                    a = b.at;
                    --top;
                } else {
                    ++b.halvings;
                    pending[top + 1] = {tm, m, b.halvings};
                    ++top;
                }
            }
        }
    }
    return cut ? Adaptive::Cut : Adaptive::Done;
}

bool allFinite(const std::vector<Point3> &pts) {
    for (const Point3 &q : pts)
        if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z)) return false;
    return true;
}

void controlPolygon(const std::vector<Point3> &control, int64_t maxSamples,
                    std::vector<Point3> &out, SplineSampling &r) {
    r.shape = SplineShape::ControlPolygon;
    const auto count = static_cast<int64_t>(control.size());
    const int64_t take = std::min(count, std::max<int64_t>(0, maxSamples));
    if (take < count) r.cut = true;
    out.assign(control.begin(), control.begin() + take);
}

// A closed spline ends exactly on its first sample; any spline whose ends differ by rounding only
// is made to end exactly there too, so that the measurement sees a closed contour.
void closeOutline(bool closed, double size, int64_t maxSamples, std::vector<Point3> &out,
                  SplineSampling &r) {
    if (out.size() < 2) return;
    const Point3 &first = out.front();
    Point3 &last = out.back();
    const double gap = std::sqrt((first.x - last.x) * (first.x - last.x) +
                                 (first.y - last.y) * (first.y - last.y) +
                                 (first.z - last.z) * (first.z - last.z));
    if (gap <= kRoundingGap * size || (closed && gap <= kClosingSnap * size)) {
        last = first;
        return;
    }
    if (!closed) return;
    if (static_cast<int64_t>(out.size()) < maxSamples) {
        out.push_back(first);
    } else {
        last = first;
        r.cut = true;
    }
}

} // namespace

bool hasKnotDomain(int degree, std::size_t count, const std::vector<double> &knots) {
    if (degree < 1 || count < static_cast<std::size_t>(degree) + 1) return false;
    if (knots.size() != count + static_cast<std::size_t>(degree) + 1) return false;
    for (std::size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i])) return false;
        if (i > 0 && knots[i] < knots[i - 1]) return false;
    }
    return knots[static_cast<std::size_t>(degree)] < knots[count];
}

Point3 splinePointAt(int degree, const std::vector<Point3> &control,
                     const std::vector<double> &knots, const std::vector<double> &weights,
                     double u) {
    if (degree > kMaxSplineDegree || !hasKnotDomain(degree, control.size(), knots))
        return control.empty() ? Point3{} : control.front();
    std::vector<double> scaled;
    bool ignored = false;
    const bool rational = prepareWeights(weights, control.size(), scaled, ignored);
    const Nurbs curve(degree, control.data(), knots.data(), rational ? scaled.data() : nullptr);
    const Span spans = domainSpans(knots.data(), degree, static_cast<int64_t>(control.size()));
    u = std::clamp(u, knots[spans.first], knots[spans.last + 1]);
    int64_t j = spans.first;
    while (j < spans.last && knots[j + 1] <= u) ++j;
    return curve.at(j, u);
}

SplineSampling sampleSplineCurve(const SplineData &s, int64_t maxSamples,
                                 std::vector<Point3> &out) {
    out.clear();
    SplineSampling r;
    const std::size_t count = s.control.size();
    if (count < 2) {
        r.shape = SplineShape::TooFewPoints;
        return r;
    }
    if (s.degree < 1 || s.degree > kMaxSplineDegree || count > kMaxSplineControlPoints) {
        r.shape = SplineShape::Unsupported;
        return r;
    }
    maxSamples = std::min(maxSamples, kMaxSplineSamples);
    const int p = s.degree;
    const double size = controlSize(s.control);

    std::vector<double> generated;
    const std::vector<double> *knots = &s.knots;
    if (s.knots.size() != count + static_cast<std::size_t>(p) + 1) {
        makeknots(generated, static_cast<int>(count) - 1, p + 1);
        knots = &generated;
    }
    std::vector<double> weights;
    const bool rational = prepareWeights(s.weights, count, weights, r.weightsIgnored);

    if (!hasKnotDomain(p, count, *knots)) {
        controlPolygon(s.control, maxSamples, out, r);
    } else {
        const double *u = knots->data();
        const Nurbs curve(p, s.control.data(), u, rational ? weights.data() : nullptr);
        const Span spans = domainSpans(u, p, static_cast<int64_t>(count));
        const Adaptive done =
            sampleAdaptively(curve, u, s.control.data(), p, spans, size, maxSamples, out);
        if (done != Adaptive::Done) r.cut = true;
        if (done == Adaptive::NoRoom && maxSamples >= 2)
            sampleUniformly(curve, u, spans, maxSamples, out);
        // Weights far apart can still overflow where the curve is evaluated.
        if (!allFinite(out)) controlPolygon(s.control, maxSamples, out, r);
    }
    closeOutline(s.closed, size, maxSamples, out, r);
    return r;
}

} // namespace quentar::render
