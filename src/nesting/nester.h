// True-shape nesting of parts with quantities on sheets of one format: which part goes where.
#pragma once

#include "nesting/outline.h"

#include <string>
#include <vector>

namespace quentar::nesting {

// A sheet as bought, in mm: `width` along x, `length` along y. Parts keep `trim` from every edge
// and `gap` from each other.
struct SheetFormat {
    double width = 3000, length = 1500;
    double trim = 10, gap = 5;
};

struct NestSettings {
    // Rotations tried: 0, step, 2·step … below 360°. 90 gives the four quarter turns; 0 or a
    // step that does not divide 360 evenly is taken as 90 (see effectiveRotations).
    double rotationStep = 90;
    // Smaller parts may go into the holes of larger ones (their scrap must then be safe to cut).
    bool fillHoles = false;
    // Past this the parts not placed yet go onto further sheets by their boxes, first fit.
    double timeoutSeconds = 5;
    // No sheet takes more parts than this (tiny parts on a big sheet): the rest go on further
    // sheets, and the result says so.
    int maxPartsPerSheet = 5000;
    // Stop after this many sheets (copies included); 0: as many as the pieces need. One sheet
    // is enough to learn how many parts a sheet takes.
    int maxSheets = 0;
    // Take the items in turn, one of each (largest first) per round, instead of all of the
    // largest first: a sheet then holds whole sets of a drawing's parts.
    bool piecesInTurn = false;
};

// The rotations `settings` asks for, in degrees, ascending from 0.
std::vector<double> effectiveRotations(const NestSettings &settings);

// One kind of part and how many of it are wanted.
struct NestItem {
    Polygon shape;
    int quantity = 1;
};

// One part on a sheet: item index, turned by `rotation` degrees about the origin of its
// coordinates, then moved by (x, y); sheet coordinates start at the sheet's lower left corner.
struct Placement {
    int item = 0;
    double rotation = 0;
    double x = 0, y = 0;
};

// A sheet's nest, cut `copies` times (identical sheets of one part are nested once).
struct SheetNest {
    std::vector<Placement> parts;
    int copies = 1;
    double partArea = 0;   // net area of its parts, mm²
    double usedLength = 0; // from x = 0 to the far edge of its last part plus the gap, mm
    bool byBoxes = false;  // placed by boxes after the time ran out
};

struct NestResult {
    std::vector<SheetNest> sheets;
    // Items that fit no sheet of the format in any rotation, with the reason in English and
    // German; their pieces are on no sheet.
    struct Refusal {
        int item = 0;
        std::string english, german;
    };
    std::vector<Refusal> refused;
    bool timedOut = false;   // some parts were placed by their boxes only
    bool capped = false;     // a sheet reached maxPartsPerSheet
    int sheetCount() const;  // copies included
    int placedCount() const; // copies included
};

// Nests every piece of `items` on as many sheets as needed: largest parts first, each at the
// lowest-left free spot of the first sheet it fits on, trying every rotation. The same input
// gives the same nest (no threads, no random choices); only running out of time changes it,
// and then `timedOut` says so.
NestResult nest(const std::vector<NestItem> &items, const SheetFormat &format,
                const NestSettings &settings);

} // namespace quentar::nesting
