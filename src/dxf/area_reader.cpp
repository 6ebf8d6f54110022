// Readers of HATCH, WIPEOUT and VIEWPORT: areas and frames that become one vertex outline each.
#include "dxf/pass.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quentar::dxf {

namespace {

// One group of a hatch as read: the boundary and the pattern are counted lists whose meaning
// depends on what came before, so the hatch is parsed from the whole list of its groups.
struct HatchGroup {
    int code;
    std::string_view value;
};

// A cursor over a hatch's groups that reads counted lists and skips what it does not know.
class HatchCursor {
public:
    explicit HatchCursor(const std::vector<HatchGroup> &g) : g_(g) {}
    bool atEnd() const { return k_ >= g_.size(); }
    int code() const { return atEnd() ? -1 : g_[k_].code; }
    void skip() { ++k_; }
    // The value of the next group when it has `code`.
    bool real(int code, double &out) {
        if (code != this->code()) return false;
        const bool ok = toReal(g_[k_].value, out) && std::isfinite(out);
        ++k_;
        return ok;
    }
    bool integer(int code, int32_t &out) {
        if (code != this->code()) return false;
        const bool ok = toInteger(g_[k_].value, out);
        ++k_;
        return ok;
    }
    std::string_view text() const { return atEnd() ? std::string_view() : g_[k_].value; }

private:
    const std::vector<HatchGroup> &g_;
    std::size_t k_ = 0;
};

struct Pt {
    double x = 0, y = 0;
    bool curve = false; // the step to this point samples a curve
};

// Bounds that turn an absurd hatch into "read as far as sensible".
constexpr int32_t kMaxLoops = 100000;
constexpr int32_t kMaxItems = 1000000; // vertices, edges, knots of one list
// Pattern lines of one hatch beyond this are not drawn (the boundary still is).
constexpr std::size_t kMaxPatternSegments = 40000;

void arcPoints(double cx, double cy, double r, double s, double e, bool ccw,
               std::vector<Pt> &out) {
    // Clockwise edges store their angles as the complement (360 - angle).
    double a0 = ccw ? s : 360 - e, a1 = ccw ? e : 360 - s;
    render::Point3 q[render::kCurveSamples];
    const bool full = std::fabs(a1 - a0) >= 360 - 1e-9;
    render::sampleArc(cx, cy, 0, r, a0, full ? a0 + 360 : a1, false, q);
    const int n = render::kCurveSamples;
    for (int i = 0; i < n; ++i) {
        const render::Point3 &pt = q[ccw ? i : n - 1 - i];
        out.push_back({pt.x, pt.y, i > 0});
    }
}

void ellipsePoints(double cx, double cy, double mx, double my, double ratio, double s, double e,
                   bool ccw, std::vector<Pt> &out) {
    double p0 = (ccw ? s : 360 - e) * M_PI / 180, p1 = (ccw ? e : 360 - s) * M_PI / 180;
    if (std::fabs(p1 - p0) >= 2 * M_PI - 1e-9) p1 = p0 + 2 * M_PI;
    const double a = std::hypot(mx, my), b = a * ratio, rho = std::atan2(my, mx);
    render::Point3 q[render::kCurveSamples];
    render::sampleEllipse(cx, cy, 0, a, b, rho, p0, p1, false, q);
    const int n = render::kCurveSamples;
    for (int i = 0; i < n; ++i) {
        const render::Point3 &pt = q[ccw ? i : n - 1 - i];
        out.push_back({pt.x, pt.y, i > 0});
    }
}

// Appends a piece of a boundary to its loop, joining it where it starts at the loop's end.
void appendPiece(std::vector<Pt> &loop, const std::vector<Pt> &piece) {
    std::size_t from = 0;
    if (!loop.empty() && !piece.empty() && std::fabs(loop.back().x - piece[0].x) < 1e-9 &&
        std::fabs(loop.back().y - piece[0].y) < 1e-9)
        from = 1;
    for (std::size_t i = from; i < piece.size(); ++i) {
        Pt q = piece[i];
        if (i == 0) q.curve = false;
        loop.push_back(q);
    }
}

// A polyline boundary path: vertices with bulges, always closed.
void polylineLoop(HatchCursor &c, std::vector<Pt> &loop) {
    int32_t hasBulge = 0, closed = 0, count = 0;
    c.integer(72, hasBulge);
    c.integer(73, closed);
    c.integer(93, count);
    std::vector<Tmypoi> ps, snap;
    std::vector<double> bulges;
    for (int32_t i = 0; i < count && i < kMaxItems && !c.atEnd(); ++i) {
        Tmypoi v;
        double b = 0;
        if (!c.real(10, v.x)) break;
        c.real(20, v.y);
        if (c.code() == 42) c.real(42, b);
        ps.push_back(v);
        bulges.push_back(b);
    }
    if (ps.empty()) return;
    render::expandbulges(ps, snap, true, &bulges, nullptr);
    for (const Tmypoi &v : ps) loop.push_back({v.x, v.y, v.curve});
}

// A spline edge: degree, knots, control points (weights ignored), or fit points alone.
void splineEdge(HatchCursor &c, std::vector<Pt> &piece) {
    int32_t degree = 3, rational = 0, periodic = 0, nKnots = 0, nControl = 0;
    c.integer(94, degree);
    c.integer(73, rational);
    c.integer(74, periodic);
    c.integer(95, nKnots);
    c.integer(96, nControl);
    std::vector<double> knots;
    for (int32_t i = 0; i < nKnots && i < kMaxItems; ++i) {
        double k;
        if (!c.real(40, k)) break;
        knots.push_back(k);
    }
    std::vector<render::Point3> control;
    for (int32_t i = 0; i < nControl && i < kMaxItems; ++i) {
        render::Point3 q;
        if (!c.real(10, q.x)) break;
        c.real(20, q.y);
        double w;
        if (c.code() == 42) c.real(42, w);
        control.push_back(q);
    }
    std::vector<render::Point3> fit;
    int32_t nFit = 0;
    if (c.integer(97, nFit)) {
        for (int32_t i = 0; i < nFit && i < kMaxItems; ++i) {
            render::Point3 q;
            if (!c.real(11, q.x)) break;
            c.real(21, q.y);
            fit.push_back(q);
        }
    }
    double t;
    for (int code : {12, 22, 13, 23})
        if (c.code() == code) c.real(code, t);
    if (control.size() >= 2 && degree >= 1 && degree <= render::kMaxSplineDegree) {
        std::vector<render::Point3> out;
        const int res = std::max<int>(render::kCurveSamples,
                                      static_cast<int>(std::min<std::size_t>(control.size(), 2000)) * 8);
        render::samplespline(static_cast<int>(control.size()) - 1, degree + 1, control, res, out,
                             knots);
        for (std::size_t i = 0; i < out.size(); ++i) piece.push_back({out[i].x, out[i].y, i > 0});
    } else {
        // Without a curve to evaluate, the points it passes through.
        const auto &pts = fit.size() >= 2 ? fit : control;
        for (std::size_t i = 0; i < pts.size(); ++i) piece.push_back({pts[i].x, pts[i].y, false});
    }
}

// An edge boundary path: lines, arcs, elliptic arcs and splines, chained into one loop.
void edgeLoop(HatchCursor &c, std::vector<Pt> &loop) {
    int32_t edges = 0;
    c.integer(93, edges);
    for (int32_t i = 0; i < edges && i < kMaxItems && !c.atEnd(); ++i) {
        int32_t type = 0;
        if (!c.integer(72, type)) break;
        std::vector<Pt> piece;
        switch (type) {
        case 1: {
            Pt a, b;
            c.real(10, a.x);
            c.real(20, a.y);
            c.real(11, b.x);
            c.real(21, b.y);
            piece = {a, b};
            break;
        }
        case 2: {
            double cx = 0, cy = 0, r = 0, s = 0, e = 360;
            int32_t ccw = 1;
            c.real(10, cx);
            c.real(20, cy);
            c.real(40, r);
            c.real(50, s);
            c.real(51, e);
            c.integer(73, ccw);
            if (std::fabs(r) < kBeyondAnyDrawing) arcPoints(cx, cy, r, s, e, ccw != 0, piece);
            break;
        }
        case 3: {
            double cx = 0, cy = 0, mx = 1, my = 0, ratio = 1, s = 0, e = 360;
            int32_t ccw = 1;
            c.real(10, cx);
            c.real(20, cy);
            c.real(11, mx);
            c.real(21, my);
            c.real(40, ratio);
            c.real(50, s);
            c.real(51, e);
            c.integer(73, ccw);
            if (std::hypot(mx, my) < kBeyondAnyDrawing)
                ellipsePoints(cx, cy, mx, my, ratio, s, e, ccw != 0, piece);
            break;
        }
        case 4:
            splineEdge(c, piece);
            break;
        default:
            return;
        }
        appendPiece(loop, piece);
    }
}

// The lines of a hatch pattern inside its loops (even-odd), as pairs of points.
void patternLines(const std::vector<std::vector<Pt>> &loops,
                  const std::vector<std::vector<double>> &defs, std::vector<Tmypoi> &out) {
    double minx = INFINITY, miny = INFINITY, maxx = -INFINITY, maxy = -INFINITY;
    std::size_t edges = 0;
    for (const auto &l : loops) {
        for (const Pt &q : l) {
            minx = std::min(minx, q.x);
            maxx = std::max(maxx, q.x);
            miny = std::min(miny, q.y);
            maxy = std::max(maxy, q.y);
        }
        edges += l.size();
    }
    if (!(minx <= maxx && miny <= maxy)) return;
    std::vector<double> cuts;
    for (const auto &def : defs) {
        // angle, base x, base y, offset x, offset y, dashes...
        if (def.size() < 5) continue;
        const double a = def[0] * M_PI / 180;
        const double ux = std::cos(a), uy = std::sin(a), nx = -uy, ny = ux;
        const double bx = def[1], by = def[2], ox = def[3], oy = def[4];
        const double spacing = ox * nx + oy * ny; // between neighbouring lines
        const double shift = ox * ux + oy * uy;   // of the dashes from one line to the next
        if (!(std::fabs(spacing) > 1e-12)) continue;
        double lo = INFINITY, hi = -INFINITY;
        for (double cx : {minx, maxx})
            for (double cy : {miny, maxy}) {
                const double d = ((cx - bx) * nx + (cy - by) * ny) / spacing;
                lo = std::min(lo, d);
                hi = std::max(hi, d);
            }
        const double k0 = std::floor(lo), k1 = std::ceil(hi);
        // A pattern far too fine for its area is not drawn line by line.
        if (!(k1 - k0 < 20000) || (k1 - k0) * static_cast<double>(edges) > 2e8) continue;
        double period = 0;
        for (std::size_t i = 5; i < def.size(); ++i) period += std::fabs(def[i]);
        for (double k = k0; k <= k1; ++k) {
            const double px = bx + k * ox, py = by + k * oy; // a point of line k, dash start
            cuts.clear();
            for (const auto &l : loops)
                for (std::size_t i = 0; i < l.size(); ++i) {
                    const Pt &p0 = l[i];
                    const Pt &p1 = l[(i + 1) % l.size()];
                    const double d0 = (p0.x - px) * nx + (p0.y - py) * ny;
                    const double d1 = (p1.x - px) * nx + (p1.y - py) * ny;
                    if ((d0 > 0) == (d1 > 0)) continue; // half-open: a vertex counts once
                    const double t = d0 / (d0 - d1);
                    const double x = p0.x + t * (p1.x - p0.x), y = p0.y + t * (p1.y - p0.y);
                    cuts.push_back((x - px) * ux + (y - py) * uy);
                }
            std::sort(cuts.begin(), cuts.end());
            const double phase = period > 0 ? std::fmod(k * shift, period) : 0;
            auto emit = [&](double s0, double s1) {
                Tmypoi a, b;
                a.x = px + s0 * ux;
                a.y = py + s0 * uy;
                b.x = px + s1 * ux;
                b.y = py + s1 * uy;
                out.push_back(a);
                out.push_back(b);
            };
            for (std::size_t i = 0; i + 1 < cuts.size(); i += 2) {
                const double s0 = cuts[i], s1 = cuts[i + 1];
                if (period <= 0) {
                    emit(s0, s1);
                } else {
                    // Dashes repeat every period from the line's own start, shifted per line.
                    double t = phase + std::floor((s0 - phase) / period) * period;
                    for (; t < s1 && out.size() < 2 * kMaxPatternSegments;) {
                        for (std::size_t j = 5; j < def.size() && t < s1; ++j) {
                            const double len = def[j];
                            const double e = t + std::fabs(len);
                            if (len >= 0 && e > s0) emit(std::max(t, s0), std::min(e, s1));
                            t = e;
                        }
                    }
                }
                if (out.size() >= 2 * kMaxPatternSegments) {
                    out.clear(); // beyond the bound: none rather than a part
                    return;
                }
            }
        }
    }
}

} // namespace

