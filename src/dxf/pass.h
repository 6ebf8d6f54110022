// The state of one reading pass over the DXF lines, shared by the frame and the entity readers.
#pragma once

#include "document/drawing.h"
#include "dxf/reader.h"
#include "dxf/values.h"
#include "geometry/curves.h"
#include "geometry/placement.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace quentar::dxf {

using document::Tmypoi;
using document::tpoly;

// Beyond these a value describes no drawing (a thousand kilometres in millimetres; a bulge of
// an arc short of a full turn by a millionth): read as far as sensible, with a warning.
using geometry::kBeyondAnyDrawing;
inline constexpr double kMaxBulge = 1e6;

// One reading pass: the group cursor and the section state.
struct Pass {
    const document::LineStore &lines;
    document::Drawing &d;
    int64_t n;         // number of lines
    int64_t pos = 0;   // next line to read
    int code = kNoCode;
    std::string_view value;
    bool reuse = false;

    bool inEntities = false, inBlocks = false, inBlock = false, inTables = false,
         inObjects = false, sectionNameExpected = false, handleSeedExpected = false,
         versionExpected = false, unitsExpected = false, measurementExpected = false;
    bool sectionSeen = false; // a SECTION with a name: the text is laid out as a DXF file

    // The last BLOCK record read; applied to every entity while in-block.
    std::string_view blockName;
    int32_t blockOwner = 0;
    double blockBaseX = 0, blockBaseY = 0, blockBaseZ = 0;

    // Line and polyline readers: the last group 40/41 (not reset between entities).
    double currentWidth = 0;

    int64_t verticesLeft = kMaxVerticesPerRead;

    render::RandomSource *rng = nullptr;

    Pass(const document::LineStore &l, document::Drawing &dr)
        : lines(l), d(dr), n(static_cast<int64_t>(l.size())) {}

    bool linesRanOut() const { return pos + 1 >= n; }

    // Reads the next group; false (and nothing changes) when fewer than two lines remain.
    bool readGroup() {
        if (pos + 1 >= n) {
            code = kNoCode;
            value = {};
            return false;
        }
        std::string_view codeText = lines[static_cast<std::size_t>(pos)];
        // A UTF-8 byte-order mark stays in the first line (it is written back) but is no code.
        if (pos == 0 && codeText.substr(0, 3) == "\xEF\xBB\xBF") codeText.remove_prefix(3);
        code = parseGroupCode(document::trimLine(codeText));
        value = document::trimLine(lines[static_cast<std::size_t>(pos + 1)]);
        pos += 2;
        return true;
    }
    int32_t codeLine() const { return static_cast<int32_t>(pos - 2); }
    int32_t valueLine() const { return static_cast<int32_t>(pos - 1); }

    void raiseMaxHandle(int32_t h) {
        if (h > d.maxhandle) d.maxhandle = h;
    }
};

// The geometry of the entity being read, before it is frozen into a document::EntityGeometry.
// One per pass, emptied for each entity: its vectors keep their storage, so reading a LINE
// allocates only the block it publishes; what a huge polyline needed is not kept for the rest.
struct GeometryBuild {
    static constexpr std::size_t kKeptCapacity = std::size_t{1} << 16;
    std::vector<Tmypoi> ps;      // the vertices
    std::vector<Tmypoi> snap;    // extra snap points
    std::vector<Tmypoi> pattern; // hatch pattern lines, as pairs of points
    std::vector<document::FarLines> far; // value lines the vertices cannot carry themselves
    // Width of each vertex of `ps` by index; empty while no vertex has one, shorter when the
    // last ones have none.
    std::vector<float> widths;
    bool linesLost = false; // the far lines outgrew their table: some vertices lost y, z lines

