// Rewriting the lines of one entity under a plane map: its points, vectors, angles and sizes by
// what each group means for its kind, in the entity's object coordinate system where it has one.
// Nothing is applied: the changes are planned against the lines as they stand.
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"
#include "editor/transformations_geometry.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quentar::editor {

// Changes of lines planned against one state of the lines: value lines replaced, lines inserted
// before a line. Each line is replaced at most once.
class PlannedLines {
public:
    void replace(int32_t line, std::string text);
    // Several insertions before the same line keep the order they were made in.
    void insertBefore(int32_t line, std::vector<std::string> lines);
    bool empty() const { return changes_.empty(); }

    // Appends the changes to `batch` from the highest line down, each with the text it removes
    // as it stands in `lines`, so that the batch applies in one pass and its undo restores the
    // lines byte for byte.
    void appendTo(const document::LineStore &lines, document::EditBatch &batch) const;
    // Applies the changes to `copy`, the lines from `from` on (changes outside it are ignored).
    void applyTo(std::vector<std::string> &copy, int32_t from) const;

private:
    struct Change {
        int32_t at = 0;
        bool insertion = false;
        std::vector<std::string> text; // the new line, or the lines inserted
    };
    // The changes in the order they apply: highest line first, at one line the replacement before
    // the insertion in front of it, insertions at one line joined.
    std::vector<Change> ordered() const;
    std::vector<Change> changes_;
};

// One group of an entity: its code and value line (the value trimmed as the reader sees it).
struct Group {
    int code = 0;
    int32_t line = 0; // value line; its code line is the one before
    std::string_view value;
};
// The groups of lines [from, to] (code line, value line, ...).
std::vector<Group> groupsOf(const document::LineStore &lines, int32_t from, int32_t to);

// The keyword of entity `index` ("LINE", "ATTRIB" ...).
std::string_view keywordOf(const document::Drawing &d, std::size_t index);
bool isAttribute(const document::Drawing &d, std::size_t index);
// One past the last ATTRIB record that follows INSERT `index` (index + 1 when it has none).
std::size_t attributesEnd(const document::Drawing &d, std::size_t index);

// Adds the changes of entity `index` under `map` to `out`. An entity of a block is mapped where
// the block's base point puts it. An INSERT's attributes are entities of their own; the paper's
// own viewport (id 1) is left as it is.
void transformEntity(const document::Drawing &d, std::size_t index, const PlaneMap &map,
                     PlannedLines &out);

// The rewriting of one entity; the hatch's boundary walker uses its parts.
class EntityRewrite {
public:
    EntityRewrite(const document::Drawing &d, const document::tpoly &e, const PlaneMap &map,
                  PlannedLines &out);
    void run();

    // How a point's coordinates change.
    enum class Role {
        World,        // a position in the world
        Object,       // a position in the entity's object coordinate system
        Vector,       // a world displacement: turned and scaled
        Direction,    // a world direction: turned only
        ObjectVector, // a displacement in the object coordinate system
    };
    // A point of three coordinate groups (indices into groups(); -1: absent).
    struct Point {
        int family = 0;
        int x = -1, y = -1, z = -1;
    };
    // The points whose x code lies in [xBase, xBase + 8] (y and z codes 10 and 20 above) among
    // the groups [from, to); a y or z belongs to the latest point of its family without one.
    std::vector<Point> pointsIn(int from, int to, int xBase) const;
    // Rewrites a point. `z0` stands for a missing z; `flat` points (2D formats) never get a z.
    // Returns the new z (the old one when the point was left as it was).
    double rewritePoint(const Point &p, Role role, double z0 = 0, bool flat = false);

    const std::vector<Group> &groups() const { return groups_; }
    bool number(int group, double &v) const;
    // Writes `v` into the value line of group `group` when it differs from what it holds.
    void setNumber(int group, double v);
    void scaleLength(int group);
    // A direction angle in the object plane, degrees: turned or reflected with it.
    double mapAngle(double degrees) const;
    void rewriteAngle(int group);
    // The in-plane part of the map in object coordinates reverses the sense of rotation.
    bool reflects() const { return reflects_; }
    // Rotation (or twice the mirror line's angle) of the in-plane part, degrees.
    double planeAngle() const { return planeAngle_; }
    double scale() const { return map_.scale; }
    // The object coordinates of the old object z = elevation after the map.
    double newElevation(double elevation) const;
    PlannedLines &out() { return out_; }
    const document::LineStore &lines() const { return d_.dxf; }
    // Inserts a group (code, value) before line `line`, its code spelled like `likeCodeLine`.
    void insertGroup(int32_t before, int code, const std::string &value);

private:
    void frames(bool flip);
    int mainEnd() const;
    void rewriteExtrusion(int from, int to, bool flip);
    int32_t extrusionInsertLine(int from, int to) const;
    void rewriteXdata(int from, int to);
    void rewriteLengths(int from, int to, std::initializer_list<int> codes);
    int find(int from, int to, int code) const;

    void lineFamily();
    void lwPolyline();
    void polyline();
    void arcCircle(bool arc);
    void ellipse();
    void spline();
    void solidPoint(bool solid);
    void insert();
    void text(bool mtext);
    void dimension();
    void wipeout();
    void viewport();
    void hatch(); // transformations_hatch.cpp

    const document::Drawing &d_;
    const document::tpoly &e_;
    PlaneMap map_;
    PlannedLines &out_;
    std::vector<Group> groups_;
    // The object system before and after: object to world, world to object.
    geometry::Linear3 toWorld_, toObject_;
    bool objectIdentity_ = true;
    bool reflects_ = false;
    double planeAngle_ = 0;
};

} // namespace quentar::editor
