// Zooming and scrolling the drawing window's view, and the view each tab remembers.
#pragma once

#include "document/drawing.h"
#include "render/view.h"

#include <cstdint>
#include <string>

namespace quentar::render {

// The scroll bars: positions in hundredths of a pixel. The range is wider than the drawing's
// zoom limit needs at the origin, so that a part far from the origin can still be looked at
// closely (at the largest zoom one drawing unit is 10,000 pixels).
inline constexpr int64_t kScrollMin = -2'000'000'000;
inline constexpr int64_t kScrollMax = 2'000'000'000;
inline constexpr int kScrollSmallStep = 2000; // 20 pixels, also one wheel step with Shift/Ctrl
inline constexpr int kScrollLargeStep = 10000;

// Every zoom button and wheel step changes the zoom by this factor.
inline constexpr double kZoomStep = 1.2;

// Keeps both scroll positions within the scroll bars' range.
void clampScroll(ViewState &v);

// Sets the zoom (clamped) so that the drawing point under pixel (px, py) of a paint box of the
// given height stays under it.
void zoomAbout(ViewState &v, int paintBoxHeight, double px, double py, double newZoom);

// "Vergrößern" / "Verkleinern": by kZoomStep about the centre of the paint box.
void zoomInAtCentre(ViewState &v, int paintBoxWidth, int paintBoxHeight);
void zoomOutAtCentre(ViewState &v, int paintBoxWidth, int paintBoxHeight);

// One wheel step at pixel (px, py): with Shift it scrolls sideways, with Ctrl (and no Shift) up
// and down, by kScrollSmallStep; otherwise it zooms about the pointer (up zooms in).
void wheelStep(ViewState &v, int paintBoxHeight, double px, double py, bool up, bool shift,
               bool ctrl);

// Zoom drag of the zoom tool: dragging up zooms in, down zooms out, about the pointer; a drag
// over the whole paint box height changes the zoom by about the current zoom.
struct ZoomDrag {
    int pansy = 0;     // pointer y at the start, pixels
    double pansy2 = 0; // zoom at the start
};
ZoomDrag startZoomDrag(const ViewState &v, int y);
void moveZoomDrag(ViewState &v, const ZoomDrag &drag, int paintBoxHeight, int x, int y);

// Pan drag of the hand tool: the drawing follows the pointer.
struct PanDrag {
    int pansx = 0, pansy = 0;       // pointer at the start, pixels
    int64_t pansx0 = 0, pansy0 = 0; // scroll positions at the start
};
PanDrag startPanDrag(const ViewState &v, int x, int y);
void movePanDrag(ViewState &v, const PanDrag &drag, int x, int y);

// Where the axis icon goes: at the drawing origin, or in the lower left corner (moved) when the
// origin is too close to an edge for the icon to be seen whole.
struct AxisIconPlace {
    int ox = 0, oy = 0;
    bool moved = false;
};
AxisIconPlace axisIconPlace(const ViewState &v, int paintBoxWidth, int paintBoxHeight);

// The status bar text for the pointer at pixel (px, py): "x, y" in drawing units, four decimals.
std::string pointerPositionText(const ViewState &v, int paintBoxHeight, double px, double py);

} // namespace quentar::render
