// Reader of TEXT, MTEXT and ATTRIB: the text is kept as read, formatting codes included, for the
// renderer; with its height, turn, width and where it hangs on its insertion point.
#include "dxf/pass.h"

#include <cmath>

namespace quentar::dxf {

void readText(Pass &p, EntityBuild &e, TextKind kind) {
    const bool mtext = kind == TextKind::MText;
    e.rec.istext = true;
    e.rec.ismtext = mtext;
    document::EntityDetail &dt = e.rec.detailForWrite();
    e.rec.needext210 = e.rec.needext220 = e.rec.needext230 = true;
    double dx = 0, dy = 0, dz = 0;
    dt.rotation = 0;
    bool rotationGiven = true;
    int32_t horizontal = 0, vertical = 0, attachment = 1;
    PointSlot at[2];
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        double x;
        if (takeCoordinate(p, e, at, 10, 1, c, v)) return;
        // The second alignment point of a TEXT or ATTRIB.
        if (!mtext && takeCoordinate(p, e, at + 1, 11, 1, c, v)) return;
        switch (c) {
        case 1:
        case 3:
            if (kind != TextKind::Attrib || c == 1) dt.textstr.append(v);
            break;
        case 40:
            if (toReal(v, e.rec.radius)) e.rec.radiuslinenr = p.valueLine();
            break;
        case 41:
            toReal(v, dt.textwidth);
            break;
        case 50:
            if (toReal(v, dt.rotation)) rotationGiven = true;
            break;
        case 51:
            toReal(v, dt.oblique);
            break;
        case 70: {
            int32_t flags;
            if (kind == TextKind::Attrib && toInteger(v, flags) && (flags & 1) != 0)
                e.rec.invisible = true;
            break;
        }
        case 71:
            if (mtext) toInteger(v, attachment);
            break;
        case 72:
            if (!mtext) toInteger(v, horizontal);
            break;
        case 73:
            // An ATTRIB's 73 is its field length.
            if (kind == TextKind::Text) toInteger(v, vertical);
            break;
        case 74:
            if (kind == TextKind::Attrib) toInteger(v, vertical);
            break;
        case 11:
        case 21:
        case 31:
            if (mtext && toReal(v, x)) {
                (c == 11 ? dx : c == 21 ? dy : dz) = x;
                rotationGiven = false;
            }
            break;
        case 210:
            e.rec.needext210 = false;
            break;
        case 220:
            e.rec.needext220 = false;
            break;
        case 230:
            if (toReal(v, dt.ext230)) e.rec.needext230 = false;
            break;
        default:
            break;
        }
    });
    addSlots(p, e, at, 1, true);
    if (at[0].given) {
        e.rec.cx = at[0].x;
        e.rec.cy = at[0].y;
        e.rec.cz = at[0].z;
    }
    if (mtext) {
        // Attachment 1 ... 9: top, middle, bottom rows of left, centre, right.
        if (attachment < 1 || attachment > 9) attachment = 1;
        e.rec.halign = static_cast<int8_t>((attachment - 1) % 3);
        e.rec.valign = static_cast<int8_t>(3 - (attachment - 1) / 3);
        // The direction vector is given in the world; the rotation is kept in the text's object
        // system, where the renderer turns every text.
        if (!rotationGiven) {
            const geometry::Linear3 m = geometry::objectToWorld(e.extrusion);
            // The object system is orthonormal: its inverse is its transpose.
            const double ox = m.m[0][0] * dx + m.m[1][0] * dy + m.m[2][0] * dz;
            const double oy = m.m[0][1] * dx + m.m[1][1] * dy + m.m[2][1] * dz;
            if (ox != 0 || oy != 0) dt.rotation = std::atan2(oy, ox) * 180.0 / M_PI;
        }
        return;
    }
    // TEXT and ATTRIB: "aligned" (3) and "fit" (5) run along the baseline between both points,
    // any other horizontal or vertical alignment hangs the text on the second point.
    if (horizontal < 0 || horizontal > 5) horizontal = 0;
    if (vertical < 0 || vertical > 3) vertical = 0;
    if (horizontal == 3 || horizontal == 5 || horizontal == 4) {
        e.rec.halign = static_cast<int8_t>(horizontal == 4 ? 1 : horizontal);
        e.rec.valign = static_cast<int8_t>(horizontal == 4 ? 2 : 0);
    } else {
        e.rec.halign = static_cast<int8_t>(horizontal);
        e.rec.valign = static_cast<int8_t>(vertical);
    }
    if ((horizontal != 0 || vertical != 0) && at[1].given) {
        e.rec.alignAtSecond = true;
        dt.cx1 = at[1].x;
        dt.cy1 = at[1].y;
        dt.cz1 = at[1].z;
        if (!geometry::isDefaultExtrusion(e.extrusion)) {
            const geometry::Vec3 w =
                geometry::objectToWorld(e.extrusion).apply({dt.cx1, dt.cy1, dt.cz1});
            dt.cx1 = w.x;
            dt.cy1 = w.y;
            dt.cz1 = w.z;
        }
    }
    // A TEXT lies in its object system; an MTEXT's insertion point is given in the world.
    e.objectToWorld();
}

} // namespace quentar::dxf
