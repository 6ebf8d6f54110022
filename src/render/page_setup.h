// The print settings ("Drucken/Seite einrichten") and the sheet, fit and print pass made of them.
#pragma once

#include "document/drawing.h"
#include "render/canvas.h"
#include "render/colors.h"
#include "render/render_pass.h"
#include "render/view.h"

namespace quentar::render {

// Limits of the scale fields (four decimals are shown).
inline constexpr double kScaleFieldMin = 0.0001;
inline constexpr double kScaleFieldMax = 10'000'000'000.0;
// Limits of the offset and margin fields, mm.
inline constexpr double kOffsetFieldLimit = 1'000'000.0;
inline constexpr double kMarginFieldMax = 100'000.0;

// Where the drawing goes on the page.
enum class PagePlacement : int {
    Origin = 0,       // its origin at the margin's corner, moved by the offsets
    FitToPage = 1,    // what it draws as large as fits within the margin, centred
    CentreOnPage = 2, // what it draws centred within the margin, at the chosen scale
};

// The values the dialog keeps between program runs, under these names.
struct PrintSettings {
    double mmEd = 1;      // millimetres on paper ...
    double UnitsEd = 1;   // ... for this many drawing units
    double XOffsetEd = 0; // drawing origin right of the margin's inner edge, mm
    double YOffsetEd = 0; // drawing origin above the margin's inner edge, mm
    double RandEd = 0;    // page margin on every side, mm
    PagePlacement placement = PagePlacement::Origin;

    // q: millimetres on paper per drawing unit.
    double scale() const { return mmEd / UnitsEd; }
    bool operator==(const PrintSettings &) const = default;
};

// Brings values read from a settings file into the fields' ranges (NaN becomes the start value).
void clampPrintSettings(PrintSettings &s);

// The "Zoll" twins of the millimetre fields.
inline double inchesFromMm(double mm) { return mm / kMmPerInch; }
inline double mmFromInches(double inches) { return inches * kMmPerInch; }

// The printable page of the current printer.
struct PrinterPage {
    double widthPx = 4961, heightPx = 7016; // A4 portrait at 600 pixels per inch
    double ppi = 600;
    double widthMm() const { return widthPx / ppi * kMmPerInch; }
    double heightMm() const { return heightPx / ppi * kMmPerInch; }
};

// The settings that print the drawing where `s` places it, when what its tab draws lies in
// `drawn` (drawing units; null: it draws nothing): for a fit or a centring, the scale and offsets
// of the origin placement that put it there. The sheet on screen and the print pass both follow
// them, so the print preview shows the drawing where it prints. Not brought into the fields'
// ranges: a part far from the origin needs an offset as far.
PrintSettings placedSettings(const PrintSettings &s, const PrinterPage &page,
                             const ExtentBox *drawn);

// What fitting a paper layout needs of the page and the scale.
PageSetup pageSetupFor(const PrintSettings &s, const PrinterPage &page);

// A rectangle in drawing units.
struct DrawingRect {
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
};
// The sheet of paper, placed so that the drawing origin lies XO + R right of and YO + R above
// its lower left corner.
DrawingRect paperSheet(const PrintSettings &s, const PrinterPage &page);
// The margin frame: what lies inside it is what the printer prints.
DrawingRect marginFrame(const PrintSettings &s, const PrinterPage &page);

// The margin rectangle on the printed page, printer pixels; right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
PixelRect printClip(const PrintSettings &s, const PrinterPage &page);

// The render pass parameters of a printed page: one drawing unit is q millimetres, the origin
// XO + R millimetres right of the printable left edge and YO + R above the bottom edge.
DrawParams printParams(const PrintSettings &s, const PrinterPage &page, const TabView &tab,
                       bool showweight);

// Prints tab `tab` of `d` on a page through `canvas`: clipped to the margin, to scale, in print
// colours without grips. The figures are not reset: they gain the print pass's.
void printTab(const document::Drawing &d, int tab, const PrintSettings &s, const PrinterPage &page,
              bool showweight, Canvas &canvas, ContourFigures &figures);

} // namespace quentar::render
