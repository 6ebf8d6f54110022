// A picture of a sheet's nest, painted the same way for the window and the quotation.
#pragma once

#include "nesting/sheet_picture.h"

#include <QImage>

namespace quentar::costing::ui {

// The sheet `widthPx` pixels wide (its length to scale, at least one pixel), white where it is
// free, the parts filled with their holes left open, the edge trim dashed. A null image for an
// empty picture or a width below 2.
QImage paintNestPicture(const nesting::SheetPicture &picture, int widthPx);

} // namespace quentar::costing::ui
