// The creation operations: the DXF lines of every entity kind in its R12 and its newer form.
#include "editor/entity_creation.h"

#include "document/text_codec.h"
#include "dxf/values.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace quentar::editor {

namespace {

// The longest piece of an MTEXT text in one group.
constexpr std::size_t kTextPiece = 250;

Creation refused(int message) {
    Creation c;
    c.message = message;
    return c;
}

void insert(Creation &c, NewEntities &ne, EntityText &&e) {
    if (auto batch = ne.insert(std::move(e))) c.steps.push_back(std::move(*batch));
    else if (!ne.handlesLeft())
        c.message = kMsgNoHandlesLeft;
    c.end = ne.position();
}

EntityText lineEntity(NewEntities &ne, int arcmode, const Point3 &p1, const Point3 &p2) {
    EntityText e;
    if (arcmode == arcmodes::kConstructionLine)
        ne.head(e, "XLINE", "AcDbXline");
    else if (arcmode == arcmodes::kRay)
        ne.head(e, "RAY", "AcDbRay");
    else
        ne.head(e, "LINE", "AcDbLine");
    ne.r12Handle(e);
    e.point(10, p1);
    if (arcmode == arcmodes::kConstructionLine || arcmode == arcmodes::kRay)
        e.point(11, {p2.x - p1.x, p2.y - p1.y, p2.z - p1.z});
    else
        e.point(11, p2);
    return e;
}

EntityText solidEntity(NewEntities &ne, const Point3 &p1, const Point3 &p2, const Point3 &p3,
                       const Point3 &p4) {
    EntityText e;
    ne.head(e, "SOLID", "AcDbTrace");
    ne.r12Handle(e);
    // A SOLID lists its corners zig-zag: the fourth outline corner is its third.
    e.point(10, p1);
    e.point(11, p2);
    e.point(12, p4);
    e.point(13, p3);
    return e;
}

EntityText circleEntity(NewEntities &ne, const Point3 &centre, double radius) {
    EntityText e;
    ne.head(e, "CIRCLE", "AcDbCircle");
    ne.r12Handle(e);
    e.point(10, centre);
    e.real("  40", radius);
    return e;
}

EntityText textEntity(NewEntities &ne, const Point3 &p, const TextInput &in, int &message) {
    EntityText e;
    if (!ne.newer()) {
        const std::vector<std::string_view> lines = textLines(in.text);
        if (lines.size() > 1) message = kMsgOnlyFirstTextLine;
        ne.head(e, "TEXT", "");
        ne.r12Handle(e);
        e.point(10, p);
        e.real("  40", in.height);
        e.real("  50", in.angle);
        e.pair("  1", std::string(lines.front()));
        return e;
    }
    ne.head(e, "MTEXT", "AcDbMText");
    e.point(10, p);
    e.real("  40", in.height);
    e.real("  50", in.angle);
    std::vector<std::string> pieces = mtextPieces(withParagraphCodes(in.text));
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) e.pair("  3", std::move(pieces[i]));
    e.pair("  1", std::move(pieces.back()));
    return e;
}

EntityText polylineEntity(NewEntities &ne, const std::vector<DrawnVertex> &vertices, bool closed) {
    EntityText e;
    if (!ne.newer()) {
        ne.head(e, "POLYLINE", "", {{" 66", "1"}});
        if (closed) e.pair(" 70", "1");
        ne.r12Handle(e);
        for (const DrawnVertex &v : vertices) {
            e.pair("  0", "VERTEX");
            e.pair("  8", ne.layer());
            e.pair("  5", ne.nextHandle());
            e.point(10, {v.x, v.y, v.z});
            if (v.bulge != 0) e.real("  42", -v.bulge);
        }
        e.pair("  0", "SEQEND");
        e.pair("  8", ne.layer());
        e.pair("  5", ne.nextHandle());
        return e;
    }
    ne.head(e, "LWPOLYLINE", "AcDbPolyline");
    e.integer(" 90", static_cast<int64_t>(vertices.size()));
    if (closed) e.pair(" 70", "1");
    for (const DrawnVertex &v : vertices) {
        e.point(10, {v.x, v.y, v.z});
        if (v.bulge != 0) e.real("  42", -v.bulge);
    }
    return e;
}

void arrowhead(Creation &c, NewEntities &ne, double linesx, double linesy, double xx, double yy) {
    const auto corners = arrowheadCorners(linesx, linesy, xx, yy);
    if (!corners) return;
    const auto &[a, b, tip] = *corners;
    insert(c, ne, solidEntity(ne, a, b, tip, tip));
}

} // namespace