void readHatch(Pass &p, EntityBuild &e) {
    std::vector<HatchGroup> groups;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        if (c != 0) groups.push_back({c, v});
    });
    HatchCursor c(groups);
    double elevation = 0;
    int32_t solid = 0, loopsCount = 0;
    // The header up to the boundary paths.
    while (!c.atEnd() && c.code() != 91) {
        if (c.code() == 30) c.real(30, elevation);
        else if (c.code() == 70) c.integer(70, solid);
        else c.skip();
    }
    c.integer(91, loopsCount);
    std::vector<std::vector<Pt>> loops;
    for (int32_t i = 0; i < loopsCount && i < kMaxLoops && !c.atEnd(); ++i) {
        while (!c.atEnd() && c.code() != 92 && c.code() != 75) c.skip();
        int32_t flags = 0;
        if (!c.integer(92, flags)) break;
        std::vector<Pt> loop;
        if (flags & 2) polylineLoop(c, loop);
        else edgeLoop(c, loop);
        // The source objects of an associative hatch.
        int32_t sources = 0;
        if (c.integer(97, sources))
            for (int32_t k = 0; k < sources && c.code() == 330; ++k) c.skip();
        // A boundary is held to the coordinate limit the other readers apply point by point;
        // a loop reaching beyond it (or made of values that are no numbers) is left out whole.
        const bool sensible = std::all_of(loop.begin(), loop.end(), [](const Pt &q) {
            return std::fabs(q.x) <= kBeyondAnyDrawing && std::fabs(q.y) <= kBeyondAnyDrawing;
        });
        if (!sensible) {
            e.rec.readIssues |= document::kIssueAbsurdValue;
            continue;
        }
        if (loop.size() >= 2) loops.push_back(std::move(loop));
    }
    // The pattern: its lines, each an angle, a base point, an offset and dashes.
    std::vector<std::vector<double>> defs;
    bool gradient = false;
    while (!c.atEnd()) {
        int32_t n = 0;
        if (c.code() == 78 && c.integer(78, n)) {
            for (int32_t i = 0; i < n && i < 1000 && !c.atEnd(); ++i) {
                std::vector<double> def(5, 0.0);
                if (!c.real(53, def[0])) break;
                c.real(43, def[1]);
                c.real(44, def[2]);
                c.real(45, def[3]);
                c.real(46, def[4]);
                int32_t dashes = 0;
                c.integer(79, dashes);
                for (int32_t k = 0; k < dashes && k < 1000; ++k) {
                    double d;
                    if (!c.real(49, d)) break;
                    def.push_back(d);
                }
                defs.push_back(std::move(def));
            }
        } else if (c.code() == 450) {
            int32_t g = 0;
            c.integer(450, g);
            gradient = g != 0;
        } else if (c.code() == 98) {
            break; // the seed points end it
        } else {
            c.skip();
        }
    }

    // The loops become one vertex list: each loop closed, the step to the next one a jump.
    for (const auto &loop : loops) {
        const bool first = e.geom.ps.empty();
        for (std::size_t i = 0; i <= loop.size(); ++i) {
            const Pt &q = loop[i % loop.size()];
            if (i == loop.size() && q.x == loop.back().x && q.y == loop.back().y) break;
            Tmypoi *v = e.addVertex(p, q.x, 0);
            if (!v) break;
            v->y = q.y;
            v->z = elevation;
            v->curve = i < loop.size() && q.curve;
            if (i == 0 && !first) v->moveonly = true;
        }
    }
    const bool isSolid = (solid & 1) != 0 || gradient;
    if (!isSolid) {
        patternLines(loops, defs, e.geom.pattern);
        for (Tmypoi &q : e.geom.pattern) q.z = elevation;
    }
    // The boundary lies in the hatch's object system at its elevation.
    e.objectToWorld();
    // Each loop closes itself; the entity as a whole does not return to its start.
    e.rec.isclosed = false;
    e.rec.issolid = true;
    e.rec.patternfill = !isSolid;
}

