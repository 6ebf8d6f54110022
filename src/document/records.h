// The records derived from the DXF lines: entities, layers, line types, layouts, blocks.
#pragma once

#include "document/cow_box.h"
#include "document/entity_geometry.h"
#include "document/line_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quentar::document {

// A dimension style as the DIMSTYLE table or a dimension's own overrides give it; sizes in
// drawing units before the overall scale `dimscale`.
struct DimStyle {
    double dimscale = 1;   // 40: overall scale of arrows, texts and gaps
    double dimasz = 0.18;  // 41: arrow size
    double dimexo = 0.0625; // 42: gap between the feature and the extension line
    double dimexe = 0.18;  // 44: extension line beyond the dimension line
    double dimtxt = 0.18;  // 140: text height
    double dimgap = 0.09;  // 147: gap around the text
    double dimlfac = 1;    // 144: factor on measured lengths
    int32_t dimdec = 4;    // 271: decimal places of lengths
    int32_t dimzin = 0;    // 78: bit 8 drops trailing zeros
    int32_t dimtad = 0;    // 77: text above the dimension line
    int32_t dimclrd = 0, dimclre = 0, dimclrt = 0; // 176, 177, 178: colours (0 by block)
    std::string dimpost;   // 3: prefix<>suffix of the measured text
    // Sets the variable of group `code` from a table record or an override; false when the
    // code is none of the above.
    bool set(int code, double value) {
        auto whole = [&](int32_t &out) {
            if (value > -1e9 && value < 1e9) out = static_cast<int32_t>(value);
        };
        switch (code) {
        case 40: dimscale = value; return true;
        case 41: dimasz = value; return true;
        case 42: dimexo = value; return true;
        case 44: dimexe = value; return true;
        case 140: dimtxt = value; return true;
        case 147: dimgap = value; return true;
        case 144: dimlfac = value; return true;
        case 271: whole(dimdec); return true;
        case 78: whole(dimzin); return true;
        case 77: whole(dimtad); return true;
        case 176: whole(dimclrd); return true;
        case 177: whole(dimclre); return true;
        case 178: whole(dimclrt); return true;
        default: return false;
        }
    }
};

// The kind of an entity as the reader recognised it from its "0" group.
enum class EntityKind : uint8_t {
    Line, LwPolyline, Polyline, Leader, Ray, XLine, Arc, Circle, Ellipse, Spline, Solid, Point,
    Insert, Text, MText, Dimension, Hatch, Wipeout, Viewport
};

// Why an entity's geometry may differ from what its file meant. Kept with the entity (so an entity
// taken over by a re-read keeps them) and reported as warnings with the figures.
enum ReadIssue : uint16_t {
    kIssueVerticesDropped = 1 << 0,     // the read's vertex budget ran out: vertices are missing
    kIssueBadNumber = 1 << 1,           // a coordinate or size did not convert (NaN, inf, text)
    kIssueAbsurdValue = 1 << 2,         // a bulge, radius or angle beyond sense: left out
    kIssueSplineControlPolygon = 1 << 3, // no valid knot domain: shown as its control polygon
    kIssueSplineUnsupported = 1 << 4,   // degree or size beyond what is evaluated: not drawn
    kIssueSplineTooFewPoints = 1 << 5,  // fewer control points than a curve needs
    kIssueLinesLost = 1 << 6,           // y/z value lines of vertices beyond what can be kept
};

// The parts of an entity that only some kinds use: dimension points, viewport, insert and
// text fields, ellipse axes, block membership, an own line type or true colour, the extrusion
// when it is not the default. Most entities of a drawing (lines, arcs, circles, polylines) have
// none of it.
struct EntityDetail {
    int32_t ltnamelinenr = 0;     // value line of group 6, valid if ltnamepresent
    int32_t truecolor = -1;       // group 420: 0xRRGGBB, -1 when the entity has none
    int32_t viewid = 0;           // VIEWPORT id, group 69
    int32_t addtextmode = 0;      // DIMENSION text placement: 1 diameter, 2 radius, 3 outer angle
    int32_t dimtyp = 0;           // DIMENSION type flags, group 70
    double viewheight = 0;
    double cx1 = 0, cy1 = 0, cz1 = 0; // DIMENSION P11 (text middle); TEXT second alignment point
    double cx3 = 0, cy3 = 0, cz3 = 0; // DIMENSION P13
    double cx4 = 0, cy4 = 0, cz4 = 0; // DIMENSION P14
    double cx5 = 0, cy5 = 0, cz5 = 0; // DIMENSION P15
    double cx6 = 0, cy6 = 0, cz6 = 0; // DIMENSION P16
    double oblique = 0;               // TEXT/MTEXT obliquing angle, degrees
    double panx = 0, pany = 0;        // VIEWPORT view centre in model space
    double widx = 0, widy = 0;        // VIEWPORT size in paper space
    double dimtextrotate = 0;         // DIMENSION text rotation, degrees
    double ext230 = 0;                // extrusion z (group 230); negative mirrors an ellipse
    // The extrusion direction as read (groups 210/220/230, (0, 0, 1) when absent). The reader
    // has put the coordinates of entities given in their object system into the world already;
    // an edit writes such coordinates back through the inverse of this system.
    double extx = 0, exty = 0, extz = 1;
    // INSERT: scale factors (41/42/43), column and row counts (70/71) and spacings (44/45); the
    // rotation (50) is in `rotation`.
    double insscalex = 1, insscaley = 1, insscalez = 1;
    double inscolspacing = 0, insrowspacing = 0;
    int32_t inscols = 1, insrows = 1;
    double radius1 = 0, radius2 = 0, radius3 = 0; // ELLIPSE semi-axes and rotation (radians)
    double zoomedvalue = 0;           // unused by the document
    double blockbasex = 0, blockbasey = 0, blockbasez = 0; // base point of the owning block
    double rotation = 0;              // TEXT/MTEXT/INSERT rotation, degrees
    // TEXT: width factor (41); MTEXT: reference width for wrapping (41), 0 none.
    double textwidth = 0;
    double actualmeasurement = 0; // DIMENSION group 42 as a number; negative: not stored
    double thewid = 0;            // constant polyline width, group 43 (setwidonce says it was read)