std::vector<std::string_view> textLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size() || lines.empty()) lines.push_back(text.substr(start));
    return lines;
}

std::string withParagraphCodes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\\P";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

namespace {

// The byte length of the first `count` characters: UTF-8 characters are never cut apart, in a
// text of another encoding a byte is a character.
std::size_t prefixBytes(std::string_view text, std::size_t count, bool utf8) {
    if (!utf8) return std::min(count, text.size());
    std::size_t i = 0;
    for (std::size_t chars = 0; chars < count && i < text.size(); ++chars) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

} // namespace

std::vector<std::string> mtextPieces(std::string text) {
    std::vector<std::string> pieces;
    const bool utf8 = document::isValidUtf8(text);
    for (;;) {
        const std::size_t piece = prefixBytes(text, kTextPiece, utf8);
        if (piece >= text.size()) break;
        pieces.push_back(text.substr(0, piece));
        text.erase(0, piece);
    }
    pieces.push_back(std::move(text));
    return pieces;
}

Creation AddLine(const document::Drawing &d, const CreationSettings &s, int arcmode,
                 const Point3 &p1, const Point3 &p2) {
    const bool directed = arcmode == arcmodes::kConstructionLine || arcmode == arcmodes::kRay;
    if (directed && d.cadver <= 1009)
        return refused(arcmode == arcmodes::kRay ? kMsgNoRays : kMsgNoConstructionLines);
    // A construction line or ray without a direction is no line at all.
    if (directed && p1.x == p2.x && p1.y == p2.y && p1.z == p2.z) return {};
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, lineEntity(ne, arcmode, p1, p2));
    return c;
}

Creation AddSolid(const document::Drawing &d, const CreationSettings &s, const Point3 &p1,
                  const Point3 &p2, const Point3 &p3, const Point3 &p4) {
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, solidEntity(ne, p1, p2, p3, p4));
    return c;
}

Creation AddPoint(const document::Drawing &d, const CreationSettings &s, const Point3 &p) {
    Creation c;
    NewEntities ne(d, s);
    EntityText e;
    ne.head(e, "POINT", "AcDbPoint");
    ne.r12Handle(e);
    e.point(10, p);
    insert(c, ne, std::move(e));
    return c;
}

Creation AddCircle(const document::Drawing &d, const CreationSettings &s, int arcmode,
                   const Point3 &p1, const Point3 &p2) {
    const double dist = spatialDistance(p1, p2);
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, circleEntity(ne, p1, arcmode == arcmodes::kCentreDiameter ? dist / 2 : dist));
    return c;
}

Creation AddCircleDurch3Punkte(const document::Drawing &d, const CreationSettings &s,
                               const Point3 &p1, const Point3 &p2, const Point3 &p3) {
    CircleArc arc;
    if (!ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, arc)) return {};
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, circleEntity(ne, {arc.arcmx, arc.arcmy, 0}, arc.arcradius));
    return c;
}

Creation AddArc(const document::Drawing &d, const CreationSettings &s, int arcmode,
                const Point3 &p1, const Point3 &p2, const Point3 &p3) {
    const std::optional<CircleArc> found = arcFromPoints(arcmode, p1, p2, p3);
    if (!found) return {};
    const CircleArc &arc = *found;
    const auto [start, end] = arcAnglesInDegrees(arc);
    Creation c;
    NewEntities ne(d, s);
    EntityText e;
    ne.head(e, "ARC", "AcDbCircle");
    ne.r12Handle(e);
    e.point(10, {arc.arcmx, arc.arcmy, 0});
    e.real("  40", arc.arcradius);
    if (ne.newer()) e.pair("100", "AcDbArc");
    e.real("  50", start);
    e.real("  51", end);
    insert(c, ne, std::move(e));
    return c;
}

Creation AddEllipse(const document::Drawing &d, const CreationSettings &s, int arcmode,
                    const Point3 &p1, const Point3 &p2, const Point3 &p3, double ellipsewinkel1,
                    double ellipsewinkel2) {
    if (d.cadver <= 1009) return refused(kMsgNoEllipses);
    const auto axes = ellipseFromPoints(arcmode, p1, p2, p3, ellipsewinkel1, ellipsewinkel2);
    if (!axes) return {};
    Creation c;
    NewEntities ne(d, s);
    EntityText e;
    ne.head(e, "ELLIPSE", "AcDbEllipse");
    e.point(10, axes->centre);
    e.point(11, axes->major);
    e.real("  40", axes->ratio);
    if (arcmode == arcmodes::kEllipseArcAxes || arcmode == arcmodes::kEllipseArcCentre) {
        e.real("  41", axes->start);
        e.real("  42", axes->end);
    }
    insert(c, ne, std::move(e));
    return c;
}

