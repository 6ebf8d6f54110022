// A sheet's nest as something to draw: the sheet, its trim and every part where it lies.
#pragma once

#include "nesting/nester.h"

#include <vector>

namespace quentar::nesting {

// In sheet millimetres from the sheet's lower left corner; no drawing toolkit needed to read it.
struct SheetPicture {
    double width = 0, length = 0; // the sheet, along x and y
    double trim = 0;              // kept free along every edge
    // Each part turned and moved to its place on the sheet, with its holes.
    std::vector<Polygon> parts;
    // Which item each part is, for a painter that tells the items apart.
    std::vector<int> items;
    bool empty() const { return parts.empty(); }
};

// The parts of `sheet` as they lie on a sheet of `format`; `items` as given to nest().
SheetPicture pictureOf(const SheetNest &sheet, const std::vector<NestItem> &items,
                       const SheetFormat &format);

} // namespace quentar::nesting
