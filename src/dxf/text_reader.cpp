// Reader of TEXT and MTEXT: the text is kept as read, formatting codes included, for the renderer.
#include "dxf/pass.h"

#include <cmath>

namespace quentar::dxf {

void readText(Pass &p, EntityBuild &e, bool mtext) {
    e.rec.istext = true;
    e.rec.ismtext = mtext;
    e.rec.needext210 = e.rec.needext220 = e.rec.needext230 = true;
    double dx = 0, dy = 0, dz = 0;
    e.rec.rotation = 0;
    bool rotationGiven = true;
    PointSlot at[1];
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        double x;
        if (takeCoordinate(p, e, at, 10, 1, c, v)) return;
        switch (c) {
        case 1:
        case 3:
            e.rec.textstr.append(v);
            break;
        case 40:
            if (toReal(v, e.rec.radius)) e.rec.radiuslinenr = p.valueLine();
            break;
        case 50:
            if (toReal(v, e.rec.rotation)) rotationGiven = true;
            break;
        case 51:
            toReal(v, e.rec.oblique);
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
            if (toReal(v, e.rec.ext230)) e.rec.needext230 = false;
            break;
        default:
            break;
        }
    });
    (void)dz;
    if (!rotationGiven) e.rec.rotation = std::atan2(dy, dx) * 180.0 / M_PI;
    addSlots(p, e, at, 1, true);
    if (at[0].given) {
        e.rec.cx = at[0].x;
        e.rec.cy = at[0].y;
        e.rec.cz = at[0].z;
    }
    // A TEXT lies in its object system; an MTEXT's insertion point is given in the world.
    if (!mtext) e.objectToWorld();
}

} // namespace quentar::dxf