    void clear() {
        for (std::vector<Tmypoi> *run : {&ps, &snap, &pattern}) {
            if (run->capacity() > kKeptCapacity)
                std::vector<Tmypoi>().swap(*run);
            else
                run->clear();
        }
        if (widths.capacity() > kKeptCapacity)
            std::vector<float>().swap(widths);
        else
            widths.clear();
        far.clear();
        linesLost = false;
    }
    int32_t liney(const Tmypoi &v) const { return v.liney(far); }
    int32_t linez(const Tmypoi &v) const { return v.linez(far); }
    void setLines(Tmypoi &v, int32_t y, int32_t z) {
        if (!v.setLines(y, z, far)) linesLost = true;
    }
    void setLiney(Tmypoi &v, int32_t y) { setLines(v, y, linez(v)); }
    void setLinez(Tmypoi &v, int32_t z) { setLines(v, liney(v), z); }
    // Gives vertex i of `ps` the width w.
    void setWidth(std::size_t i, float w) {
        if (widths.size() <= i) {
            if (w == 0 && !std::signbit(w)) return; // what a vertex without one reads as
            widths.resize(i + 1, 0.0f);
        }
        widths[i] = w;
    }
};

// An entity being read: its record and its geometry, filled before both are published.
struct EntityBuild {
    explicit EntityBuild(GeometryBuild &scratch) : geom(scratch) { geom.clear(); }
    EntityBuild(const EntityBuild &) = delete;
    EntityBuild &operator=(const EntityBuild &) = delete;

    tpoly rec;
    GeometryBuild &geom;
    bool widthGiven = false;
    int32_t maxHandle = 0; // largest group 5 handle read in this entity
    int32_t maxViewId = 0; // largest viewport id (group 69) read in this entity

    // Vertex line numbers are kept relative to the entity's first line.
    int32_t rel(int32_t line) const { return line - rec.linefrom; }

    // A coordinate as read: false (and the entity marked) when it does not convert or lies
    // beyond any drawing (then it is left out, as a value that does not convert).
    bool coordinate(std::string_view value, double &out) {
        double v;
        if (!toReal(value, v)) {
            rec.readIssues |= document::kIssueBadNumber;
            return false;
        }
        if (!(std::fabs(v) <= kBeyondAnyDrawing)) {
            rec.readIssues |= document::kIssueAbsurdValue;
            return false;
        }
        out = v;
        return true;
    }
    // New vertex with x from `value`; no vertex when the value does not convert.
    Tmypoi *newVertex(Pass &p, std::string_view value, bool recordLine = true) {
        double x;
        if (!coordinate(value, x)) return nullptr;
        return addVertex(p, x, recordLine ? rel(p.valueLine()) : 0);
    }
    Tmypoi *addVertex(Pass &p, double x, int32_t relLine) {
        if (p.verticesLeft <= 0) {
            rec.readIssues |= document::kIssueVerticesDropped;
            return nullptr;
        }
        --p.verticesLeft;
        Tmypoi &v = geom.ps.emplace_back();
        v.x = x;
        v.linex = relLine;
        return &v;
    }
    // A vertex of geom.ps takes the polyline width as it stands.
    void takeWidth(const Pass &p, Tmypoi &v) {
        v.setwid = widthGiven;
        if (widthGiven)
            geom.setWidth(static_cast<std::size_t>(&v - geom.ps.data()),
                          static_cast<float>(p.currentWidth));
    }
    Tmypoi *lastVertex() { return geom.ps.empty() ? nullptr : &geom.ps.back(); }
    // Bulge of the last vertex, for the expansion (the arc becomes vertices; the record keeps no
    // bulge). A bulge beyond kMaxBulge (an arc of all but a millionth of a turn) is no arc anyone
    // drew: the segment stays straight and the entity is marked.
    void setLastBulge(std::string_view value) {
        double b;
        if (geom.ps.empty()) return;
        if (!toReal(value, b)) {
            rec.readIssues |= document::kIssueBadNumber;
            return;
        }
        if (!(std::fabs(b) <= kMaxBulge)) {
            rec.readIssues |= document::kIssueAbsurdValue;
            return;
        }
        bulges.resize(geom.ps.size(), 0.0);
        bulges.back() = b;
    }
    std::vector<double> bulges; // exact bulges by vertex index; empty when none was read
    geometry::Vec3 extrusion{0, 0, 1}; // groups 210/220/230 of the entity itself
    void setLastY(Pass &p, std::string_view value, bool recordLine = true) {
        Tmypoi *v = lastVertex();
        double y;
        if (v && coordinate(value, y)) {
            v->y = y;
            if (recordLine) geom.setLiney(*v, rel(p.valueLine()));
        }
    }
    void setLastZ(Pass &p, std::string_view value, bool recordLine = true) {
        Tmypoi *v = lastVertex();
        double z;
        if (v && coordinate(value, z)) {
            v->z = z;
            if (recordLine) geom.setLinez(*v, rel(p.valueLine()));
        }
    }
    Tmypoi &addSnap(double x) {
        Tmypoi &s = geom.snap.emplace_back();
        s.x = x;
        return s;
    }
    // Reserves budget for `count` generated points; false when the read has used it up.
    static bool reserve(Pass &p, int64_t count) {
        if (p.verticesLeft < count) return false;
        p.verticesLeft -= count;
        return true;
    }
    // The same, marking the entity when its points are dropped.
    bool reserveFor(Pass &p, int64_t count) {
        if (reserve(p, count)) return true;
        rec.readIssues |= document::kIssueVerticesDropped;
        return false;
    }
    // Puts the coordinates of an entity given in its object coordinate system into the world:
    // vertices, snap points and `cx`/`cy`/`cz`. Nothing changes for the default extrusion.
    void objectToWorld();
};

