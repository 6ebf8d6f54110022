// Opening and measuring a drawing as the calculator takes it over.
#include "render/measure_drawing.h"

namespace quentar::render {

void measureTab(document::Drawing &d, int tab, ViewState &view, Canvas *canvas,
                ContourFigures &figures) {
    // Opening shows the drawing fitted into the window; confirming it fits the 180-pixel square.
    const PageSetup page;
    fitView(d, tab, kDefaultPaintBoxWidth, kDefaultPaintBoxHeight, page, view);
    ZoomFullIn180(d, tab, page, view);
    Vorschaubild(d, tab, view, false, 96, canvas, figures);
}

} // namespace quentar::render
