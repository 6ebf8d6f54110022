// Readers of HATCH, WIPEOUT and VIEWPORT: areas and frames that become one vertex outline each.
#include "dxf/pass.h"

namespace quentar::dxf {

void readHatch(Pass &p, EntityBuild &e) {
    e.rec.isclosed = true;
    bool boundaryDone = false;
    double elevation = 0;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10:
        case 11:
            if (!boundaryDone) e.newVertex(p, v, false);
            break;
        case 20:
        case 21:
            if (!boundaryDone) e.setLastY(p, v, false);
            break;
        case 30:
        case 31:
            if (!boundaryDone) e.setLastZ(p, v, false);
            break;
        case 42:
            e.setLastBulge(v);
            break;
        case 91:
            // The boundary paths follow: drop the elevation point and anything before it.
            if (!e.geom.ps.empty()) elevation = e.geom.ps.front().z;
            p.verticesLeft += static_cast<int64_t>(e.geom.ps.size());
            e.geom.ps.clear();
            e.bulges.clear();
            break;
        case 98:
            boundaryDone = true;
            break;
        default:
            break;
        }
    });
    expandEntityBulges(p, e);
    // The boundary lies in the hatch's object system at the elevation of its first point.
    if (!geometry::isDefaultExtrusion(e.extrusion)) {
        for (Tmypoi &q : e.geom.ps) q.z = elevation;
        for (Tmypoi &q : e.geom.snap) q.z = elevation;
        e.objectToWorld();
    }
    e.rec.issolid = true;
    e.rec.patternfill = true;
}

void readWipeout(Pass &p, EntityBuild &e) {
    e.rec.isclosed = false;
    double ix = 0, iy = 0, iz = 0, ux = 0, uy = 0, uz = 0, vx = 0, vy = 0, vz = 0;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10: toReal(v, ix); break;
        case 20: toReal(v, iy); break;
        case 30: toReal(v, iz); break;
        case 11: toReal(v, ux); break;
        case 21: toReal(v, uy); break;
        case 31: toReal(v, uz); break;
        case 12: toReal(v, vx); break;
        case 22: toReal(v, vy); break;
        case 32: toReal(v, vz); break;
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
    CommonGroups common;
    common.ltname = common.lineweight = common.color = false;
    readEntityGroups(p, e, common, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10:
            if (toReal(v, r.cx)) l10 = p.valueLine();
            break;
        case 20:
            if (toReal(v, r.cy)) l20 = p.valueLine();
            break;
        case 30:
            toReal(v, r.cz);
            break;
        case 40:
            if (toReal(v, r.widx)) l40 = p.valueLine();
            break;
        case 41:
            if (toReal(v, r.widy)) l41 = p.valueLine();
            break;
        case 69:
            if (toInteger(v, r.viewid)) {
                if (r.viewid > p.d.maxviewportid) p.d.maxviewportid = r.viewid;
                if (r.viewid > e.maxViewId) e.maxViewId = r.viewid;
            }
            break;
        case 45:
            if (toReal(v, r.viewheight)) lHeight = p.valueLine();
            break;
        case 12:
            if (toReal(v, r.panx)) lPanX = p.valueLine();
            break;
        case 22:
            if (toReal(v, r.pany)) lPanY = p.valueLine();
            break;
        case 1040:
            // R12 keeps the view in extended data: twist, height, centre x, centre y.
            ++xdataCount;
            if (xdataCount == 2) {
                if (toReal(v, r.viewheight)) lHeight = p.valueLine();
            } else if (xdataCount == 3) {
                if (toReal(v, r.panx)) lPanX = p.valueLine();
            } else if (xdataCount == 4) {
                if (toReal(v, r.pany)) lPanY = p.valueLine();
            }
            break;
        default:
            break;
        }
    });
    if (r.viewid == 1) return;
    if (!e.reserveFor(p, 8)) return;
    auto rel = [&](int32_t line) { return line ? e.rel(line) : 0; };
    const double w = r.widx, h = r.widy;
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
    pan.liney = rel(lPanY);
    pan.donotdraw = true;
    add(r.cx, r.cy + h / 4, lHeight).donotdraw = true;
    add(r.cx, r.cy - h / 4, lHeight).donotdraw = true;
}

} // namespace quentar::dxf