// A point whose coordinates arrive as groups of one code family (10/20/30, 11/21/31, ...), in
// whatever order the file writes them: a point is its code family, not its position.
struct PointSlot {
    bool given = false; // its x converted: the point exists
    double x = 0, y = 0, z = 0;
    int32_t linex = 0, liney = 0, linez = 0; // value lines, relative to the entity
};

// Takes group `c` into `slots` when it is a coordinate of point family `first` ... `first` +
// count - 1; false when the group is something else.
bool takeCoordinate(Pass &p, EntityBuild &e, PointSlot *slots, int first, int count, int c,
                    std::string_view v);
// The given points as vertices, in family order.
void addSlots(Pass &p, EntityBuild &e, const PointSlot *slots, int count, bool recordLines);

// The dimension style variables an entity overrides in its extended data: 1001 "ACAD", 1000
// "DSTYLE", 1002 "{", then pairs of 1070 (the variable's group code) and its value, 1002 "}".
struct DimStyleOverrides {
    bool inAcad = false;
    int state = 0; // 0 outside, 1 "DSTYLE" seen, 2 inside the braces
    int pending = -1;
    void take(int c, std::string_view v, tpoly &r) {
        if (c == 1001) {
            inAcad = v == "ACAD";
            state = 0;
        } else if (c == 1000 && inAcad && state == 0) {
            if (v == "DSTYLE") state = 1;
        } else if (c == 1002) {
            if (v == "{" && state == 1) state = 2;
            else if (v == "}") state = 0;
            pending = -1;
        } else if (state == 2 && c >= 1000 && c < 1100) {
            int32_t code;
            double value;
            if (pending < 0) {
                if (c == 1070 && toInteger(v, code)) pending = code;
            } else {
                if ((c == 1070 || c == 1040 || c == 1071) && toReal(v, value) &&
                    r.detail().dimoverrides.size() < 64)
                    r.detailForWrite().dimoverrides.emplace_back(static_cast<int16_t>(pending),
                                                                 value);
                pending = -1;
            }
        }
    }
};

// Exactly (0, 0, 1), signs of zeros included.
inline bool isDefaultBits(const geometry::Vec3 &v) {
    const geometry::Vec3 z{0, 0, 1};
    return std::memcmp(&v.x, &z.x, sizeof(double)) == 0 &&
           std::memcmp(&v.y, &z.y, sizeof(double)) == 0 &&
           std::memcmp(&v.z, &z.z, sizeof(double)) == 0;
}

// Which common groups an entity kind handles (the frame's shared groups).
struct CommonGroups {
    bool ltname = true, lineweight = true, color = true;
};