void readWipeout(Pass &p, EntityBuild &e) {
    e.rec.isclosed = false;
    double ix = 0, iy = 0, iz = 0, ux = 0, uy = 0, uz = 0, vx = 0, vy = 0, vz = 0;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10: e.coordinate(v, ix); break;
        case 20: e.coordinate(v, iy); break;
        case 30: e.coordinate(v, iz); break;
        case 11: e.coordinate(v, ux); break;
        case 21: e.coordinate(v, uy); break;
        case 31: e.coordinate(v, uz); break;
        case 12: e.coordinate(v, vx); break;
        case 22: e.coordinate(v, vy); break;
        case 32: e.coordinate(v, vz); break;
        case 14: e.newVertex(p, v); break;
        case 24: e.setLastY(p, v); break;
        case 42:
            e.setLastBulge(v);
            break;
        default: break;
        }
    });
    (void)iz;
    (void)uz;
    (void)vz;
    // Clip vertices are in pixel coordinates of the image; map them into the drawing.
    for (Tmypoi &q : e.geom.ps) {
        const double px = q.x, py = q.y;
        q.x = px * ux - py * vx + ix + ux / 2 + vx / 2;
        q.y = px * uy - py * vy + iy + uy / 2 + vy / 2;
    }
    e.rec.iswipeout = true;
}

