// What the groups of each entity kind mean under a move, turn, mirror image or scaling, and the
// planned line changes that carry it out.
#include "editor/transformations_entities.h"

#include "dxf/values.h"
#include "editor/dxf_numbers.h"

#include <algorithm>
#include <cmath>

namespace quentar::editor {

using document::EntityKind;

namespace {

// Coordinates this much smaller than the numbers they came from are what is left of rounding
// (the cosine of a quarter turn): written as 0 rather than as 0.000000000000000061.
constexpr double kNoise = 1e-12;

double normalisedDegrees(double a) {
    double r = std::fmod(a, 360.0);
    if (r < 0) r += 360.0;
    if (r >= 360.0) r = 0;
    return r;
}

// A group code as the editor spells inserted ones: right-aligned to three characters.
std::string codeText(int code) {
    std::string t = integerText(code);
    if (t.size() < 3) t.insert(0, 3 - t.size(), ' ');
    return t;
}

} // namespace

// --- The rewrite of one entity ---

EntityRewrite::EntityRewrite(const document::Drawing &d, const document::tpoly &e,
                             const PlaneMap &map, PlannedLines &out)
    : d_(d), e_(e), map_(map), out_(out) {
    if (e.isblock) {
        const document::EntityDetail &dt = e.detail();
        map_ = map.forBlockBase({dt.blockbasex, dt.blockbasey, dt.blockbasez});
    }
}

bool EntityRewrite::number(int group, double &v) const {
    if (group < 0 || group >= static_cast<int>(groups_.size())) return false;
    return dxf::toReal(groups_[static_cast<std::size_t>(group)].value, v);
}

void EntityRewrite::setNumber(int group, double v) {
    double old;
    if (!number(group, old) || !std::isfinite(v)) return; // not a number: left as it is
    if (old == v) return;
    std::string text = FloatToDXFStr(v);
    double written;
    // The same number in other words ("1.0" for 1) is left in the file's words.
    if (dxf::toReal(text, written) && written == old) return;
    out_.replace(groups_[static_cast<std::size_t>(group)].line, std::move(text));
}

void EntityRewrite::scaleLength(int group) {
    double v;
    if (map_.scale != 1 && number(group, v)) setNumber(group, v * map_.scale);
}

double EntityRewrite::mapAngle(double degrees) const {
    return reflects_ ? planeAngle_ - degrees : degrees + planeAngle_;
}

void EntityRewrite::rewriteAngle(int group) {
    double a;
    if (number(group, a) && (planeAngle_ != 0 || reflects_))
        setNumber(group, normalisedDegrees(mapAngle(a)));
}

double EntityRewrite::newElevation(double elevation) const {
    const Vec3 w = toWorld_.apply({0, 0, elevation});
    return toObject_.apply(map_.point(w)).z;
}

void EntityRewrite::insertGroup(int32_t before, int code, const std::string &value) {
    out_.insertBefore(before, {codeText(code), value});
}

int EntityRewrite::find(int from, int to, int code) const {
    for (int i = from; i < to; ++i)
        if (groups_[static_cast<std::size_t>(i)].code == code) return i;
    return -1;
}

std::vector<EntityRewrite::Point> EntityRewrite::pointsIn(int from, int to, int xBase) const {
    std::vector<Point> pts;
    for (int i = from; i < to; ++i) {
        const int c = groups_[static_cast<std::size_t>(i)].code - xBase;
        if (c < 0 || c > 28 || c % 10 > 8) continue;
        const int family = c % 10, axis = c / 10;
        if (axis == 0) {
            pts.push_back({xBase + family, i, -1, -1});
            continue;
        }
        for (auto it = pts.rbegin(); it != pts.rend(); ++it) {
            if (it->family != xBase + family) continue;
            int &slot = axis == 1 ? it->y : it->z;
            if (slot < 0) slot = i;
            break;
        }
    }
    // `family` holds the x code from here on.
    return pts;
}

double EntityRewrite::rewritePoint(const Point &p, Role role, double z0, bool flat) {
    double v[3] = {0, 0, z0};
    const int idx[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k)
        if (idx[k] >= 0 && !number(idx[k], v[k])) return z0; // part of it is no number
    const Vec3 in{v[0], v[1], v[2]};
    Vec3 o;
    switch (role) {
    case Role::World:
        o = map_.point(in);
        break;
    case Role::Object:
        o = toObject_.apply(map_.point(toWorld_.apply(in)));
        break;
    case Role::Vector:
        o = map_.vector(in);
        break;
    case Role::Direction:
        o = map_.turn(in);
        break;
    case Role::ObjectVector:
        o = toObject_.apply(map_.vector(toWorld_.apply(in)));
        break;
    }
    const double ref = std::max({1.0, std::fabs(in.x), std::fabs(in.y), std::fabs(in.z),
                                 std::fabs(map_.ox), std::fabs(map_.oy), std::fabs(map_.oz)}) *
                       std::max(1.0, map_.scale);
    double out[3] = {o.x, o.y, o.z};
    for (double &c : out)
        if (std::fabs(c) < kNoise * ref) c = 0;
    for (int k = 0; k < 3; ++k)
        if (idx[k] >= 0) setNumber(idx[k], out[k]);
    if (idx[2] < 0 && !flat && out[2] != v[2] && (idx[1] >= 0 || idx[0] >= 0)) {
        const int after = idx[1] >= 0 ? idx[1] : idx[0];
        insertGroup(groups_[static_cast<std::size_t>(after)].line + 1, p.family + 20,
                    FloatToDXFStr(out[2]));
    }
    return out[2];
}

void EntityRewrite::frames(bool flip) {
    Vec3 n{0, 0, 1};
    const int end = mainEnd();
    for (int i = 0; i < end; ++i) {
        const Group &g = groups_[static_cast<std::size_t>(i)];
        double v;
        if ((g.code == 210 || g.code == 220 || g.code == 230) && dxf::toReal(g.value, v))
            (g.code == 210 ? n.x : g.code == 220 ? n.y : n.z) = v;
    }
    Vec3 after = map_.turn(n);
    if (flip) after = {-after.x, -after.y, -after.z};
    toWorld_ = geometry::objectToWorld(n);
    toObject_ = geometry::worldToObject(after);
    objectIdentity_ = toWorld_.isIdentity() && toObject_.isIdentity();
    // The in-plane part of object -> world -> map -> object: a turn, or a reflection.
    const Vec3 ex = toObject_.apply(map_.turn(toWorld_.apply({1, 0, 0})));
    const Vec3 ey = toObject_.apply(map_.turn(toWorld_.apply({0, 1, 0})));
    reflects_ = ex.x * ey.y - ex.y * ey.x < 0;
    planeAngle_ = std::atan2(ex.y, ex.x) * 180.0 / M_PI;
    if (std::fabs(planeAngle_) < 1e-12) planeAngle_ = 0;
}

int EntityRewrite::mainEnd() const {
    for (std::size_t i = 1; i < groups_.size(); ++i) {
        const int c = groups_[i].code;
        if (c == 0 || c == 1001 || c == 101) return static_cast<int>(i);
    }
    return static_cast<int>(groups_.size());
}

int32_t EntityRewrite::extrusionInsertLine(int from, int to) const {
    // A TEXT keeps its extrusion in its first AcDbText subclass, before the second marker.
    if (e_.kind == EntityKind::Text && !e_.ismtext) {
        bool inText = false;
        for (int i = from; i < to; ++i) {
            const Group &g = groups_[static_cast<std::size_t>(i)];
            if (g.code != 100) continue;
            if (inText) return g.line - 1;
            inText = g.value == "AcDbText";
        }
    }
    if (to < static_cast<int>(groups_.size()))
        return groups_[static_cast<std::size_t>(to)].line - 1;
    return groups_.empty() ? e_.linebis + 1 : groups_.back().line + 1;
}

void EntityRewrite::rewriteExtrusion(int from, int to, bool flip) {
    int idx[3] = {find(from, to, 210), find(from, to, 220), find(from, to, 230)};
    Vec3 n{0, 0, 1};
    double *comp[3] = {&n.x, &n.y, &n.z};
    for (int k = 0; k < 3; ++k)
        if (idx[k] >= 0 && !number(idx[k], *comp[k])) return;
    Vec3 after = map_.turn(n);
    if (flip) after = {-after.x, -after.y, -after.z};
    const double out[3] = {std::fabs(after.x) < kNoise ? 0 : after.x,
                           std::fabs(after.y) < kNoise ? 0 : after.y,
                           std::fabs(after.z) < kNoise ? 0 : after.z};
    const double defaults[3] = {0, 0, 1};
    std::vector<std::string> missing;
    for (int k = 0; k < 3; ++k) {
        if (idx[k] >= 0) {
            setNumber(idx[k], out[k]);
        } else if (out[k] != defaults[k]) {
            // One missing group written means all missing ones are, in their order.
            for (int j = 0; j < 3; ++j) {
                if (idx[j] >= 0) continue;
                missing.push_back(codeText(210 + 10 * j));
                missing.push_back(FloatToDXFStr(out[j]));
            }
            break;
        }
    }
    if (!missing.empty()) out_.insertBefore(extrusionInsertLine(from, to), std::move(missing));
}

void EntityRewrite::rewriteLengths(int from, int to, std::initializer_list<int> codes) {
    if (map_.scale == 1) return;
    for (int i = from; i < to; ++i)
        if (std::find(codes.begin(), codes.end(), groups_[static_cast<std::size_t>(i)].code) !=
            codes.end())
            scaleLength(i);
}

void EntityRewrite::rewriteXdata(int from, int to) {
    const int start = find(from, to, 1001);
    if (start < 0) return;
    // Extended data says itself which of its points follow the entity: world positions,
    // displacements and directions; distances and scale factors grow with a scaling.
    for (const Point &p : pointsIn(start, to, 1010)) {
        if (p.family == 1011)
            rewritePoint(p, Role::World, 0, true);
        else if (p.family == 1012)
            rewritePoint(p, Role::Vector, 0, true);
        else if (p.family == 1013)
            rewritePoint(p, Role::Direction, 0, true);
    }
    rewriteLengths(start, to, {1041, 1042});
}

// --- The kinds ---

void EntityRewrite::lineFamily() {
    const int end = mainEnd();
    const bool directed = e_.kind == EntityKind::Ray || e_.kind == EntityKind::XLine;
    for (const Point &p : pointsIn(0, end, 10)) {
        if (p.family == 10 || (p.family == 11 && !directed))
            rewritePoint(p, Role::World);
        else if (p.family == 11)
            rewritePoint(p, Role::Direction);
    }
    if (e_.kind == EntityKind::Leader) {
        for (const Point &p : pointsIn(0, end, 210)) {
            if (p.family == 211)
                rewritePoint(p, Role::Direction);
            else if (p.family == 212 || p.family == 213)
                rewritePoint(p, Role::Vector);
        }
        rewriteLengths(0, end, {40, 41});
    }
    rewriteLengths(0, end, {39});
}

void EntityRewrite::lwPolyline() {
    const int end = mainEnd();
    double elevation = 0;
    const int e38 = find(0, end, 38);
    if (e38 >= 0 && !number(e38, elevation)) return; // where it lies is unknown
    for (const Point &p : pointsIn(0, end, 10))
        if (p.family == 10) rewritePoint(p, Role::Object, elevation, true);
    const double z = newElevation(elevation);
    if (e38 >= 0) {
        setNumber(e38, z);
    } else if (z != 0 && std::fabs(z) >= kNoise * std::max(1.0, std::fabs(elevation))) {
        const int first10 = find(0, end, 10);
        insertGroup(first10 >= 0 ? groups_[static_cast<std::size_t>(first10)].line - 1
                                 : groups_.back().line + 1,
                    38, FloatToDXFStr(z));
    }
    rewriteLengths(0, end, {39, 40, 41, 43});
    if (reflects_)
        for (int i = 0; i < end; ++i)
            if (groups_[static_cast<std::size_t>(i)].code == 42) {
                double b;
                if (number(i, b) && b != 0) setNumber(i, -b);
            }
}

void EntityRewrite::polyline() {
    // The header, then VERTEX records and the SEQEND, each from its "0" group on.
    std::vector<int> starts{0};
    for (int i = 1; i < static_cast<int>(groups_.size()); ++i)
        if (groups_[static_cast<std::size_t>(i)].code == 0) starts.push_back(i);
    const int n = static_cast<int>(groups_.size());
    auto recordEnd = [&](std::size_t r) { return r + 1 < starts.size() ? starts[r + 1] : n; };
    int headerEnd = recordEnd(0);
    const int xd = find(0, headerEnd, 1001);
    const int geometryEnd = xd >= 0 ? xd : headerEnd;
    int32_t flags = 0;
    if (const int f = find(0, geometryEnd, 70); f >= 0)
        dxf::toInteger(groups_[static_cast<std::size_t>(f)].value, flags);
    // 3D polylines, meshes and polyface meshes are given in the world; 2D ones in their object
    // system at the elevation of the header's point.
    constexpr int32_t k3d = 8, kMesh = 16, kPolyface = 64;
    const bool flat2d = (flags & (k3d | kMesh | kPolyface)) == 0;
    double elevation = 0;
    for (const Point &p : pointsIn(0, geometryEnd, 10)) {
        if (p.family != 10 || !flat2d) continue;
        if (p.z >= 0 && !number(p.z, elevation)) return;
        const double z = newElevation(elevation);
        if (p.z >= 0)
            setNumber(p.z, z);
        else if (z != 0 && p.y >= 0)
            insertGroup(groups_[static_cast<std::size_t>(p.y)].line + 1, 30, FloatToDXFStr(z));
    }
    rewriteLengths(0, geometryEnd, {39, 40, 41});
    rewriteExtrusion(0, geometryEnd, false);
    rewriteXdata(0, headerEnd);
    for (std::size_t r = 1; r < starts.size(); ++r) {
        const int from = starts[r], to = recordEnd(r);
        if (groups_[static_cast<std::size_t>(from)].value != "VERTEX") continue;
        const int vxd = find(from, to, 1001);
        const int vend = vxd >= 0 ? vxd : to;
        int32_t vflags = 0;
        if (const int f = find(from, vend, 70); f >= 0)
            dxf::toInteger(groups_[static_cast<std::size_t>(f)].value, vflags);
        // A face record of a polyface mesh holds vertex numbers, its point is a dummy.
        const bool face = (vflags & 128) != 0 && (vflags & 64) == 0;
        if (!face)
            for (const Point &p : pointsIn(from, vend, 10))
                if (p.family == 10) rewritePoint(p, flat2d ? Role::Object : Role::World, elevation);
        rewriteLengths(from, vend, {40, 41});
        if (flat2d) {
            for (int i = from; i < vend; ++i) {
                const int c = groups_[static_cast<std::size_t>(i)].code;
                double b;
                if (c == 42 && reflects_ && number(i, b) && b != 0) setNumber(i, -b);
                if (c == 50) rewriteAngle(i);
            }
        }
        rewriteXdata(from, to);
    }
}

void EntityRewrite::arcCircle(bool arc) {
    const int end = mainEnd();
    for (const Point &p : pointsIn(0, end, 10))
        if (p.family == 10) rewritePoint(p, Role::Object);
    rewriteLengths(0, end, {39, 40});
    if (!arc) return;
    const int s = find(0, end, 50), e = find(0, end, 51);
    double a0, a1;
    if (s < 0 || e < 0 || !number(s, a0) || !number(e, a1)) return;
    if (planeAngle_ == 0 && !reflects_) return;
    // The sweep as the arc is drawn: counter-clockwise from start to end, a full turn at most.
    double sweep = std::fmod(a1 - a0, 360.0);
    if (!(sweep > 0)) sweep += 360.0;
    // A mirror image runs the other way round: the image of the end is the new start.
    const double start = normalisedDegrees(mapAngle(reflects_ ? a1 : a0));
    setNumber(s, start);
    setNumber(e, start + sweep);
}

void EntityRewrite::ellipse() {
    const int end = mainEnd();
    for (const Point &p : pointsIn(0, end, 10)) {
        if (p.family == 10)
            rewritePoint(p, Role::World);
        else if (p.family == 11)
            rewritePoint(p, Role::Vector);
    }
    // The axis ratio (40) and the parameters (41, 42) stay: a scaling keeps the shape, and the
    // mirror image turns the extrusion round so that the parameters keep running with it.
}

void EntityRewrite::spline() {
    const int end = mainEnd();
    for (const Point &p : pointsIn(0, end, 10)) {
        if (p.family == 10 || p.family == 11)
            rewritePoint(p, Role::World);
        else if (p.family == 12 || p.family == 13)
            rewritePoint(p, Role::Vector);
    }
    // Knots (40) and weights (41) do not depend on the size; the fit tolerances do.
    rewriteLengths(0, end, {42, 43, 44});
}

void EntityRewrite::solidPoint(bool solid) {
    const int end = mainEnd();
    for (const Point &p : pointsIn(0, end, 10))
        if (p.family >= 10 && p.family <= (solid ? 13 : 10))
            rewritePoint(p, solid ? Role::Object : Role::World);
    rewriteLengths(0, end, {39});
    if (!solid)
        if (const int a = find(0, end, 50); a >= 0) rewriteAngle(a);
}

void EntityRewrite::insert() {
    const int end = mainEnd();
    int32_t after = -1; // the line the missing placement groups follow
    for (const Point &p : pointsIn(0, end, 10)) {
        if (p.family != 10) continue;
        rewritePoint(p, Role::Object);
        const int last = std::max({p.x, p.y, p.z});
        after = groups_[static_cast<std::size_t>(last)].line;
        break;
    }
    const int g41 = find(0, end, 41), g42 = find(0, end, 42), g43 = find(0, end, 43),
              g50 = find(0, end, 50), g44 = find(0, end, 44), g45 = find(0, end, 45);
    double sx = 1, sy = 1, sz = 1, rot = 0;
    if ((g41 >= 0 && !number(g41, sx)) || (g42 >= 0 && !number(g42, sy)) ||
        (g43 >= 0 && !number(g43, sz)) || (g50 >= 0 && !number(g50, rot)))
        return;
    const double k = map_.scale;
    // The block's axes turn with the plane; a mirror image is the block reflected across its own
    // x axis, turned: its y scale changes sign, its rotation runs the other way.
    double rot2 = normalisedDegrees(mapAngle(rot));
    if (planeAngle_ == 0 && !reflects_) rot2 = rot;
    const double values[4] = {k * sx, (reflects_ ? -k : k) * sy, k * sz, rot2};
    const int idx[4] = {g41, g42, g43, g50};
    const double defaults[4] = {1, 1, 1, 0};
    std::vector<std::string> missing;
    for (int i = 0; i < 4; ++i) {
        if (idx[i] >= 0)
            setNumber(idx[i], values[i]);
        else if (values[i] != defaults[i]) {
            missing.push_back(codeText(i < 3 ? 41 + i : 50));
            missing.push_back(FloatToDXFStr(values[i]));
        }
    }
    if (!missing.empty() && after >= 0) out_.insertBefore(after + 1, std::move(missing));
    if (g44 >= 0) scaleLength(g44);
    double rows;
    if (g45 >= 0 && number(g45, rows)) setNumber(g45, (reflects_ ? -k : k) * rows);
}

void EntityRewrite::text(bool mtext) {
    const int end = mainEnd();
    int32_t after = -1;
    bool directed = false;
    for (const Point &p : pointsIn(0, end, 10)) {
        if (p.family == 10) {
            rewritePoint(p, mtext ? Role::World : Role::Object);
            if (after < 0)
                after = groups_[static_cast<std::size_t>(std::max({p.x, p.y, p.z}))].line;
        } else if (p.family == 11) {
            if (mtext) {
                rewritePoint(p, Role::Direction);
                directed = true;
            } else {
                rewritePoint(p, Role::Object);
            }
        }
    }
    rewriteLengths(0, end,
                   mtext ? std::initializer_list<int>{40, 41, 42, 43, 46}
                         : std::initializer_list<int>{39, 40});
    const bool turned = planeAngle_ != 0 || reflects_;
    const int r = find(0, end, 50);
    double a = 0;
    if (r >= 0 && !number(r, a)) return;
    if (r >= 0) rewriteAngle(r);
    if (!turned || directed) return;
    if (mtext) {
        // An MTEXT's rotation counts in its object system, which not every reader heeds once the
        // extrusion is not the default: the turned text says its direction in the world, after
        // the angle (of the two the last one wins).
        const Vec3 dir =
            map_.turn(toWorld_.apply({std::cos(a * M_PI / 180), std::sin(a * M_PI / 180), 0}));
        const double v[3] = {dir.x, dir.y, dir.z};
        std::vector<std::string> lines;
        for (int k = 0; k < 3; ++k) {
            lines.push_back(codeText(11 + 10 * k));
            lines.push_back(FloatToDXFStr(std::fabs(v[k]) < kNoise ? 0 : v[k]));
        }
        const int32_t at = r >= 0 ? groups_[static_cast<std::size_t>(r)].line + 1 : after + 1;
        if (at > 0) out_.insertBefore(at, std::move(lines));
    } else if (r < 0 && after >= 0) {
        const double turnedTo = normalisedDegrees(mapAngle(0));
        if (turnedTo != 0) insertGroup(after + 1, 50, FloatToDXFStr(turnedTo));
    }
}

void EntityRewrite::dimension() {
    const int end = mainEnd();
    int32_t after14 = -1;
    for (const Point &p : pointsIn(0, end, 10)) {
        const bool object = p.family == 11 || p.family == 12;
        rewritePoint(p, object ? Role::Object : Role::World);
        if (p.family == 14)
            after14 = groups_[static_cast<std::size_t>(std::max({p.x, p.y, p.z}))].line;
    }
    int32_t type = 0;
    if (const int t = find(0, end, 70); t >= 0)
        dxf::toInteger(groups_[static_cast<std::size_t>(t)].value, type);
    const bool angular = (type & 7) == 2 || (type & 7) == 5;
    rewriteLengths(0, end, {40});
    if (!angular) rewriteLengths(0, end, {42});
    for (int code : {50, 52, 53})
        if (const int a = find(0, end, code); a >= 0) rewriteAngle(a);
    // A rotated dimension without an angle lies along x: turned, it needs one.
    if ((type & 7) == 0 && find(0, end, 50) < 0 && (planeAngle_ != 0 || reflects_)) {
        const double a = normalisedDegrees(mapAngle(0));
        int32_t at = after14 >= 0 ? after14 + 1 : -1;
        for (int i = 0; i < end; ++i)
            if (groups_[static_cast<std::size_t>(i)].code == 100 &&
                groups_[static_cast<std::size_t>(i)].value == "AcDbRotatedDimension")
                at = groups_[static_cast<std::size_t>(i)].line + 1;
        if (a != 0 && at >= 0) insertGroup(at, 50, FloatToDXFStr(a));
    }
}

void EntityRewrite::wipeout() {
    for (const Point &p : pointsIn(0, mainEnd(), 10)) {
        if (p.family == 10)
            rewritePoint(p, Role::World);
        else if (p.family == 11 || p.family == 12)
            rewritePoint(p, Role::Vector);
    }
}

void EntityRewrite::viewport() {
    const int end = mainEnd();
    // Only the frame on the paper follows; the view of the model inside it stays as it is.
    for (const Point &p : pointsIn(0, end, 10))
        if (p.family == 10) rewritePoint(p, Role::World);
    rewriteLengths(0, end, {40, 41});
}

void EntityRewrite::run() {
    if (map_.isIdentity() || e_.linefrom < 0 || e_.linebis <= e_.linefrom) return;
    if (e_.isviewport && e_.hasDetail() && e_.detail().viewid == 1) return;
    groups_ = groupsOf(d_.dxf, e_.linefrom, e_.linebis);
    if (groups_.empty()) return;
    const bool flipKind = e_.kind == EntityKind::Ellipse || e_.kind == EntityKind::Text ||
                          e_.kind == EntityKind::MText;
    // A mirrored ellipse or text turns its extrusion round: its parameters and glyphs then keep
    // their sense of rotation, and the picture is the true mirror image.
    const bool flip = flipKind && map_.mirrored;
    frames(flip);
    const int end = mainEnd();
    switch (e_.kind) {
    case EntityKind::Line:
    case EntityKind::Ray:
    case EntityKind::XLine:
    case EntityKind::Leader:
        lineFamily();
        break;
    case EntityKind::LwPolyline:
        lwPolyline();
        break;
    case EntityKind::Polyline:
        polyline();
        return; // its records carry their own extended data
    case EntityKind::Arc:
        arcCircle(true);
        break;
    case EntityKind::Circle:
        arcCircle(false);
        break;
    case EntityKind::Ellipse:
        ellipse();
        break;
    case EntityKind::Spline:
        spline();
        break;
    case EntityKind::Solid:
        solidPoint(true);
        break;
    case EntityKind::Point:
        solidPoint(false);
        break;
    case EntityKind::Insert:
        insert();
        break;
    case EntityKind::Text:
        text(false);
        break;
    case EntityKind::MText:
        text(true);
        break;
    case EntityKind::Dimension:
        dimension();
        break;
    case EntityKind::Hatch:
        hatch();
        break;
    case EntityKind::Wipeout:
        wipeout();
        break;
    case EntityKind::Viewport:
        viewport();
        break;
    }
    if (e_.kind != EntityKind::Viewport && e_.kind != EntityKind::Wipeout)
        rewriteExtrusion(0, end, flip);
    rewriteXdata(0, static_cast<int>(groups_.size()));
}

void transformEntity(const document::Drawing &d, std::size_t index, const PlaneMap &map,
                     PlannedLines &out) {
    if (index >= static_cast<std::size_t>(d.anzpoly) || index >= d.polys.size()) return;
    EntityRewrite(d, d.polys[index], map, out).run();
}

} // namespace quentar::editor
