// Creating entities: every entity the user draws becomes DXF lines inserted into the drawing as
// one undo step each. The operations plan: they read the drawing and return the steps, the caller
// commits them (applies, reads the drawing again and repaints) or drops them.
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"
#include "editor/creation_geometry.h"
#include "editor/new_entities.h"

#include <string>
#include <string_view>
#include <vector>

namespace quentar::editor {

// Messages of the message list a creation may ask the window to show in an error box.
inline constexpr int kMsgNoSplines = 7;            // "... keine solchen Spline Objekte."
inline constexpr int kMsgNoEllipses = 9;           // "... keine Ellipsen."
inline constexpr int kMsgNoConstructionLines = 10; // "... keine Konstruktionslinien."
inline constexpr int kMsgNoRays = 30;              // "... keine Strahlen."
inline constexpr int kMsgOnlyFirstTextLine = 32;   // "... keine mehrzeilen Texte. ..."
inline constexpr int kMsgNoHandlesLeft = 34;       // "Die Zeichnung hat keine freien Handles ..."
inline constexpr int kMsgArrayTooLarge = 35;       // "Das Array wäre zu groß ..."

// What one creation operation did.
struct Creation {
    // The undo steps, one per entity inserted, in the order they apply; none when nothing was
    // created. Each records the lines as they stand after the steps before it.
    std::vector<document::EditBatch> steps;
    // Where the plan stands after the steps: an operation of the same user action continues here.
    PlanPosition end;
    // A message to show as an error box (the numbers above), 0 for none. Message 32 comes with
    // the text created from its first line.
    int message = 0;
    bool created() const { return !steps.empty(); }
};

// Tool modes (the window's arcmode) the operations read.
namespace arcmodes {
inline constexpr int kLine = 0, kConstructionLine = 1, kRay = 2; // AddLine
inline constexpr int kCentreRadius = 0, kThreePointCircle = 1, kCentreDiameter = 2,
                     kTwoPointCircle = 3; // AddCircle, the 3-point tool
inline constexpr int kStartMiddleEnd = 0, kCentreStartEnd = 1, kStartEndMiddle = 3; // AddArc
inline constexpr int kEllipseAxes = 0, kEllipseArcAxes = 1, kEllipseCentre = 2,
                     kEllipseArcCentre = 3; // AddEllipse
} // namespace arcmodes

// LINE (arcmode 0), XLINE (1) or RAY (2) from p1; a construction line or ray points along
// p2 - p1 (not normalised). R12 has neither (messages 10, 30); one without a direction is not
// created.
Creation AddLine(const document::Drawing &d, const CreationSettings &s, int arcmode,
                 const Point3 &p1, const Point3 &p2);

// SOLID with the four corners in outline order (a triangle repeats its third corner).
Creation AddSolid(const document::Drawing &d, const CreationSettings &s, const Point3 &p1,
                  const Point3 &p2, const Point3 &p3, const Point3 &p4);

Creation AddPoint(const document::Drawing &d, const CreationSettings &s, const Point3 &p);

// CIRCLE about p1 through p2 (arcmode 2: p1-p2 is the diameter); the two-point tool passes the
// midpoint of its clicks as p1.
Creation AddCircle(const document::Drawing &d, const CreationSettings &s, int arcmode,
                   const Point3 &p1, const Point3 &p2);

// CIRCLE through three points; nothing when they are collinear.
Creation AddCircleDurch3Punkte(const document::Drawing &d, const CreationSettings &s,
                               const Point3 &p1, const Point3 &p2, const Point3 &p3);

// ARC: arcmode 0 from p1 through p2 to p3, 3 from p1 through p3 to p2, 1 about p1 from the
// direction of p2 to the direction of p3 with the radius |p1 - p2|. Nothing for collinear points
// or another mode.
Creation AddArc(const document::Drawing &d, const CreationSettings &s, int arcmode,
                const Point3 &p1, const Point3 &p2, const Point3 &p3);

// ELLIPSE (see ellipseFromPoints for the modes); the arc modes take the start and end parameter
// (ellipsewinkel1, ellipsewinkel2, radians). R12 has none (message 9).
Creation AddEllipse(const document::Drawing &d, const CreationSettings &s, int arcmode,
                    const Point3 &p1, const Point3 &p2, const Point3 &p3, double ellipsewinkel1 = 0,
                    double ellipsewinkel2 = 0);

// The text dialog's values: the text as the drawing holds its bytes, lines separated by CR LF,
// LF or CR; the height; the angle in degrees (textAngle for the field's text).
struct TextInput {
    std::string text;
    double height = 0.2;
    double angle = 0;
};
// The angle field's text as a number: 0 when it does not convert.
double textAngle(std::string_view field);

// The lines of the dialog's text: CR LF, LF and CR each end one; a break at the very end starts no
// further line.
std::vector<std::string_view> textLines(std::string_view text);
// The text with every line break (CR LF, LF or CR) as the MTEXT paragraph code "\P".
std::string withParagraphCodes(std::string_view text);
// An MTEXT text in the pieces it is written in: 250 characters each (groups 3, never cutting a
// UTF-8 character apart), the rest last (group 1). One piece for a text of up to 250 characters.
std::vector<std::string> mtextPieces(std::string text);

// TEXT (R12, the first line only; more lines give message 32) or MTEXT (line breaks as "\P",
// 250-character pieces) with its insertion point at p.
Creation AddText(const document::Drawing &d, const CreationSettings &s, const Point3 &p,
                 const TextInput &text);

// POLYLINE (R12) or LWPOLYLINE from the vertices; bulges are written negated (they are held in
// screen orientation). Nothing for fewer than one vertex.
Creation AddPolyLine(const document::Drawing &d, const CreationSettings &s,
                     const std::vector<DrawnVertex> &polyline0, bool closed);

// The closed rectangle with opposite corners c1 and c2 (z 0).
Creation AddRectangle(const document::Drawing &d, const CreationSettings &s, const Point3 &c1,
                      const Point3 &c2);

// The closed regular polygon about `centre` with a corner from `pointer`; `corners` is the
// corner field's value (polygonCornerCount).
Creation AddPolyGon(const document::Drawing &d, const CreationSettings &s, const Point3 &centre,
                    const Point3 &pointer, double corners);

// The arrowhead SOLID with its tip at (linesx, linesy) pointing away from (xx, yy); planned
// after the steps of `after` (the line it sits on) when given.
Creation AddArrowToLine(const document::Drawing &d, const CreationSettings &s, double linesx,
                        double linesy, double xx, double yy, const Creation *after = nullptr);

// The dimension text: the dialog's text (dimensionValueText to start with), its height, angle,
// and the text's extent in pixels at a font height of 50 pixels, measured by the window.
struct DimensionText {
    std::string text;
    double height = 0.5;
    double angle = 0;
    double widthPx = 0, heightPx = 0;
};

// A dimension of p1-p2: the extension lines p1-f1 and p2-f2, the dimension line f1-f2 (f1 and f2
// take the z of p1), an arrowhead at each end pointing outwards, and the text centred on
// `anchor`. Six entities, six undo steps.
Creation AddDimension(const document::Drawing &d, const CreationSettings &s, const Point3 &p1,
                      const Point3 &p2, const Point3 &f1, const Point3 &f2, const Point3 &anchor,
                      const DimensionText &text);

// SPLINE fitted to the points clicked (polyline0) in input phase `splinemode` (see
// splineTargets); R12 has none (message 7).
Creation AddSPLINE(const document::Drawing &d, const CreationSettings &s,
                   const std::vector<DrawnVertex> &polyline0, int splinemode, bool closed,
                   render::RandomSource &rng = render::programRandom());

} // namespace quentar::editor
