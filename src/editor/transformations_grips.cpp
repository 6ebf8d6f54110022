// MovePoint for the grips of ordinary entities: the value lines behind one grip rewritten so that
// the grip ends up where it was dropped, in the entity's object system where it has one.
#include "editor/transformations.h"

#include "dxf/values.h"
#include "editor/dxf_numbers.h"
#include "editor/transformations_entities.h"
#include "editor/transformations_grips.h"

#include <cmath>

namespace quentar::editor {

using document::EntityKind;

bool writeValue(const document::Drawing &d, int32_t line, double value, PlannedLines &out) {
    if (line <= 0 || static_cast<std::size_t>(line) >= d.dxf.size() || !std::isfinite(value))
        return false;
    double old;
    if (!dxf::toReal(document::trimLine(d.dxf[static_cast<std::size_t>(line)]), old)) return false;
    if (old == value) return true;
    std::string text = FloatToDXFStr(value);
    double written;
    if (dxf::toReal(text, written) && written == old) return true;
    out.replace(line, std::move(text));
    return true;
}

bool shiftValue(const document::Drawing &d, int32_t line, double delta, PlannedLines &out) {
    if (line <= 0 || static_cast<std::size_t>(line) >= d.dxf.size()) return false;
    double old;
    if (!dxf::toReal(document::trimLine(d.dxf[static_cast<std::size_t>(line)]), old)) return false;
    return delta == 0 || writeValue(d, line, old + delta, out);
}

namespace {

constexpr double kDegree = 180.0 / M_PI;

double normalisedDegrees(double a) {
    double r = std::fmod(a, 360.0);
    if (r < 0) r += 360.0;
    return r >= 360.0 ? 0 : r;
}

double normalisedRadians(double a) {
    double r = std::fmod(a, 2 * M_PI);
    if (r < 0) r += 2 * M_PI;
    return r >= 2 * M_PI ? 0 : r;
}

// The extrusion an entity was read with.
Vec3 extrusionOf(const document::tpoly &e) {
    if (!e.hasDetail()) return {0, 0, 1};
    return {e.detail().extx, e.detail().exty, e.detail().extz};
}

// The displacement within the entity's plane whose view from above is (wx, wy), in the plane's
// object coordinates; false for a plane seen edge-on.
bool inPlane(Vec3 extrusion, double wx, double wy, double &u, double &v) {
    const geometry::Linear3 w = geometry::objectToWorld(extrusion);
    const double a = w.m[0][0], b = w.m[0][1], c = w.m[1][0], dd = w.m[1][1];
    const double det = a * dd - b * c;
    if (!(std::fabs(det) > 1e-12)) return false;
    u = (dd * wx - b * wy) / det;
    v = (a * wy - c * wx) / det;
    return std::isfinite(u) && std::isfinite(v);
}

// Entities whose grips stand for coordinates in their object system.
bool objectCoordinates(const document::Drawing &d, std::size_t index) {
    const document::tpoly &e = d.polys[index];
    switch (e.kind) {
    case EntityKind::Arc:
    case EntityKind::Circle:
    case EntityKind::LwPolyline:
    case EntityKind::Solid:
        return true;
    case EntityKind::Text:
        return true; // TEXT and ATTRIB; an MTEXT is EntityKind::MText
    case EntityKind::Polyline: {
        const auto groups = groupsOf(d.dxf, e.linefrom, e.linebis);
        for (std::size_t i = 1; i < groups.size() && groups[i].code != 0; ++i)
            if (groups[i].code == 70) {
                int32_t flags = 0;
                dxf::toInteger(groups[i].value, flags);
                return (flags & (8 | 16 | 64)) == 0;
            }
        return true;
    }
    default:
        return false;
    }
}

// The value lines of the point of code family `x` (10, 11 ...) in the entity's own groups.
struct PointLines {
    int32_t x = 0, y = 0, z = 0;
};
PointLines pointLines(const std::vector<Group> &groups, int x) {
    PointLines p;
    for (std::size_t i = 1; i < groups.size() && groups[i].code != 0 && groups[i].code != 1001;
         ++i) {
        if (groups[i].code == x && !p.x)
            p.x = groups[i].line;
        else if (groups[i].code == x + 10 && !p.y)
            p.y = groups[i].line;
        else if (groups[i].code == x + 20 && !p.z)
            p.z = groups[i].line;
    }
    return p;
}

// An ellipse whose minor axis is dragged beyond its major one: the axes change places, so that
// the ratio stays at most 1 as a valid ELLIPSE needs.
void swapEllipseAxes(const document::Drawing &d, const document::tpoly &e, double ratio,
                     PlannedLines &out) {
    const auto groups = groupsOf(d.dxf, e.linefrom, e.linebis);
    const PointLines axis = pointLines(groups, 11);
    double m[3] = {0, 0, 0};
    const int32_t lines[3] = {axis.x, axis.y, axis.z};
    for (int k = 0; k < 3; ++k)
        if (lines[k] &&
            !dxf::toReal(document::trimLine(d.dxf[static_cast<std::size_t>(lines[k])]), m[k]))
            return;
    Vec3 n = extrusionOf(e);
    const double nl = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(nl > 0)) return;
    n = {n.x / nl, n.y / nl, n.z / nl};
    // The new major axis is the old minor one: the extrusion crossed with the major axis.
    const double major[3] = {ratio * (n.y * m[2] - n.z * m[1]), ratio * (n.z * m[0] - n.x * m[2]),
                             ratio * (n.x * m[1] - n.y * m[0])};
    for (int k = 0; k < 3; ++k)
        if (lines[k]) writeValue(d, lines[k], major[k], out);
    writeValue(d, e.radiuslinenr, 1 / ratio, out);
    // The parameters count from the new axis, a quarter turn on.
    double s, t;
    if (e.winkel1linenr > 0 && e.winkel2linenr > 0 &&
        dxf::toReal(document::trimLine(d.dxf[static_cast<std::size_t>(e.winkel1linenr)]), s) &&
        dxf::toReal(document::trimLine(d.dxf[static_cast<std::size_t>(e.winkel2linenr)]), t) &&
        std::fabs(std::fabs(t - s) - 2 * M_PI) > 1e-12) {
        writeValue(d, e.winkel1linenr, normalisedRadians(s - M_PI / 2), out);
        writeValue(d, e.winkel2linenr, normalisedRadians(t - M_PI / 2), out);
    }
}

void moveGrip(const document::Drawing &d, std::size_t objnr, int pointnr, double dx, double dy,
              double ex, double ey, PlannedLines &out) {
    const document::tpoly &e = d.polys[objnr];
    const document::Tmypoi &v = e.p(pointnr);
    const int32_t linex = e.absLine(v.linex);
    const int32_t liney = e.absLine(e.geom->liney(v));
    const int32_t linez = e.absLine(e.geom->linez(v));
    if (linex <= 0 || static_cast<std::size_t>(linex) >= d.dxf.size()) return;
    const Vec3 n = extrusionOf(e);
    const bool object = objectCoordinates(d, objnr);
    double u, w;
    switch (v.mode) {
    case 0: {
        if ((e.kind == EntityKind::Ray || e.kind == EntityKind::XLine) && pointnr == 1) {
            // The grip stands 10000 directions from the base point: the direction follows it.
            shiftValue(d, linex, dx / 10000, out);
            shiftValue(d, liney, dy / 10000, out);
        } else if (object) {
            if (!inPlane(n, dx, dy, u, w)) return;
            shiftValue(d, linex, u, out);
            shiftValue(d, liney, w, out);
            // A text hung on its second point is moved by it: both points go.
            if (e.alignAtSecond && e.halign != 3 && e.halign != 5) {
                const PointLines second = pointLines(groupsOf(d.dxf, e.linefrom, e.linebis), 11);
                shiftValue(d, second.x, u, out);
                shiftValue(d, second.y, w, out);
            }
        } else if (e.kind == EntityKind::Ellipse) {
            // Centre and axis end stay in the ellipse's plane.
            if (!inPlane(n, dx, dy, u, w)) return;
            const Vec3 m = geometry::objectToWorld(n).apply({u, w, 0});
            shiftValue(d, linex, m.x, out);
            shiftValue(d, liney, m.y, out);
            shiftValue(d, linez, m.z, out);
        } else {
            shiftValue(d, linex, dx, out);
            shiftValue(d, liney, dy, out);
        }
        break;
    }
    case 1: // a radius
        if (inPlane(n, ex - e.cx, ey - e.cy, u, w)) writeValue(d, linex, std::hypot(u, w), out);
        break;
    case 2: { // the minor axis of an ellipse: its ratio to the major one
        const double major = e.hasDetail() ? e.detail().radius1 : 0;
        if (!(major > 0) || !inPlane(n, ex - e.cx, ey - e.cy, u, w)) return;
        const double ratio = std::hypot(u, w) / major;
        if (!(ratio > 1e-9) || !std::isfinite(ratio)) return;
        if (ratio <= 1)
            writeValue(d, linex, ratio, out);
        else
            swapEllipseAxes(d, e, ratio, out);
        break;
    }
    case 3: // the start or end angle of an arc
        if (inPlane(n, ex - e.cx, ey - e.cy, u, w) && (u != 0 || w != 0))
            writeValue(d, linex, normalisedDegrees(std::atan2(w, u) * kDegree), out);
        break;
    }
}

} // namespace

document::EditBatch MovePoint(const document::Drawing &d, std::size_t objnr, int pointnr, double dx,
                              double dy, double ex, double ey) {
    document::EditBatch batch;
    if (objnr >= static_cast<std::size_t>(d.anzpoly) || objnr >= d.polys.size()) return batch;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(ex) || !std::isfinite(ey))
        return batch;
    const document::tpoly &e = d.polys[objnr];
    if (pointnr < 0 || pointnr >= e.anzp) return batch;
    PlannedLines out;
    if (e.isviewport && e.hasDetail() && e.detail().viewid != 1)
        moveViewportGrip(d, objnr, pointnr, dx, dy, out);
    else
        moveGrip(d, objnr, pointnr, dx, dy, ex, ey, out);
    out.appendTo(d.dxf, batch);
    return batch;
}

} // namespace quentar::editor
