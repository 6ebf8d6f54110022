// Readers of SOLID, POINT and INSERT (block references are placed by translation only).
#include "dxf/pass.h"

#include <utility>

namespace quentar::dxf {

void readSolidPoint(Pass &p, EntityBuild &e, bool solid) {
    e.rec.issolid = solid;
    e.rec.ispoint = !solid;
    e.rec.isclosed = solid;
    CommonGroups common;
    common.lineweight = false;
    readEntityGroups(p, e, common, false, [&](int c, std::string_view v) {
        switch (c) {
        case 10:
        case 11:
        case 12:
        case 13:
            e.newVertex(p, v);
            break;
        case 20:
        case 21:
        case 22:
        case 23:
            e.setLastY(p, v);
            break;
        case 30:
        case 31:
        case 32:
        case 33:
            e.setLastZ(p, v);
            break;
        default:
            break;
        }
    });
    // A SOLID lists its corners first, second, fourth, third: swap the last two so the outline
    // runs round. Only coordinates move; each line field stays with its group.
    auto &ps = e.geom.ps;
    if (ps.size() > 3) {
        Tmypoi &a = ps[ps.size() - 2];
        Tmypoi &b = ps[ps.size() - 1];
        std::swap(a.x, b.x);
        std::swap(a.y, b.y);
        std::swap(a.z, b.z);
    }
}

void readInsert(Pass &p, EntityBuild &e) {
    e.rec.rotation = 0;
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        switch (c) {
        case 2:
            e.rec.insertstr.assign(v);
            break;
        case 10:
            e.newVertex(p, v, false);
            break;
        case 20:
            e.setLastY(p, v, false);
            break;
        case 30:
            e.setLastZ(p, v, false);
            break;
        default:
            break;
        }
    });
}

} // namespace quentar::dxf
