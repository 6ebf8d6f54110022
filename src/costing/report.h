// The quotation: its lines as the "Ausdruck" page shows them, and the layout of a line on a page.
#pragma once

#include "costing/calculator.h"

#include <string>
#include <string_view>
#include <vector>

namespace quentar::costing {

struct ReportLine {
    enum class Style { Title, Normal, Total }; // bold 14 pt, regular 11 pt, bold 11 pt
    std::string text;
    Style style = Style::Normal;
};

// CalcAusdruck: the report from the fields as they show now. With `withOffers`, an empty line and
// the offer-price text follow (the engine is run through every tier and restored).
std::vector<ReportLine> CalcAusdruck(Calculator &calc, const std::string &projectName,
                                     bool withOffers);

// A surface a report line is laid out on (printer canvas or PDF canvas), in its own units.
class TextSurface {
public:
    virtual ~TextSurface() = default;
    virtual int textWidth(std::string_view text) = 0;
    virtual int textHeight(std::string_view text) = 0;
    virtual void textOut(int x, int y, std::string_view text) = 0;
};

// Lays out one line of text at (x, y) in `width` units, wrapping at the last space before the
// character that would overflow; a continuation does not start with a space. A single word wider
// than the line is broken where it overflows rather than running past the margin. Draws only when
// `draw`. Returns the height used (one line height of "L" for an empty text).
int layoutLine(TextSurface &surface, int x, int y, bool draw, int width, std::string_view text);

} // namespace quentar::costing