    std::string ltname;       // group 6
    std::string insertstr;    // INSERT: referenced block name; non-empty marks a block reference
    std::string theblockname; // block definition the entity belongs to
    std::string messuaretxt;  // DIMENSION measurement, four decimals
    std::string textstr;      // TEXT/MTEXT text; DIMENSION override text
    std::string dimblock;     // DIMENSION: the block holding its picture (group 2)
    std::string stylename;    // DIMENSION, LEADER: dimension style (group 3)
    // DIMENSION, LEADER: style variables overridden by the entity's extended data (DSTYLE), as
    // group code and value.
    std::vector<std::pair<int16_t, double>> dimoverrides;
};

// One entity of the drawing. A drawing holds millions of them, so what every kind needs is kept
// here and the rest in `detail()`, allocated only for the entities that use it.
struct tpoly {
    GeometryRef geom; // vertices and snap points; null when none

    int32_t layerlinenr = 0;      // value line of group 8, valid if layerpresent
    int32_t han = 0;              // handle, group 5 (POLYLINE: the SEQEND's)
    int32_t lineweightlinenr = 0; // value line of group 370
    int32_t lineweight = 0;       // group 370, hundredths of a millimetre
    int32_t colorlinenr = 0;      // value line of group 62
    int32_t colornr = 0;          // DXF colour index, 256 by layer, 0 by block
    int32_t winkel1linenr = 0;    // value line of the start angle (ARC 50, ELLIPSE 41)
    int32_t winkel2linenr = 0;    // value line of the end angle (ARC 51, ELLIPSE 42)
    int32_t radiuslinenr = 0;     // value line of group 40
    int32_t anzs = 0;             // snap points in use
    int32_t linefrom = 0;         // code line of the entity's "0" group
    int32_t linebis = 0;          // value line of the entity's last group
    int32_t anzp = 0;             // vertices in use
    int32_t layhan = 0;           // owner handle, group 330
    int32_t nr = 0;               // -1 after reading; otherwise unused
    EntityKind kind = EntityKind::Line; // what the reader recognised
    uint16_t readIssues = 0;      // ReadIssue bits
    // Text placement: horizontal 0 left, 1 centre, 2 right; vertical 0 baseline, 1 bottom,
    // 2 middle, 3 top (TEXT 72/73, MTEXT and DIMENSION attachment point 71).
    int8_t halign = 0, valign = 0;
    // The flags below are single bits, for the same reason as the split.
    // TEXT: placed at its second alignment point (cx1, cy1, cz1) rather than its first vertex.
    bool alignAtSecond : 1 = false;
    // Not shown: invisible (group 60 = 1), an invisible ATTRIB, a VIEWPORT switched off (status 0).
    bool invisible : 1 = false;
    // A POLYLINE that is a polygon or polyface mesh (70 & 16, 70 & 64): a surface, not a contour.
    bool mesh : 1 = false;

    bool linweightpresent : 1 = false, layerpresent : 1 = false, ltnamepresent : 1 = false;
    bool istext : 1 = false, isviewport : 1 = false, ispaperspace : 1 = false;
    // Not used: the lock state is computed (document::LayerLookup::locked) and the selection is
    // the editor's (editor::Selection), kept by entity key across reads. The reader still clears
    // these three; they go once it no longer does.
    bool locked : 1 = false;
    bool setwidonce : 1 = false;      // group 43 read; thewid holds it
    bool linweighttpolypresent : 1 = false;
    bool patternfill : 1 = false, iswipeout : 1 = false, ispoint : 1 = false, issolid : 1 = false;
    bool arrowhead : 1 = false, colorispresent : 1 = false;
    bool needext210 : 1 = false, needext220 : 1 = false, needext230 : 1 = false;
    bool isellipse : 1 = false, ismtext : 1 = false, isblock : 1 = false;
    bool ray : 1 = false, xline : 1 = false;
    bool massselected : 1 = false, selected : 1 = false; // not used, see `locked`
    bool isclosed : 1 = false;

