// Outline metrics of a font, the interface that supplies them, and a fixed supply of them.
#pragma once

#include <array>
#include <string>

namespace quentar::pdf {

// The codes whose widths the writer declares: all printable WinAnsiEncoding codes.
inline constexpr int kFirstChar = 32;
inline constexpr int kLastChar = 255;

// Lengths are thousandths of the em (PDF's glyph space), y up, not rounded.
struct FontMetrics {
    double ascent = 0;      // typographic ascender, positive
    double descent = 0;     // typographic descender, negative
    double cellAscent = 0;  // top of the text cell above the baseline, positive
    double cellDescent = 0; // bottom of the text cell below the baseline, positive
    double capHeight = 0;
    double bboxLeft = 0, bboxBottom = 0, bboxRight = 0, bboxTop = 0;
    double italicAngle = 0; // degrees counter-clockwise from upright; negative leans right
    double stemV = 0;       // dominant vertical stem width, estimated from the weight
    bool fixedPitch = false;
    bool serif = false;
    // Advance of the character each code kFirstChar..kLastChar denotes in WinAnsiEncoding.
    std::array<double, kLastChar - kFirstChar + 1> widths{};

    // The advance of a code; 0 for the control codes below kFirstChar.
    double width(unsigned char code) const {
        return code < kFirstChar ? 0.0 : widths[code - kFirstChar];
    }
};

class FontMetricsSource {
public:
    virtual ~FontMetricsSource() = default;
    // Fills `out` for the family in the given style. False when no outline font serves it.
    virtual bool metrics(const std::string &family, bool bold, bool italic, FontMetrics &out) = 0;
};

// Metrics of a plain sans-serif face with the advance widths of Arial and its metric twins
// (Helvetica, Liberation Sans): what the writer measures with when no installed font serves a
// family, so a document is still laid out sensibly on a machine without fonts.
const FontMetrics &genericSansMetrics();

// The same metrics for every family and style: tests, and machines without fonts.
class FixedFontMetricsSource : public FontMetricsSource {
public:
    explicit FixedFontMetricsSource(const FontMetrics &metrics = genericSansMetrics())
        : metrics_(metrics) {}
    bool metrics(const std::string &, bool, bool, FontMetrics &out) override {
        out = metrics_;
        return true;
    }

private:
    FontMetrics metrics_;
};

} // namespace quentar::pdf
