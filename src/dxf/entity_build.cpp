// The parts of an entity being read that every family shares: its object coordinate system and
// points bound to their code family.
#include "dxf/pass.h"

namespace quentar::dxf {

void EntityBuild::objectToWorld() {
    if (geometry::isDefaultExtrusion(extrusion)) return;
    const geometry::Linear3 m = geometry::objectToWorld(extrusion);
    auto place = [&](double &x, double &y, double &z) {
        const geometry::Vec3 w = m.apply({x, y, z});
        x = w.x;
        y = w.y;
        z = w.z;
    };
    for (Tmypoi &v : geom.ps) place(v.x, v.y, v.z);
    for (Tmypoi &v : geom.snap) place(v.x, v.y, v.z);
    for (Tmypoi &v : geom.pattern) place(v.x, v.y, v.z);
    place(rec.cx, rec.cy, rec.cz);
    // Seen from above, areas in the object plane shrink with its tilt and change sign mirrored.
    rec.curvearea *= m.det2();
}

bool takeCoordinate(Pass &p, EntityBuild &e, PointSlot *slots, int first, int count, int c,
                    std::string_view v) {
    const int family = c % 10, axis = c / 10;
    if (c < 10 || c > 39 || family < first % 10 || family >= first % 10 + count) return false;
    PointSlot &s = slots[family - first % 10];
    double x;
    if (!e.coordinate(v, x)) return true;
    const int32_t line = e.rel(p.valueLine());
    if (axis == 1) {
        s.given = true;
        s.x = x;
        s.linex = line;
    } else if (axis == 2) {
        s.y = x;
        s.liney = line;
    } else {
        s.z = x;
        s.linez = line;
    }
    return true;
}

void addSlots(Pass &p, EntityBuild &e, const PointSlot *slots, int count, bool recordLines) {
    for (int i = 0; i < count; ++i) {
        const PointSlot &s = slots[i];
        if (!s.given) continue;
        Tmypoi *v = e.addVertex(p, s.x, recordLines ? s.linex : 0);
        if (!v) return;
        v->y = s.y;
        v->z = s.z;
        if (recordLines) e.geom.setLines(*v, s.liney, s.linez);
    }
}

} // namespace quentar::dxf
