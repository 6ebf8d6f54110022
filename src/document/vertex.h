// The vertex record: coordinates, value lines packed beside the x line, grip and drawing flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

namespace quentar::document {

// The y and z value lines of a vertex that cannot carry them itself (see Tmypoi), kept in a
// table beside the vertices that refer to it.
struct FarLines {
    int32_t y = 0, z = 0;
};

// One vertex of an entity (also used for snap points and the polyline being drawn).
// Line numbers are stored relative to the owning entity's `linefrom` so that an entity whose text
// only moved within `dxf` can reuse its sampled vertices unchanged; 0 still means "no line of its
// own". Use tpoly::absLine() to get the index into `dxf`.
//
// A drawing holds millions of vertices, so a vertex is 32 bytes: the y and z lines are kept as
// small offsets from the x line (a DXF file writes 10, 20, 30 one after the other, two lines
// apart). Where a file puts them far apart the vertex keeps them in a table of its owner (the
// geometry being read, then its block) and holds the index into it; the accessors take that
// table. A copy of such a vertex refers to the same entry, so its lines are set before it is
// copied.
struct Tmypoi {
    double x = 0, y = 0, z = 0; // coordinates, drawing units
    int32_t linex = 0;          // value line of x relative to linefrom, 0 = none
    uint8_t mode : 2 = 0;       // grip kind: 0 point/centre, 1 radius, 2 ellipse minor axis, 3 arc end
    uint8_t botharrows : 2 = 0; // 3: end of a segment with arrowheads at both ends (dimensions)
    bool setwid : 1 = false;    // a width was given for this vertex (its value lives in the block)
    bool doadddimtexthere : 1 = false; // the dimension text is drawn here
    bool moveonly : 1 = false;  // the step to this vertex is a jump, not a segment
    bool donotdraw : 1 = false; // construction point: never drawn nor measured
    // The step to this vertex samples a curve (arc, circle, ellipse, bulge, spline): its chord
    // is not an edge of the drawing.
    bool curve : 1 = false;

    // The y / z value line (relative, 0 = none); `far` is the owner's table of far lines.
    int32_t liney(std::span<const FarLines> far) const { return far_ ? farAt(far).y : near(codey_); }
    int32_t linez(std::span<const FarLines> far) const { return far_ ? farAt(far).z : near(codez_); }
    bool linesFar() const { return far_; }
    // Sets both lines, from `linex` as it is now. False when they lie apart and `far` already
    // holds kMaxFarLines entries: then the vertex has no y and z lines.
    bool setLines(int32_t y, int32_t z, std::vector<FarLines> &far);

    // Entries a table of far lines can hold: the index shares the vertex's 22 offset bits. A
    // file needs over a thousand lines per vertex to put its y line far from its x line, so a
    // table this long is beyond any file with 32-bit line numbers read group by group.
    static constexpr std::size_t kMaxFarLines = std::size_t{1} << 22;

private:
    static constexpr uint32_t kCodeBits = 11;
    static constexpr int32_t kBias = 1 << (kCodeBits - 1); // code 0 is "no line"
    // The code of `line` relative to linex, or -1 when it does not fit.
    int32_t codeOf(int32_t line) const {
        if (line == 0) return 0;
        const int64_t d = int64_t{line} - linex + kBias;
        return d > 0 && d < (int64_t{1} << kCodeBits) ? static_cast<int32_t>(d) : -1;
    }
    int32_t near(uint32_t code) const {
        return code == 0 ? 0 : static_cast<int32_t>(int64_t{linex} + code - kBias);
    }
    std::size_t farIndex() const { return codey_ | std::size_t{codez_} << kCodeBits; }
    const FarLines &farAt(std::span<const FarLines> far) const { return far[farIndex()]; }

    bool far_ : 1 = false;            // codey_, codez_ hold an index into the owner's far table
    uint32_t codey_ : kCodeBits = 0;  // line - linex + kBias; 0: no line
    uint32_t codez_ : kCodeBits = 0;
};
static_assert(sizeof(Tmypoi) == 32, "a vertex record stays compact");
static_assert(std::is_trivially_copyable_v<Tmypoi> && std::is_trivially_destructible_v<Tmypoi>,
              "vertices are copied and dropped as plain bytes");

inline bool Tmypoi::setLines(int32_t y, int32_t z, std::vector<FarLines> &far) {
    const int32_t cy = codeOf(y), cz = codeOf(z);
    if (cy >= 0 && cz >= 0) {
        far_ = false;
        codey_ = static_cast<uint32_t>(cy);
        codez_ = static_cast<uint32_t>(cz);
        return true;
    }
    if (far_ && farIndex() < far.size()) { // already apart: its entry follows it
        far[farIndex()] = {y, z};
        return true;
    }
    if (far.size() >= kMaxFarLines) {
        far_ = false;
        codey_ = codez_ = 0;
        return false;
    }
    const std::size_t i = far.size();
    far.push_back({y, z});
    far_ = true;
    codey_ = static_cast<uint32_t>(i & ((1u << kCodeBits) - 1));
    codez_ = static_cast<uint32_t>(i >> kCodeBits);
    return true;
}

} // namespace quentar::document
