// A HATCH under a plane map: its boundary paths, pattern lines and seed points lie in its object
// system, and what a group means depends on the path and edge it belongs to.
#include "editor/transformations_entities.h"

#include "dxf/values.h"
#include "editor/dxf_numbers.h"

#include <cmath>

namespace quentar::editor {

namespace {

// A cursor over the hatch's groups that takes counted lists as the reader does.
class Cursor {
public:
    Cursor(const std::vector<Group> &g, int from, int end) : g_(g), k_(from), end_(end) {}
    bool atEnd() const { return k_ >= end_; }
    int code() const { return atEnd() ? -1 : g_[static_cast<std::size_t>(k_)].code; }
    int position() const { return k_; }
    void skip() { ++k_; }
    // The index of the next group when it has `code` (and steps over it); -1 otherwise.
    int take(int code) { return this->code() == code ? k_++ : -1; }
    int count(int code) {
        const int i = take(code);
        int32_t n = 0;
        if (i >= 0) dxf::toInteger(g_[static_cast<std::size_t>(i)].value, n);
        return std::max<int32_t>(0, n);
    }

private:
    const std::vector<Group> &g_;
    int k_, end_;
};

// Lists longer than this are not walked on (the reader reads no more of them either).
constexpr int kMaxItems = 1000000;
constexpr int kMaxLoops = 100000;

} // namespace

void EntityRewrite::hatch() {
    int end = static_cast<int>(groups().size());
    for (int i = 1; i < end; ++i)
        if (groups()[static_cast<std::size_t>(i)].code == 1001) end = i;
    Cursor c(groups(), 1, end);
    // The header up to the boundary paths: its point holds only the elevation.
    while (!c.atEnd() && c.code() != 91) {
        // An associative hatch follows the objects it was made from; mapped (or copied) on its
        // own it no longer does, and a program that takes the association would draw it back
        // where they are. It becomes a hatch of its own.
        double associative;
        if (c.code() == 71 && number(c.position(), associative) && associative != 0)
            setNumber(c.position(), 0);
        c.skip();
    }
    double elevation = 0;
    for (const Point &p : pointsIn(0, c.position(), 10)) {
        if (p.family != 10) continue;
        if (p.z >= 0) {
            if (!number(p.z, elevation)) return;
            setNumber(p.z, newElevation(elevation));
        }
        break;
    }
    auto point = [&](int x, int y, Role role) {
        if (x < 0) return;
        Point p;
        p.family = 10;
        p.x = x;
        p.y = y;
        rewritePoint(p, role, role == Role::Object ? elevation : 0, true);
    };
    auto pointAt = [&](int xCode, int yCode, Role role) {
        const int x = c.take(xCode);
        const int y = x >= 0 ? c.take(yCode) : -1;
        point(x, y, role);
    };
    const bool turned = reflects() || planeAngle() != 0;
    // An arc edge: counter-clockwise ones keep their angles, clockwise ones the negated angles.
    // A turn adds to the first and subtracts from the second; a mirror image reverses the sense.
    auto edgeAngles = [&](int s, int e, int ccw, bool circular) {
        double a0, a1, flag = 1;
        if (s < 0 || e < 0 || !number(s, a0) || !number(e, a1)) return;
        if (ccw >= 0 && !number(ccw, flag)) return;
        const bool counter = flag != 0;
        if (circular && turned) {
            double d = counter ? planeAngle() : -planeAngle();
            if (reflects()) d = counter ? -planeAngle() : planeAngle();
            double start = std::fmod(a0 + d, 360.0);
            if (start < 0) start += 360.0;
            setNumber(s, start);
            setNumber(e, start + (a1 - a0));
        }
        // An elliptic edge's parameters follow its axis; only the sense changes.
        if (reflects()) {
            if (ccw >= 0)
                setNumber(ccw, counter ? 0 : 1);
            else
                insertGroup(groups()[static_cast<std::size_t>(e)].line + 1, 73, "0");
        }
    };

    const int loops = std::min(c.count(91), kMaxLoops);
    for (int l = 0; l < loops && !c.atEnd(); ++l) {
        while (!c.atEnd() && c.code() != 92 && c.code() != 75) c.skip();
        const int f = c.take(92);
        if (f < 0) break;
        int32_t flags = 0;
        dxf::toInteger(groups()[static_cast<std::size_t>(f)].value, flags);
        if (flags & 2) {
            c.take(72);
            c.take(73);
            const int n = std::min(c.count(93), kMaxItems);
            for (int v = 0; v < n && c.code() == 10; ++v) {
                pointAt(10, 20, Role::Object);
                const int b = c.take(42);
                double bulge;
                if (b >= 0 && reflects() && number(b, bulge) && bulge != 0) setNumber(b, -bulge);
            }
        } else {
            const int edges = std::min(c.count(93), kMaxItems);
            for (int k = 0; k < edges && !c.atEnd(); ++k) {
                const int t = c.take(72);
                if (t < 0) break;
                int32_t type = 0;
                dxf::toInteger(groups()[static_cast<std::size_t>(t)].value, type);
                if (type == 1) {
                    pointAt(10, 20, Role::Object);
                    pointAt(11, 21, Role::Object);
                } else if (type == 2) {
                    pointAt(10, 20, Role::Object);
                    if (const int r = c.take(40); r >= 0) scaleLength(r);
                    const int s = c.take(50), e = c.take(51), ccw = c.take(73);
                    edgeAngles(s, e, ccw, true);
                } else if (type == 3) {
                    pointAt(10, 20, Role::Object);
                    pointAt(11, 21, Role::ObjectVector);
                    c.take(40); // the axis ratio
                    const int s = c.take(50), e = c.take(51), ccw = c.take(73);
                    edgeAngles(s, e, ccw, false);
                } else if (type == 4) {
                    c.take(94);
                    c.take(73);
                    c.take(74);
                    const int knots = std::min(c.count(95), kMaxItems);
                    const int control = std::min(c.count(96), kMaxItems);
                    for (int q = 0; q < knots && c.code() == 40; ++q) c.skip();
                    for (int q = 0; q < control && c.code() == 10; ++q) {
                        pointAt(10, 20, Role::Object);
                        c.take(42); // the weight
                    }
                    if (c.code() == 97) {
                        const int fit = std::min(c.count(97), kMaxItems);
                        for (int q = 0; q < fit && c.code() == 11; ++q)
                            pointAt(11, 21, Role::Object);
                    }
                    if (c.code() == 12) pointAt(12, 22, Role::ObjectVector);
                    if (c.code() == 13) pointAt(13, 23, Role::ObjectVector);
                } else {
                    break;
                }
            }
        }
        // The objects an associative boundary came from.
        const int sources = c.count(97);
        for (int k = 0; k < sources && c.code() == 330; ++k) c.skip();
    }

    // The pattern and the seed points.
    while (!c.atEnd()) {
        const int i = c.position();
        switch (c.code()) {
        case 52:
        case 53:
            rewriteAngle(i);
            c.skip();
            break;
        case 41:
        case 47:
        case 49:
            scaleLength(i);
            c.skip();
            break;
        case 43:
            pointAt(43, 44, Role::Object);
            break;
        case 45:
            pointAt(45, 46, Role::ObjectVector);
            break;
        case 10:
            pointAt(10, 20, Role::Object);
            break;
        case 460: { // the gradient's turn, radians
            double a;
            if (turned && number(i, a)) setNumber(i, mapAngle(a * 180.0 / M_PI) * M_PI / 180.0);
            c.skip();
            break;
        }
        default:
            c.skip();
            break;
        }
    }
}

} // namespace quentar::editor
