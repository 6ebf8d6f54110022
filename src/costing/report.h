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
// Appends an empty line and the offer-price text, as CalcAusdruck does with `withOffers`: for a
// caller that has the offer prices already and must not run the engine through the tiers again.
void appendOfferLines(std::vector<ReportLine> &lines, const std::vector<std::string> &offers);

// The font of the report view; on paper the first line is set 14 pt bold and the last 11 pt bold.
inline constexpr const char *kReportFont = "Tahoma";
inline constexpr int kReportFontSize = 8;

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

// A paged surface the whole quotation is laid out on.
class ReportCanvas : public TextSurface {
public:
    // The font of the lines that follow: the report font at `pointSize`.
    virtual void setLineFont(int pointSize, bool bold) = 0;
    virtual void newPage() = 0;
};

// The rectangle the lines fill on every page, edges included.
struct PageArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Lays the lines out one under the other from the top of `area`; a line that would cross its
// bottom starts a new page. The first line is set 14 pt bold, the last 11 pt bold and the rest
// in the report font. The bold goes by position, not by the line's style, so a report with the
// offer prices appended ends with a bold offer line, as it always printed. Returns where the
// last line ends on the last page.
int layoutReport(ReportCanvas &canvas, const std::vector<ReportLine> &lines, PageArea area);

} // namespace quentar::costing
