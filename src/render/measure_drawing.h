// Opening and measuring a drawing as the calculator takes it over: one routine for the commands,
// the windows and the tests.
#pragma once

#include "document/drawing.h"
#include "render/canvas.h"
#include "render/contours.h"
#include "render/render_pass.h"
#include "render/view.h"

namespace quentar::render {

// Fits tab `tab` of a read drawing into the 180-pixel preview square as confirming it in the
// drawing window does, and renders that square through `canvas` (may be null: measure only) into
// `figures` (reset first): length, box, the exact areas of the closed contours and their analysis.
// `view` receives the fitted view.
void measureTab(document::Drawing &d, int tab, ViewState &view, Canvas *canvas,
                ContourFigures &figures);

} // namespace quentar::render