double textAngle(std::string_view field) {
    double angle = 0;
    if (!dxf::toReal(document::trimLine(field), angle)) return 0;
    return angle;
}

Creation AddText(const document::Drawing &d, const CreationSettings &s, const Point3 &p,
                 const TextInput &text) {
    Creation c;
    NewEntities ne(d, s);
    EntityText e = textEntity(ne, p, text, c.message);
    insert(c, ne, std::move(e));
    return c;
}

Creation AddPolyLine(const document::Drawing &d, const CreationSettings &s,
                     const std::vector<DrawnVertex> &polyline0, bool closed) {
    // A polyline needs two vertices; readers drop one with fewer.
    if (polyline0.size() < 2) return {};
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, polylineEntity(ne, polyline0, closed));
    return c;
}

Creation AddRectangle(const document::Drawing &d, const CreationSettings &s, const Point3 &c1,
                      const Point3 &c2) {
    return AddPolyLine(
        d, s, {{c1.x, c1.y, 0, 0}, {c2.x, c1.y, 0, 0}, {c2.x, c2.y, 0, 0}, {c1.x, c2.y, 0, 0}},
        true);
}

Creation AddPolyGon(const document::Drawing &d, const CreationSettings &s, const Point3 &centre,
                    const Point3 &pointer, double corners) {
    return AddPolyLine(d, s, polygonCorners(centre, pointer, polygonCornerCount(corners)), true);
}

Creation AddArrowToLine(const document::Drawing &d, const CreationSettings &s, double linesx,
                        double linesy, double xx, double yy, const Creation *after) {
    Creation c;
    NewEntities ne(d, s, after && !after->steps.empty() ? &after->end : nullptr);
    arrowhead(c, ne, linesx, linesy, xx, yy);
    return c;
}

Creation AddDimension(const document::Drawing &d, const CreationSettings &s, const Point3 &p1,
                      const Point3 &p2, const Point3 &f1, const Point3 &f2, const Point3 &anchor,
                      const DimensionText &text) {
    const Point3 a{f1.x, f1.y, p1.z}, b{f2.x, f2.y, p1.z};
    Creation c;
    NewEntities ne(d, s);
    insert(c, ne, lineEntity(ne, arcmodes::kLine, p1, a));
    insert(c, ne, lineEntity(ne, arcmodes::kLine, p2, b));
    insert(c, ne, lineEntity(ne, arcmodes::kLine, a, b));
    arrowhead(c, ne, a.x, a.y, b.x, b.y);
    arrowhead(c, ne, b.x, b.y, a.x, a.y);
    // Centred on the anchor: the extent was measured at 50 pixels, 100 pixels a drawing unit.
    const Point3 at{anchor.x - text.widthPx / 2 / 100, anchor.y + text.heightPx / 2 / 100,
                    anchor.z};
    insert(c, ne, textEntity(ne, at, {text.text, text.height, text.angle}, c.message));
    return c;
}

Creation AddSPLINE(const document::Drawing &d, const CreationSettings &s,
                   const std::vector<DrawnVertex> &polyline0, int splinemode, bool closed,
                   render::RandomSource &rng) {
    if (d.cadver <= 1009) return refused(kMsgNoSplines);
    std::vector<int> fixed;
    const std::vector<Point3> targets = splineTargets(polyline0, splinemode, fixed);
    const auto spline = fitSpline(targets, fixed, rng);
    if (!spline) return {};
    Creation c;
    NewEntities ne(d, s);
    EntityText e;
    ne.head(e, "SPLINE", "AcDbSpline");
    e.integer(" 72", static_cast<int64_t>(spline->knots.size()));
    e.integer(" 73", static_cast<int64_t>(spline->control.size()));
    if (closed) e.pair(" 70", "1");
    e.integer(" 71", spline->degree);
    for (double k : spline->knots) e.real("  40", k);
    for (const Point3 &p : spline->control) e.point(10, p);
    insert(c, ne, std::move(e));
    return c;
}

} // namespace quentar::editor
