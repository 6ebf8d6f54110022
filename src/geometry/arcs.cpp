// Circular curves: arcs, circles, ellipses and the bulge arcs of polylines become lists of points.
#include "geometry/curves.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quentar::render {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// ---------------------------------------------------------------------------------------------
// Bulge arcs
// ---------------------------------------------------------------------------------------------

struct BulgeArc {
    double cx, cy, r, start, end;
};

// The arc of a bulged segment P -> Q, or false when the segment stays straight: no bulge, or an
// arc whose sagitta (the bulge times half the chord) is below `tolerance`.
bool bulgeArc(const document::Tmypoi &p, const document::Tmypoi &q, double beta, double tolerance,
              BulgeArc &arc)
{
    if (beta == 0) return false;
    if (p.x == q.x && p.y == q.y) return false;

    const double theta = -4.0 * std::atan(beta);
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double chord = std::sqrt(dx * dx + dy * dy);
    const double d = chord / 2.0;
    const double s = d * beta;
    if (!(std::fabs(s) >= tolerance)) return false;
    const double r = std::fabs((d * d + s * s) / (2.0 * s));

    // Circles of radius r about P and Q meet on the chord's perpendicular bisector. Rounding can
    // push r slightly below d for a half circle; the absolute value keeps that case alive.
    const double h = std::sqrt(std::fabs(r * r - d * d));
    const double mx = p.x + dx / 2.0, my = p.y + dy / 2.0;
    const double ox = h * dy / chord, oy = -h * dx / chord;
    const double centres[2][2] = {{mx + ox, my + oy}, {mx - ox, my - oy}};

    // Two centres times the short and the long way round: the sweep nearest the bulge's angle
    // decides.
    int bestCentre = 0;
    bool bestComplement = false;
    double bestDiff = 0, bestStart = 0, bestEnd = 0;
    bool any = false;
    for (int c = 0; c < 2; ++c) {
        const double st = std::atan2(p.y - centres[c][1], p.x - centres[c][0]);
        const double en = std::atan2(q.y - centres[c][1], q.x - centres[c][0]);
        const double sweep = st - en;
        const double other =
            sweep < 0 ? kTwoPi - std::fabs(sweep) : -(kTwoPi - std::fabs(sweep));
        const double candidates[2] = {sweep, other};
        for (int k = 0; k < 2; ++k) {
            const double diff = std::fabs(candidates[k] - theta);
            if (!any || diff < bestDiff) {
                any = true;
                bestDiff = diff;
                bestCentre = c;
                bestComplement = k == 1;
                bestStart = st;
                bestEnd = en;
            }
        }
    }
    if (bestComplement) {
        if (beta <= 0)
            bestStart += kTwoPi;
        else
            bestEnd += kTwoPi;
    }
    arc = {centres[bestCentre][0], centres[bestCentre][1], r, bestStart, bestEnd};
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Arcs and ellipses
// ---------------------------------------------------------------------------------------------

void sampleArc(double cx, double cy, double cz, double r, double a0deg, double a1deg, bool circle,
               Point3 out[kCurveSamples])
{
    if (circle) {
        a0deg = 0;
        a1deg = 0;
    }
    if (!(a1deg > a0deg)) a1deg += 360.0;
    // Every full circle runs through the same 101 angles: their sines and cosines are computed
    // once, by the very same expression, so the points are bit for bit what the loop gives.
    struct FullTurn {
        double c[kCurveSamples], s[kCurveSamples];
        FullTurn() {
            for (int i = 0; i < kCurveSamples; ++i) {
                const double angle = (0.0 + i * (360.0 - 0.0) / 100.0) * kPi / 180.0;
                c[i] = std::cos(angle);
                s[i] = std::sin(angle);
            }
        }
    };
    if (a0deg == 0.0 && a1deg == 360.0) {
        static const FullTurn turn;
        for (int i = 0; i < kCurveSamples; ++i)
            out[i] = {cx + r * turn.c[i], cy + r * turn.s[i], cz};
        return;
    }
    for (int i = 0; i < kCurveSamples; ++i) {
        const double angle = (a0deg + i * (a1deg - a0deg) / 100.0) * kPi / 180.0;
        out[i] = {cx + r * std::cos(angle), cy + r * std::sin(angle), cz};
    }
}

Point3 ellipsePoint(double cx, double cy, double cz, double a, double b, double rho, double t,
                    bool mirrored)
{
    if (mirrored) t = -t;
    const double u = a * std::cos(t), w = b * std::sin(t);
    const double cr = std::cos(rho), sr = std::sin(rho);
    return {cx + u * cr - w * sr, cy + u * sr + w * cr, cz};
}

void sampleEllipse(double cx, double cy, double cz, double a, double b, double rho, double p0,
                   double p1, bool mirrored, Point3 out[kCurveSamples])
{
    if (p1 <= p0) p1 += kTwoPi;
    for (int i = 0; i < kCurveSamples; ++i)
        out[i] = ellipsePoint(cx, cy, cz, a, b, rho, p0 + i * (p1 - p0) / 100.0, mirrored);
}

// ---------------------------------------------------------------------------------------------
// Bulges
// ---------------------------------------------------------------------------------------------

double arcChordArea(double r, double sweep, int steps)
{
    if (steps < 1 || !std::isfinite(r) || !std::isfinite(sweep)) return 0;
    const double d = sweep / steps;
    return steps * r * r / 2 * (d - std::sin(d));
}

void expandbulges(std::vector<document::Tmypoi> &ps, std::vector<document::Tmypoi> &snap,
                  bool isclosed, const std::vector<double> *exactBulges, double *curveArea,
                  std::vector<float> *widths)
{
    if (widths && widths->empty()) widths = nullptr;
    if (widths) widths->resize(ps.size(), 0.0f);
    if (isclosed && !ps.empty()) {
        document::Tmypoi closing = ps.front();
        closing.donotdraw = false;
        ps.push_back(closing);
        if (widths) widths->push_back(widths->front());
    }
    const std::size_t anzp = ps.size();
    if (anzp < 2 || !exactBulges) return;

    // Every arc depends only on its own two original vertices, so one forward pass that builds a
    // new list gives the same result as inserting from the last segment down, without moving the
    // tail once per arc. The centres are kept to be appended last segment first.
    double minx = ps[0].x, maxx = ps[0].x, miny = ps[0].y, maxy = ps[0].y;
    for (const document::Tmypoi &v : ps) {
        minx = std::min(minx, v.x);
        maxx = std::max(maxx, v.x);
        miny = std::min(miny, v.y);
        maxy = std::max(maxy, v.y);
    }
    const double tolerance = chordTolerance(std::max(maxx - minx, maxy - miny));
    std::vector<BulgeArc> arcs(anzp - 1);
    std::vector<char> bulged(anzp - 1, 0);
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < anzp; ++i) {
        const double beta = i < exactBulges->size() ? (*exactBulges)[i] : 0.0;
        if (bulgeArc(ps[i], ps[i + 1], beta, tolerance, arcs[i])) {
            bulged[i] = 1;
            ++count;
        }
    }
    if (count == 0) return;

    std::vector<document::Tmypoi> result;
    std::vector<float> resultWidths;
    result.reserve(anzp + count * kBulgePoints);
    if (widths) resultWidths.reserve(result.capacity());
    for (std::size_t i = 0; i + 1 < anzp; ++i) {
        const document::Tmypoi &p = ps[i];
        const std::size_t copies = bulged[i] ? std::size_t{1} + kBulgePoints : 1;
        if (widths) resultWidths.insert(resultWidths.end(), copies, (*widths)[i]);
        result.push_back(p);
        if (!bulged[i]) continue;
        const BulgeArc &arc = arcs[i];
        for (int k = 0; k < kBulgePoints; ++k) {
            const double angle = arc.start + k * (arc.end - arc.start) / (kBulgePoints - 1);
            document::Tmypoi v;
            v.x = arc.cx + arc.r * std::cos(angle);
            v.y = arc.cy + arc.r * std::sin(angle);
            v.z = p.z;
            v.setwid = p.setwid;
            v.curve = true;
            result.push_back(v);
        }
    }
    result.push_back(ps.back());
    if (widths) {
        resultWidths.push_back(widths->back());
        widths->swap(resultWidths);
    }

    if (curveArea)
        for (std::size_t i = 0; i + 1 < anzp; ++i)
            if (bulged[i])
                *curveArea += arcChordArea(arcs[i].r, arcs[i].end - arcs[i].start,
                                           kBulgePoints - 1);
    for (std::size_t i = anzp - 1; i-- > 0;) {
        if (!bulged[i]) continue;
        document::Tmypoi c;
        c.x = arcs[i].cx;
        c.y = arcs[i].cy;
        snap.push_back(c);
    }
    ps.swap(result);
}

} // namespace quentar::render