void readViewport(Pass &p, EntityBuild &e) {
    e.rec.isviewport = true;
    int xdataCount = 0;
    int32_t l10 = 0, l20 = 0, l40 = 0, l41 = 0, lHeight = 0, lPanX = 0, lPanY = 0;
    tpoly &r = e.rec;
    document::EntityDetail &dt = r.detailForWrite();
    CommonGroups common;
    common.ltname = common.lineweight = common.color = false;
    readEntityGroups(p, e, common, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10:
            if (e.coordinate(v, r.cx)) l10 = p.valueLine();
            break;
        case 20:
            if (e.coordinate(v, r.cy)) l20 = p.valueLine();
            break;
        case 30:
            e.coordinate(v, r.cz);
            break;
        case 40:
            if (e.coordinate(v, dt.widx)) l40 = p.valueLine();
            break;
        case 41:
            if (e.coordinate(v, dt.widy)) l41 = p.valueLine();
            break;
        case 68: {
            // Status 0: the viewport is switched off and shows nothing.
            int32_t status;
            if (toInteger(v, status) && status == 0) r.invisible = true;
            break;
        }
        case 69:
            if (toInteger(v, dt.viewid)) {
                if (dt.viewid > p.d.maxviewportid) p.d.maxviewportid = dt.viewid;
                if (dt.viewid > e.maxViewId) e.maxViewId = dt.viewid;
            }
            break;
        case 45:
            if (e.coordinate(v, dt.viewheight)) lHeight = p.valueLine();
            break;
        case 12:
            if (e.coordinate(v, dt.panx)) lPanX = p.valueLine();
            break;
        case 22:
            if (e.coordinate(v, dt.pany)) lPanY = p.valueLine();
            break;
        case 1040:
            // R12 keeps the view in extended data: twist, height, centre x, centre y.
            ++xdataCount;
            if (xdataCount == 2) {
                if (e.coordinate(v, dt.viewheight)) lHeight = p.valueLine();
            } else if (xdataCount == 3) {
                if (e.coordinate(v, dt.panx)) lPanX = p.valueLine();
            } else if (xdataCount == 4) {
                if (e.coordinate(v, dt.pany)) lPanY = p.valueLine();
            }
            break;
        default:
            break;
        }
    });
    if (dt.viewid == 1) return;
    if (!e.reserveFor(p, 8)) return;
    auto rel = [&](int32_t line) { return line ? e.rel(line) : 0; };
    const double w = dt.widx, h = dt.widy;
    auto add = [&](double x, double y, int32_t lx) -> Tmypoi & {
        Tmypoi &v = e.geom.ps.emplace_back();
        v.x = x;
        v.y = y;
        v.z = r.cz;
        v.linex = rel(lx);
        return v;
    };
    add(r.cx - w / 2, r.cy - h / 2, l10);
    add(r.cx + w / 2, r.cy - h / 2, l20);
    add(r.cx + w / 2, r.cy + h / 2, l40);
    add(r.cx - w / 2, r.cy + h / 2, l41);
    add(r.cx - w / 2, r.cy - h / 2, 0);
    Tmypoi &pan = add(r.cx, r.cy, lPanX);
    e.geom.setLiney(pan, rel(lPanY));
    pan.donotdraw = true;
    add(r.cx, r.cy + h / 4, lHeight).donotdraw = true;
    add(r.cx, r.cy - h / 4, lHeight).donotdraw = true;
}

} // namespace quentar::dxf
