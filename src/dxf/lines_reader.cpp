// Readers of the contour entities: LINE, LWPOLYLINE, LEADER, RAY, XLINE, POLYLINE, ARC, CIRCLE.
#include "dxf/pass.h"

#include <cmath>

namespace quentar::dxf {

namespace {

// Group 43, the constant width. Most polylines have none or 0: the detail is made only for a
// width that is not 0 (or that replaces one already read).
void readConstantWidth(document::tpoly &r, std::string_view v) {
    double width = r.detail().thewid;
    if (toReal(v, width)) r.setwidonce = true;
    if (!(width == r.detail().thewid)) r.detailForWrite().thewid = width;
}

// What the VERTEX flags of a POLYLINE make of its vertices. A spline-fit polyline (header
// 70 & 4) lists the points of its curve (vertex 70 & 8) and the frame of control points the curve
// was fitted to (vertex 70 & 16): CAD programs draw the curve and hide the frame, so the frame's
// vertices stay as construction points (kept for editing, never drawn nor measured). A
// curve-fit polyline's extra vertices (70 & 1) are its curve and stay. The face records of a
// polyface mesh (70 & 128 without 64) hold vertex indices, not points.
void markPolylineVertices(EntityBuild &e, int32_t flags, const std::vector<int32_t> &vertexFlags) {
    constexpr int32_t kSplineFit = 4, kMesh = 16, kPolyface = 64;
    constexpr int32_t kSplineVertex = 8, kFrameControl = 16, kMeshVertex = 64, kFace = 128;
    e.rec.mesh = (flags & (kMesh | kPolyface)) != 0;
    auto &ps = e.geom.ps;
    const std::size_t n = std::min(ps.size(), vertexFlags.size());
    bool hidden = false;
    for (std::size_t i = 0; i < n; ++i) {
        const int32_t f = vertexFlags[i];
        if ((flags & kSplineFit) && (f & kFrameControl)) {
            ps[i].donotdraw = true;
            hidden = true;
        } else if ((flags & kSplineFit) && (f & kSplineVertex)) {
            ps[i].curve = true;
        } else if ((flags & kPolyface) && (f & kFace) && !(f & kMeshVertex)) {
            ps[i].donotdraw = true;
            hidden = true;
        }
    }
    // A bulge leading to or from a hidden vertex would bend a segment that is never drawn.
    if (hidden)
        for (std::size_t i = 0; i < e.bulges.size() && i < ps.size(); ++i)
            if (ps[i].donotdraw || (i + 1 < ps.size() && ps[i + 1].donotdraw)) e.bulges[i] = 0;
}

} // namespace

void expandEntityBulges(Pass &p, EntityBuild &e) {
    auto &ps = e.geom.ps;
    // Budget: every bulged segment may add 50 points; drop the expansion when the read is full.
    int64_t bulged = 0;
    for (double b : e.bulges)
        if (b != 0) ++bulged;
    if (e.rec.isclosed && !ps.empty()) ++bulged;
    if (!e.reserveFor(p, bulged * render::kBulgePoints + 1)) {
        if (e.rec.isclosed && !ps.empty() && p.verticesLeft > 0) {
            Tmypoi first = ps.front();
            first.donotdraw = false;
            ps.push_back(first);
            if (!e.geom.widths.empty()) e.geom.setWidth(ps.size() - 1, e.geom.widths.front());
            --p.verticesLeft;
        }
        return;
    }
    render::expandbulges(ps, e.geom.snap, e.rec.isclosed, e.bulges.empty() ? nullptr : &e.bulges,
                         &e.rec.curvearea, &e.geom.widths);
}

void readLineFamily(Pass &p, EntityBuild &e, std::string_view keyword) {
    e.rec.xline = keyword == "XLINE";
    e.rec.ray = keyword == "RAY";
    e.rec.arrowhead = keyword == "LEADER";
    e.widthGiven = false;
    // LINE, RAY and XLINE have two points of their own; LWPOLYLINE and LEADER a vertex list.
    const bool twoPoints = keyword == "LINE" || e.rec.xline || e.rec.ray;
    const bool lw = keyword == "LWPOLYLINE";
    const bool leader = keyword == "LEADER";
    PointSlot slots[2];
    double elevation = 0;
    DimStyleOverrides overrides;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        if (twoPoints && takeCoordinate(p, e, slots, 10, 2, c, v)) return;
        if (leader) overrides.take(c, v, e.rec);
        switch (c) {
        case 10:
        case 11:
            if (Tmypoi *pt = e.newVertex(p, v)) e.takeWidth(p, *pt);
            break;
        case 20:
        case 21:
            e.setLastY(p, v);
            break;
        case 30:
        case 31:
            e.setLastZ(p, v);
            break;
        case 38:
            toReal(v, elevation);
            break;
        case 42:
            e.setLastBulge(v);
            break;
        case 40:
        case 41:
            // A leader's 40 and 41 are the size of its annotation, not a line width.
            if (!leader && toReal(v, p.currentWidth)) e.widthGiven = true;
            break;
        case 43:
            if (!leader) readConstantWidth(e.rec, v);
            break;
        case 70: {
            int32_t f;
            if (!leader && toInteger(v, f)) e.rec.isclosed = (f & 1) != 0 || (f & 32) != 0;
            break;
        }
        case 71:
            e.rec.arrowhead = v == "1";
            break;
        case 3:
            if (leader) e.rec.detailForWrite().stylename.assign(v);
            break;
        default:
            break;
        }
    });
    if (twoPoints) {
        addSlots(p, e, slots, 2, true);
        for (Tmypoi &pt : e.geom.ps) e.takeWidth(p, pt);
    }
    expandEntityBulges(p, e);
    auto &ps = e.geom.ps;
    if (lw && !geometry::isDefaultExtrusion(e.extrusion)) {
        // A light-weight polyline lies in its object system at its elevation.
        for (Tmypoi &pt : ps) pt.z = elevation;
        for (Tmypoi &pt : e.geom.snap) pt.z = elevation;
        e.objectToWorld();
    }
    if (ps.size() >= 2 && (e.rec.xline || e.rec.ray)) {
        const Tmypoi b = ps[0], dir = ps[1];
        if (e.rec.xline) {
            ps[0].x = b.x - 10000 * dir.x;
            ps[0].y = b.y - 10000 * dir.y;
            ps[0].z = b.z - 10000 * dir.z;
        }
        ps[1].x = b.x + 10000 * dir.x;
        ps[1].y = b.y + 10000 * dir.y;
        ps[1].z = b.z + 10000 * dir.z;
    }
}

