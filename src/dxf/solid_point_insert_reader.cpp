// Readers of SOLID, POINT and INSERT.
#include "dxf/pass.h"

#include <utility>

namespace quentar::dxf {

void readSolidPoint(Pass &p, EntityBuild &e, bool solid) {
    e.rec.issolid = solid;
    e.rec.ispoint = !solid;
    e.rec.isclosed = solid;
    CommonGroups common;
    common.lineweight = false;
    PointSlot corners[4];
    readEntityGroups(p, e, common, false, [&](int c, std::string_view v) {
        takeCoordinate(p, e, corners, 10, solid ? 4 : 1, c, v);
    });
    addSlots(p, e, corners, solid ? 4 : 1, true);
    // A SOLID lists its corners first, second, fourth, third: swap the last two so the outline
    // runs round. Each corner keeps the lines of its own group, so that its grip moves it.
    auto &ps = e.geom.ps;
    if (ps.size() > 3) std::swap(ps[ps.size() - 2], ps[ps.size() - 1]);
    // A SOLID lies in its object system; a POINT's extrusion only says where its thickness goes.
    if (solid) e.objectToWorld();
}

void readInsert(Pass &p, EntityBuild &e) {
    document::EntityDetail &dt = e.rec.detailForWrite();
    dt.rotation = 0;
    PointSlot at[1];
    readEntityGroups(p, e, {}, false, [&](int c, std::string_view v) {
        if (takeCoordinate(p, e, at, 10, 1, c, v)) return;
        switch (c) {
        case 2: dt.insertstr.assign(v); break;
        case 41: toReal(v, dt.insscalex); break;
        case 42: toReal(v, dt.insscaley); break;
        case 43: toReal(v, dt.insscalez); break;
        case 50: toReal(v, dt.rotation); break;
        case 70: toInteger(v, dt.inscols); break;
        case 71: toInteger(v, dt.insrows); break;
        case 44: toReal(v, dt.inscolspacing); break;
        case 45: toReal(v, dt.insrowspacing); break;
        default: break;
        }
    });
    addSlots(p, e, at, 1, false);
    // The insertion point lies in the reference's object system.
    e.objectToWorld();
}

} // namespace quentar::dxf
