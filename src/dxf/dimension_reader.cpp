// Reader of DIMENSION: its extension and dimension lines from the definition points, and what
// the renderer needs to draw its picture: the block the file keeps it in, its style, its text.
#include "document/number_text.h"
#include "dxf/pass.h"

#include <algorithm>
#include <cmath>

namespace quentar::dxf {

namespace {

struct P3 {
    double x = 0, y = 0, z = 0;
};

// Intersection of segments a1-a2 and b1-b2 (x, y); false when parallel or not crossing.
bool segmentIntersection(P3 a1, P3 a2, P3 b1, P3 b2, P3 &out) {
    const double rx = a2.x - a1.x, ry = a2.y - a1.y;
    const double sx = b2.x - b1.x, sy = b2.y - b1.y;
    const double den = rx * sy - ry * sx;
    if (den == 0 || !std::isfinite(den)) return false;
    const double qx = b1.x - a1.x, qy = b1.y - a1.y;
    const double t = (qx * sy - qy * sx) / den;
    const double u = (qx * ry - qy * rx) / den;
    if (t < 0 || t > 1 || u < 0 || u > 1) return false;
    out.x = a1.x + t * rx;
    out.y = a1.y + t * ry;
    return true;
}

} // namespace

void readDimension(Pass &p, EntityBuild &e) {
    tpoly &r = e.rec;
    document::EntityDetail &dt = r.detailForWrite();
    dt.addtextmode = 0;
    dt.actualmeasurement = -1;
    dt.rotation = 0;
    int32_t attachment = 5;
    DimStyleOverrides overrides;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        overrides.take(c, v, r);
        switch (c) {
        case 70:
            toInteger(v, dt.dimtyp);
            break;
        case 1:
            dt.textstr.assign(v);
            break;
        case 2:
            dt.dimblock.assign(v);
            break;
        case 3:
            dt.stylename.assign(v);
            break;
        case 50:
            toReal(v, dt.rotation);
            break;
        case 53:
            toReal(v, dt.dimtextrotate);
            break;
        case 71:
            toInteger(v, attachment);
            break;
        case 42: {
            double m;
            if (toReal(v, m)) {
                dt.messuaretxt = document::fixedText(m, 4);
                dt.actualmeasurement = m;
            } else {
                dt.messuaretxt.assign(v);
            }
            break;
        }
        case 10: e.coordinate(v, r.cx); break;
        case 20: e.coordinate(v, r.cy); break;
        case 30: e.coordinate(v, r.cz); break;
        case 11: e.coordinate(v, dt.cx1); break;
        case 21: e.coordinate(v, dt.cy1); break;
        case 31: e.coordinate(v, dt.cz1); break;
        case 13: e.coordinate(v, dt.cx3); break;
        case 23: e.coordinate(v, dt.cy3); break;
        case 33: e.coordinate(v, dt.cz3); break;
        case 14: e.coordinate(v, dt.cx4); break;
        case 24: e.coordinate(v, dt.cy4); break;
        case 34: e.coordinate(v, dt.cz4); break;
        case 15: e.coordinate(v, dt.cx5); break;
        case 25: e.coordinate(v, dt.cy5); break;
        case 35: e.coordinate(v, dt.cz5); break;
        case 16: e.coordinate(v, dt.cx6); break;
        case 26: e.coordinate(v, dt.cy6); break;
        case 36: e.coordinate(v, dt.cz6); break;
        default: break;
        }
    });

    if (attachment < 1 || attachment > 9) attachment = 5;
    r.halign = static_cast<int8_t>((attachment - 1) % 3);
    r.valign = static_cast<int8_t>(3 - (attachment - 1) / 3);
    const P3 p10{r.cx, r.cy, r.cz}, p13{dt.cx3, dt.cy3, dt.cz3}, p14{dt.cx4, dt.cy4, dt.cz4},
        p15{dt.cx5, dt.cy5, dt.cz5};
    auto &ps = e.geom.ps;
    auto add = [&](P3 q) -> Tmypoi * {
        if (p.verticesLeft <= 0) return nullptr;
        --p.verticesLeft;
        Tmypoi &v = ps.emplace_back();
        v.x = q.x;
        v.y = q.y;
        v.z = q.z;
        return &v;
    };
    auto markLast = [&] {
        if (!ps.empty()) ps.back().doadddimtexthere = true;
    };
    const int type = dt.dimtyp & 7;

    if (type == 2 || type == 5) {
        // Angular: legs from P15 towards P13 and P14, the arc through P10.
        const double a13 = std::atan2(p13.y - p15.y, p13.x - p15.x);
        const double a14 = std::atan2(p14.y - p15.y, p14.x - p15.x);
        const double a10 = std::atan2(p10.y - p15.y, p10.x - p15.x);
        r.radius = std::hypot(p10.x - p15.x, p10.y - p15.y);
        double from, to;
        const bool inside = (a13 <= a10 && a10 <= a14) || (a14 <= a10 && a10 <= a13);
        if (inside) {
            add(p13);
            from = a13;
            to = a14;
        } else {
            // The arc lies on P10's side, outside the sector between the legs: sweep from the P14
            // leg to the P13 leg the other way round, never more than a full turn.
            add(p14);
            from = a14;
            to = a13;
            if (from < to) from += 2 * M_PI;
            else to += 2 * M_PI;
            dt.addtextmode = 3;
        }
        if (e.reserveFor(p, render::kCurveSamples)) {
            for (int i = 0; i <= 100; ++i) {
                const double a = from + i * (to - from) / 100;
                Tmypoi &v = ps.emplace_back();
                v.x = p15.x + r.radius * std::cos(a);
                v.y = p15.y + r.radius * std::sin(a);
                v.z = r.cz;
            }
        }
        add(inside ? p14 : p13);
        markLast();
    } else if (type == 3 || type == 4) {
        add(p15);
        Tmypoi *second = add(p10);
        if (type == 3) {
            if (second) second->botharrows = 3;
            dt.addtextmode = 1;
        } else {
            r.arrowhead = true;
            dt.addtextmode = 2;
        }
        markLast();
    } else if (type == 6) {
        // Ordinate: P13 the feature, P14 the leader end.
        add(p13);
        if (std::fabs(p14.y - p13.y) >= std::fabs(p14.x - p13.x)) {
            const double s = p14.y > p13.y ? -1 : 1;
            add({p13.x, p14.y + s * 0.8, p13.z});
            if (Tmypoi *t = add({p14.x, p14.y + s * 0.4, p14.z})) t->doadddimtexthere = true;
            dt.dimtextrotate = 90;
        } else {
            const double s = p14.x > p13.x ? -1 : 1;
            add({p14.x + s * 0.8, p13.y, p13.z});
            if (Tmypoi *t = add({p14.x + s * 0.4, p14.y, p14.z})) t->doadddimtexthere = true;
        }
        add(p14);
    } else {
        // Linear and aligned: the dimension line through P10, along P13-P14 for an aligned
        // dimension and at its rotation for a rotated (horizontal, vertical) one; the extension
        // lines perpendicular to it, their feet where they meet it.
        double dx = p13.x - p14.x, dy = p13.y - p14.y;
        if (type == 0) {
            const double len = std::max(std::hypot(dx, dy), 1.0);
            const double a = dt.rotation * M_PI / 180;
            dx = std::cos(a) * len;
            dy = std::sin(a) * len;
        }
        const P3 dl1{p10.x - 1000 * dx, p10.y - 1000 * dy, 0}, dl2{p10.x + 1000 * dx,
                                                                   p10.y + 1000 * dy, 0};
        auto foot = [&](P3 q) {
            P3 f;
            const P3 e1{q.x - 1000 * dy, q.y + 1000 * dx, 0}, e2{q.x + 1000 * dy, q.y - 1000 * dx, 0};
            if (!segmentIntersection(dl1, dl2, e1, e2, f)) f = q;
            f.z = r.cz;
            return f;
        };
        const P3 f13 = foot(p13), f14 = foot(p14);
        add(p13);
        add(f13);
        if (Tmypoi *v = add(p14)) v->moveonly = true;
        add(f14);
        if (Tmypoi *v = add(f13)) v->moveonly = true;
        if (Tmypoi *v = add(f14)) {
            v->botharrows = 3;
            v->doadddimtexthere = true;
        }
    }
}

} // namespace quentar::dxf