void readPolyline(Pass &p, EntityBuild &e) {
    bool inVertex = false;
    e.widthGiven = false;
    e.rec.isclosed = false;
    int32_t flags = 0;
    double elevation = 0;
    // Vertex flags (group 70 of a VERTEX) by vertex index, and the index of the vertex the
    // current VERTEX record made (-1 while it made none).
    std::vector<int32_t> vertexFlags;
    int64_t recordVertex = -1;
    readEntityGroups(p, e, {}, true, [&](int c, std::string_view v) {
        switch (c) {
        case 0:
            inVertex = v == "VERTEX";
            recordVertex = -1;
            break;
        case 70: {
            int32_t f;
            if (!toInteger(v, f)) break;
            if (!inVertex) {
                e.rec.isclosed = (f & 1) != 0 || (f & 32) != 0;
                flags = f;
            } else if (recordVertex >= 0) {
                vertexFlags.resize(e.geom.ps.size(), 0);
                vertexFlags[static_cast<std::size_t>(recordVertex)] = f;
            }
            break;
        }
        case 40:
        case 41:
            if (toReal(v, p.currentWidth)) e.widthGiven = true;
            break;
        case 43:
            readConstantWidth(e.rec, v);
            break;
        case 10:
            if (inVertex) {
                if (Tmypoi *pt = e.newVertex(p, v)) {
                    e.takeWidth(p, *pt);
                    recordVertex = static_cast<int64_t>(e.geom.ps.size()) - 1;
                }
            }
            break;
        case 20:
            if (inVertex) e.setLastY(p, v);
            break;
        case 30:
            if (inVertex)
                e.setLastZ(p, v);
            else
                toReal(v, elevation);
            break;
        case 42:
            if (inVertex) e.setLastBulge(v);
            break;
        default:
            break;
        }
    });
    markPolylineVertices(e, flags, vertexFlags);
    expandEntityBulges(p, e);
    // A 2D polyline lies in its object system at the elevation of its header; 3D polylines and
    // meshes are given in the world.
    constexpr int32_t k3dPolyline = 8, kMesh = 16, kPolyface = 64;
    if ((flags & (k3dPolyline | kMesh | kPolyface)) == 0 &&
        !geometry::isDefaultExtrusion(e.extrusion)) {
        for (Tmypoi &pt : e.geom.ps) pt.z = elevation;
        for (Tmypoi &pt : e.geom.snap) pt.z = elevation;
        e.objectToWorld();
    }
}

