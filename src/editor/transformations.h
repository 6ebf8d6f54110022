// The transformations of the edit tools: move, copy, array, rotate, mirror, scale and the drag of
// one grip. Each plans: it reads the drawing, touches nothing and returns the edit batch (a list
// of them for an array) that document::redoBatch applies and document::undoBatch takes back byte
// for byte. The caller commits them and reads the drawing again.
#pragma once

#include "document/drawing.h"
#include "document/line_edits.h"
#include "editor/transformations_geometry.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quentar::editor {

// The entities an edit works on, as record indices of the current read; the caller chooses them
// (the selected entities of the shown tab). Order and repeats do not matter. What belongs to an
// entity goes with it: the attributes of an INSERT, the picture block of a DIMENSION.
using EntitySet = std::vector<std::size_t>;

// MoveObjects: shifts the entities by (dx, dy).
document::EditBatch MoveObjects(const document::Drawing &d, const EntitySet &set, double dx,
                                double dy);

// RotateObjects: with the base point D = (dx, dy) and the second point E = (ex, ey), `modex`
// kRotateMode turns the entities about D by the direction angle of E, kMirrorMode reflects them
// in the line D-E, kScaleMode scales them about D by the distance D-E (PlaneMap::forMode).
// Nothing changes for a map that is no map (a mirror line of one point, a scaling by 0).
document::EditBatch RotateObjects(const document::Drawing &d, const EntitySet &set, double dx,
                                  double dy, double ex, double ey, int modex);

// Both, for any plane map (the preview draws through the same one).
document::EditBatch transformObjects(const document::Drawing &d, const EntitySet &set,
                                     const PlaneMap &map);

// What copying came to.
enum class CopyOutcome {
    Copied,
    NothingToCopy, // no entity of the set can be copied (or an array of one cell)
    NoHandlesLeft, // the drawing's handles reach the end of the 64-bit range
    TooLarge,      // the array would hold more copies or lines than the program takes
};
struct CopyPlan {
    std::vector<document::EditBatch> steps; // one undo step per copy of the set
    CopyOutcome outcome = CopyOutcome::NothingToCopy;
};

// CopyObjects: a copy of the entities shifted by (dx, dy), with fresh handles (beyond the largest
// the drawing holds anywhere), inserted at the end of the part of the drawing each original lies
// in (the ENTITIES section, or the block of a paper layout), as one step. The attributes of an
// INSERT come along; an attribute alone, and the paper's own viewport, are not copied; a copied
// DIMENSION gets a copy of its picture block, a copied VIEWPORT a number of its own.
CopyPlan CopyObjects(const document::Drawing &d, const EntitySet &set, double dx, double dy);

// The array dialog's values: columns and rows (truncated to whole numbers), their spacings,
// drawing units, and the turn of the array, degrees.
struct ArrayParameters {
    double columns = 4;
    double rows = 4;
    double columnSpacing = 4;
    double rowSpacing = 4;
    double angle = 0;
};
// The shifts of the copies of an array, in the order they are made: every column i and row j
// but the original's, columns outer.
std::vector<std::pair<double, double>> arrayOffsets(const ArrayParameters &p);
// Beyond these an array is refused (TooLarge): every copy is an undo step held in memory.
inline constexpr std::size_t kMaxArrayCopies = 100000;
inline constexpr std::size_t kMaxArrayLines = 20000000;
// MakeArray: one CopyObjects step per offset, each planned on the lines the steps before it
// leave, so that committing them in order builds the array.
CopyPlan MakeArray(const document::Drawing &d, const EntitySet &set, const ArrayParameters &p);

// MovePoint: the drag of grip `pointnr` of entity `objnr` by (dx, dy), dropped at E = (ex, ey).
// By the grip's kind (Tmypoi::mode): 0 the point moves by (dx, dy), 1 a radius becomes |E - C|,
// 2 an ellipse's minor axis reaches E, 3 an arc's end points at E; in the entity's object system
// where it has one. A viewport's grips resize it (corners 0 to 3), pan its view (5) or zoom it
// (6); grip 7 opens the viewport dialog instead (opensViewportDialog, ConfigureViewport).
// An empty batch when the grip or entity does not exist.
document::EditBatch MovePoint(const document::Drawing &d, std::size_t objnr, int pointnr, double dx,
                              double dy, double ex, double ey);

// The viewport dialog's seven values ("Viewport konfigurieren").
struct ViewportConfiguration {
    double width = 0, height = 0;    // "Breite:", "Höhe:" on the paper
    double centreX = 0, centreY = 0; // "Mitte X:", "Mitte Y:" on the paper
    double viewX = 0, viewY = 0;     // "Inhalt X:", "Inhalt Y:": the model point in the middle
    double viewHeight = 0;           // "Höhe Inhalt:": the height of model shown
};
// Grip `pointnr` of entity `objnr` is the viewport grip that opens the dialog.
bool opensViewportDialog(const document::Drawing &d, std::size_t objnr, int pointnr);
// The values of viewport `objnr` for the dialog; nullopt for another entity.
std::optional<ViewportConfiguration> viewportConfiguration(const document::Drawing &d,
                                                           std::size_t objnr);
// Writes the dialog's values back into viewport `objnr`.
document::EditBatch ConfigureViewport(const document::Drawing &d, std::size_t objnr,
                                      const ViewportConfiguration &c);

} // namespace quentar::editor