    // The signed area between the entity's arcs (arcs, circles, ellipses, bulges) and the chords
    // that sample them, in the direction of its vertices, drawing units squared: added to the
    // shoelace sum of the vertices it gives the exact area a closed contour encloses.
    double curvearea = 0;
    double cx = 0, cy = 0, cz = 0;    // centre / insertion point / definition point
    double radius = 0;                // radius, ellipse ratio, text height, angular dim radius

    // The layer name (group 8, trimmed as read); empty without one. Read from its line rather
    // than kept: a copy per entity cost 32 bytes a million times over.
    std::string_view layer(const LineStore &dxf) const {
        if (!layerpresent || layerlinenr <= 0 || static_cast<std::size_t>(layerlinenr) >= dxf.size())
            return {};
        return trimLine(dxf[static_cast<std::size_t>(layerlinenr)]);
    }

    const EntityDetail &detail() const { return detail_.get(); }
    // The entity's own detail to change, made (or unshared from its copies) on first use.
    EntityDetail &detailForWrite() { return detail_.write(); }
    bool hasDetail() const { return !detail_.empty(); }

    // Vertex and snap access (anzp / anzs of them).
    const Tmypoi &p(int i) const { return geom->ps()[static_cast<std::size_t>(i)]; }
    const Tmypoi &s(int i) const { return geom->snap()[static_cast<std::size_t>(i)]; }
    // Index into `dxf` of a vertex line field (0 stays 0: no line of its own).
    int32_t absLine(int32_t rel) const { return rel ? linefrom + rel : 0; }
    // Entry and exit point of the contour: its first vertex, and its last (the first again when
    // closed); 0 without vertices.
    double reinx() const { return anzp ? p(0).x : 0; }
    double reiny() const { return anzp ? p(0).y : 0; }
    double reinz() const { return anzp ? p(0).z : 0; }
    double rausx() const { return anzp ? exitPoint().x : 0; }
    double rausy() const { return anzp ? exitPoint().y : 0; }
    double rausz() const { return anzp ? exitPoint().z : 0; }

private:
    const Tmypoi &exitPoint() const { return isclosed ? p(0) : p(anzp - 1); }
    CowBox<EntityDetail> detail_;
};
// Every entity of a drawing pays this, millions of times over: grow it only with good reason.
static_assert(sizeof(tpoly) <= 128, "an entity record stays compact");

// The entities of a drawing, in file order. Their array is the largest of a read.
using EntityList = std::vector<tpoly, LargeAllocator<tpoly>>;

// One entry of the LAYER table.
struct TLayer {
    std::string newltname;   // line type chosen in the layer dialog, not yet written
    std::string name;        // group 2
    std::string ltname;      // group 6
    int32_t ltnamelinenr = 0;
    int32_t newlineweight = 0;
    int32_t newflag = 0;
    int32_t flaglinenr = 0;
    int32_t lineweightlinenr = 0;
    int32_t lineweight = 0;  // group 370
    int32_t newcolornr = 0;
    int32_t colorlinenr = 0;
    int32_t colornr = 0;     // group 62; negative = switched off
    int32_t truecolor = -1;  // group 420: 0xRRGGBB, -1 when none
    int32_t plotflag = 1;    // group 290: 0 never plotted; plotted when the file says nothing
    int32_t flag = 0;        // group 70: 1 frozen, 4 locked
    bool ltnamepresent = false, flagpresent = false, linweightpresent = false, colorpresent = false;
};

// One entry of the LTYPE table.
struct TLineType {
    std::string name;         // group 2
    std::string desc;         // group 3
    std::vector<float> parts; // groups 49: dash > 0, gap < 0, dot 0
};

// One LAYOUT object: a tab of the drawing window.
struct Tlayout {
    std::string name;          // group 1, the tab's caption
    int32_t scrollxvalue = 0, scrollyvalue = 0; // runtime: view of this tab
    int32_t order = 0;         // tab order, group 71
    int32_t layhan = 0;        // handle of the layout's block record, group 330
    double zoomvalue = 0;      // runtime
    double eminx = 0, eminy = 0, eminz = 0;
    double emaxx = 0, emaxy = 0, emaxz = 0;
    double lminx = 0, lminy = 0, lminz = 0;
    double lmaxx = 0, lmaxy = 0, lmaxz = 0;
    // The sheet of its plot settings: paper size (44, 45) and margins left, bottom, right, top
    // (40, 41, 42, 43) in millimetres, the unit of paper space (72: 0 inches, 1 millimetres) and
    // the turn of the plot (73: quarter turns counter-clockwise).
    double paperwidth = 0, paperheight = 0;
    double marginleft = 0, marginbottom = 0, marginright = 0, margintop = 0;
    int32_t paperunits = 1, plotrotation = 0;
    bool zoomsetted = false;   // runtime: the scroll and zoom values hold a stored view
};

// One block definition of the BLOCKS section.
struct tblock {
    std::string blockname;    // group 3 of the BLOCK record
    int32_t linetoinsert = 0; // code line of the "0" before its ENDBLK
    int32_t hand = 0;         // owner handle of the BLOCK record, group 330
};

} // namespace quentar::document