void readArcCircle(Pass &p, EntityBuild &e, bool circle) {
    double cx = 0, cy = 0, cz = 0, start = 0, end = 0;
    int32_t line10 = 0, line20 = 0, line30 = 0;
    e.rec.isclosed = false;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        double x;
        switch (c) {
        case 10:
            if (toReal(v, x)) {
                cx = e.rec.cx = x;
                line10 = p.valueLine();
            }
            break;
        case 20:
            if (toReal(v, x)) {
                cy = e.rec.cy = x;
                line20 = p.valueLine();
            }
            break;
        case 30:
            if (toReal(v, x)) {
                cz = e.rec.cz = x;
                line30 = p.valueLine();
            }
            break;
        case 40:
            if (toReal(v, e.rec.radius)) e.rec.radiuslinenr = p.valueLine();
            break;
        case 50:
            if (toReal(v, start)) e.rec.winkel1linenr = p.valueLine();
            break;
        case 51:
            if (toReal(v, end)) e.rec.winkel2linenr = p.valueLine();
            break;
        default:
            break;
        }
    });
    // The centre is a snap point once its x was read, whatever order its groups came in.
    if (line10) {
        Tmypoi &s = e.addSnap(cx);
        s.y = cy;
        s.z = cz;
    }
    const double r = e.rec.radius;
    // A negative or astronomic radius, or angles of a million turns, draw nothing sensible.
    constexpr double kMaxAngle = 1e6; // degrees
    if (!(r >= 0 && r <= kBeyondAnyDrawing) || !(std::fabs(start) <= kMaxAngle) ||
        !(std::fabs(end) <= kMaxAngle) || !(std::fabs(cx) <= kBeyondAnyDrawing) ||
        !(std::fabs(cy) <= kBeyondAnyDrawing) || !(std::fabs(cz) <= kBeyondAnyDrawing)) {
        e.rec.readIssues |= document::kIssueAbsurdValue;
        e.objectToWorld();
        return;
    }
    const int hidden = circle ? 1 : 3;
    if (!e.reserveFor(p, hidden + render::kCurveSamples)) {
        e.objectToWorld();
        return;
    }
    auto &ps = e.geom.ps;
    ps.reserve(static_cast<std::size_t>(hidden + render::kCurveSamples));
    auto rel = [&](int32_t line) { return line ? e.rel(line) : 0; };
    Tmypoi centre;
    centre.x = cx;
    centre.y = cy;
    centre.z = cz;
    centre.linex = rel(line10);
    e.geom.setLines(centre, rel(line20), rel(line30));
    centre.donotdraw = true;
    ps.push_back(centre);
    if (circle) {
        start = 0;
        end = 0;
    } else {
        constexpr double kDeg = M_PI / 180.0;
        Tmypoi a, b;
        a.x = cx + r * std::cos(start * kDeg);
        a.y = cy + r * std::sin(start * kDeg);
        a.z = cz;
        a.linex = rel(e.rec.winkel1linenr);
        a.mode = 3;
        a.donotdraw = true;
        b.x = cx + r * std::cos(end * kDeg);
        b.y = cy + r * std::sin(end * kDeg);
        b.z = cz;
        b.linex = rel(e.rec.winkel2linenr);
        b.mode = 3;
        b.donotdraw = true;
        ps.push_back(a);
        ps.push_back(b);
    }
    render::Point3 pts[render::kCurveSamples];
    render::sampleArc(cx, cy, cz, r, start, end, circle, pts);
    {
        // The sweep as sampleArc takes it: the end raised by a turn when not beyond the start.
        double a0 = circle ? 0 : start, a1 = circle ? 0 : end;
        if (!(a1 > a0)) a1 += 360.0;
        e.rec.curvearea = render::arcChordArea(r, (a1 - a0) * M_PI / 180, render::kCurveSamples - 1);
    }
    const int32_t radiusLine = rel(e.rec.radiuslinenr);
    for (int i = 0; i < render::kCurveSamples; ++i) {
        Tmypoi &v = ps.emplace_back();
        v.x = pts[i].x;
        v.y = pts[i].y;
        v.z = cz;
        const bool grip = circle ? (i % 25 == 0 && i < 100) : i == 50;
        if (grip) {
            v.linex = radiusLine;
            v.mode = 1;
        }
        v.moveonly = i == 0;
        v.curve = true;
    }
    e.objectToWorld();
}

} // namespace quentar::dxf