// The frame every entity reader shares: reads groups until the next "0" group (or, for POLYLINE,
// the next "0" that is neither VERTEX nor SEQEND), applies the common groups and hands every
// group to `own`. Leaves the pass on the group that ended the entity, with the reuse flag set.
template <class Own>
void readEntityGroups(Pass &p, EntityBuild &e, CommonGroups common, bool polyline, Own &&own) {
    int32_t lastValueLine = e.rec.linefrom + 1;
    // The entity's own groups come before any VERTEX or SEQEND of a POLYLINE: the layer, colour or
    // owner of those sub-records (a SEQEND on layer 0, the POLYLINE as owner) are not the
    // entity's. Handles inside application groups ("102 {ACAD_REACTORS") and after the first owner
    // (a HATCH lists its boundary objects with 330) are references, not the owner.
    bool subRecord = false, inAppGroup = false, ownerSeen = false;
    while (p.readGroup()) {
        const int c = p.code;
        bool ends = c == 0;
        if (polyline && ends) {
            ends = p.value != "VERTEX" && p.value != "SEQEND";
            subRecord = true;
        }
        if (!ends) lastValueLine = p.valueLine();
        const bool own_ = !subRecord;
        switch (c) {
        case 5: {
            int32_t h;
            if (toHandle(p.value, h)) {
                e.rec.han = h;
                p.raiseMaxHandle(h);
                if (h > e.maxHandle) e.maxHandle = h;
            }
            break;
        }
        case 102:
            inAppGroup = !p.value.empty() && p.value[0] == '{';
            break;
        case 330: {
            int32_t h;
            if (own_ && !inAppGroup && !ownerSeen && toHandle(p.value, h)) {
                e.rec.layhan = h;
                ownerSeen = true;
            }
            break;
        }
        case 67:
            if (own_) e.rec.ispaperspace = p.value == "1";
            break;
        case 60: {
            // Visibility: 1 hides the entity (an invisible ATTRIB or a viewport switched off
            // are hidden by their own groups as well).
            int32_t hidden;
            if (own_ && toInteger(p.value, hidden) && hidden == 1) e.rec.invisible = true;
            break;
        }
        case 8:
            if (own_) {
                e.rec.layerpresent = true;
                e.rec.layerlinenr = p.valueLine();
            }
            break;
        case 6:
            if (common.ltname && own_) {
                document::EntityDetail &dt = e.rec.detailForWrite();
                dt.ltname.assign(p.value);
                e.rec.ltnamepresent = true;
                dt.ltnamelinenr = p.valueLine();
            }
            break;
        case 370:
            if (common.lineweight && own_ && toInteger(p.value, e.rec.lineweight)) {
                e.rec.linweightpresent = true;
                e.rec.lineweightlinenr = p.valueLine();
            }
            break;
        case 62:
            if (common.color && own_ && toInteger(p.value, e.rec.colornr)) {
                e.rec.colorlinenr = p.valueLine();
                e.rec.colorispresent = true;
            }
            break;
        case 420:
            if (int32_t rgb; common.color && own_ && toInteger(p.value, rgb))
                e.rec.detailForWrite().truecolor = rgb;
            break;
        case 210:
            if (own_) toReal(p.value, e.extrusion.x);
            break;
        case 220:
            if (own_) toReal(p.value, e.extrusion.y);
            break;
        case 230:
            if (own_) toReal(p.value, e.extrusion.z);
            break;
        default:
            break;
        }
        own(c, p.value);
        if (ends || p.linesRanOut()) break;
    }
    e.rec.linebis = lastValueLine;
    // The default extrusion is what an entity without detail reads back, bit for bit.
    if (!isDefaultBits(e.extrusion)) {
        document::EntityDetail &dt = e.rec.detailForWrite();
        dt.extx = e.extrusion.x;
        dt.exty = e.extrusion.y;
        dt.extz = e.extrusion.z;
    }
    p.reuse = true;
}

// The entity readers, one per family; each is called on the entity's "0" group.
void readLineFamily(Pass &p, EntityBuild &e, std::string_view keyword);
void readPolyline(Pass &p, EntityBuild &e);
void readArcCircle(Pass &p, EntityBuild &e, bool circle);
void readEllipse(Pass &p, EntityBuild &e);
void readSpline(Pass &p, EntityBuild &e);
void readSolidPoint(Pass &p, EntityBuild &e, bool solid);
void readInsert(Pass &p, EntityBuild &e);
// TEXT, MTEXT and ATTRIB (a TEXT with a tag, whose vertical alignment is group 74).
enum class TextKind { Text, MText, Attrib };
void readText(Pass &p, EntityBuild &e, TextKind kind);
void readDimension(Pass &p, EntityBuild &e);
void readHatch(Pass &p, EntityBuild &e);
void readWipeout(Pass &p, EntityBuild &e);
void readViewport(Pass &p, EntityBuild &e);

// Bulge expansion of the entity just read (line reader, POLYLINE, HATCH).
void expandEntityBulges(Pass &p, EntityBuild &e);

} // namespace quentar::dxf
