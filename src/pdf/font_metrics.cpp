// The built-in metrics of a plain sans-serif face, the writer's fallback when no font serves.
#include "pdf/font_metrics.h"

namespace quentar::pdf {

namespace {

// Advance widths of Arial's metric family in thousandths of the em, by WinAnsiEncoding code;
// unassigned codes carry the bullet's width, as WinAnsiEncoding shows them as bullets.
constexpr double kSansWidths[kLastChar - kFirstChar + 1] = {
    278,  278, 355, 556, 556, 889,  667,  191,  333, 333,  389, 584, 278,  333, 278, 278, // 0x20
    556,  556, 556, 556, 556, 556,  556,  556,  556, 556,  278, 278, 584,  584, 584, 556, // 0x30
    1015, 667, 667, 722, 722, 667,  611,  778,  722, 278,  500, 667, 556,  833, 722, 778, // 0x40
    667,  778, 722, 667, 611, 722,  667,  944,  667, 667,  611, 278, 278,  278, 469, 556, // 0x50
    333,  556, 556, 500, 556, 556,  278,  556,  556, 222,  222, 500, 222,  833, 556, 556, // 0x60
    556,  556, 333, 500, 278, 556,  500,  722,  500, 500,  500, 334, 260,  334, 584, 350, // 0x70
    556,  350, 222, 556, 333, 1000, 556,  556,  333, 1000, 667, 333, 1000, 350, 611, 350, // 0x80
    350,  222, 222, 333, 333, 350,  556,  1000, 333, 1000, 500, 333, 944,  350, 500, 667, // 0x90
    278,  333, 556, 556, 556, 556,  260,  556,  333, 737,  370, 556, 584,  333, 737, 552, // 0xa0
    400,  549, 333, 333, 333, 576,  537,  333,  333, 333,  365, 556, 834,  834, 834, 611, // 0xb0
    667,  667, 667, 667, 667, 667,  1000, 722,  667, 667,  667, 667, 278,  278, 278, 278, // 0xc0
    722,  722, 778, 778, 778, 778,  778,  584,  778, 722,  722, 722, 722,  667, 667, 611, // 0xd0
    556,  556, 556, 556, 556, 556,  889,  500,  556, 556,  556, 556, 278,  278, 278, 278, // 0xe0
    556,  556, 556, 556, 556, 556,  556,  549,  611, 556,  556, 556, 556,  500, 556, 500, // 0xf0
};

FontMetrics makeGenericSans() {
    FontMetrics m;
    m.ascent = 728;
    m.descent = -210;
    m.cellAscent = 905;
    m.cellDescent = 212;
    m.capHeight = 688;
    m.bboxLeft = -544;
    m.bboxBottom = -303;
    m.bboxRight = 1302;
    m.bboxTop = 980;
    m.italicAngle = 0;
    m.stemV = 88;
    for (int i = 0; i <= kLastChar - kFirstChar; ++i) m.widths[i] = kSansWidths[i];
    return m;
}

} // namespace

const FontMetrics &genericSansMetrics() {
    static const FontMetrics metrics = makeGenericSans();
    return metrics;
}

} // namespace quentar::pdf
