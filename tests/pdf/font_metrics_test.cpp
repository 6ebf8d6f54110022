// Tests of the font metrics: the built-in sans-serif widths, the installed fonts read through
// fontconfig and FreeType, and the canvas falling back when no font serves.
#include "pdf/freetype_font_metrics.h"
#include "pdf/pdf_canvas.h"

#include <gtest/gtest.h>

#include <numeric>

namespace quentar::pdf {
namespace {

double widthOf(const FontMetrics &m, unsigned char code) { return m.width(code); }

TEST(PdfFontMetrics, GenericSansHasArialWidthsByWinAnsiCode) {
    const FontMetrics &m = genericSansMetrics();
    const std::pair<unsigned char, double> cases[] = {{' ', 278},
                                                      {'a', 556},
                                                      {'W', 944},
                                                      {'i', 222},
                                                      {0x80, 556} /* euro */,
                                                      {0x81, 350} /* unassigned: bullet */,
                                                      {0xE4, 556} /* a umlaut */,
                                                      {0x97, 1000} /* em dash */,
                                                      {'\t', 0}};
    for (const auto &[code, width] : cases) EXPECT_EQ(widthOf(m, code), width) << +code;
    EXPECT_GT(m.cellAscent, m.ascent);
    EXPECT_LT(m.descent, 0);
}

// A source that knows no font at all.
class NoFonts : public FontMetricsSource {
public:
    bool metrics(const std::string &, bool, bool, FontMetrics &) override { return false; }
};

TEST(PdfFontMetrics, CanvasMeasuresWithGenericSansWhenNoFontServes) {
    TPDFCanvas canvas(std::make_shared<NoFonts>());
    canvas.font.size = 1000;
    EXPECT_EQ(canvas.TextWidth("a W"), 556 + 278 + 944);
    EXPECT_EQ(canvas.TextHeight("a"), 905 + 212);
}

class InstalledFonts : public ::testing::Test {
protected:
    void SetUp() override {
        FontMetrics probe;
        if (!source_.metrics("sans-serif", false, false, probe))
            GTEST_SKIP() << "no scalable font installed";
    }
    FontMetrics get(const char *family, bool bold, bool italic) {
        FontMetrics m;
        EXPECT_TRUE(source_.metrics(family, bold, italic, m)) << family;
        return m;
    }
    FreeTypeFontMetricsSource source_;
};

TEST_F(InstalledFonts, ReportFamiliesResolveToOutlineMetrics) {
    for (const char *family : {"Arial", "Tahoma", "Microsoft Sans Serif"}) {
        SCOPED_TRACE(family);
        const FontMetrics m = get(family, false, false);
        EXPECT_GT(m.ascent, 500);
        EXPECT_LT(m.descent, -100);
        EXPECT_GE(m.cellAscent, m.ascent);
        EXPECT_GT(m.capHeight, 500);
        EXPECT_LT(m.bboxLeft, m.bboxRight);
        EXPECT_LT(m.bboxBottom, m.bboxTop);
        EXPECT_GT(widthOf(m, 'W'), widthOf(m, 'i'));
        EXPECT_GT(widthOf(m, 0x80), 0); // the euro
        EXPECT_FALSE(m.fixedPitch);
    }
}

TEST_F(InstalledFonts, StylesChangeTheMetrics) {
    const FontMetrics regular = get("Arial", false, false);
    const FontMetrics bold = get("Arial", true, false);
    const FontMetrics italic = get("Arial", false, true);
    EXPECT_GT(bold.stemV, regular.stemV);
    EXPECT_GT(std::accumulate(bold.widths.begin(), bold.widths.end(), 0.0),
              std::accumulate(regular.widths.begin(), regular.widths.end(), 0.0));
    EXPECT_LT(italic.italicAngle, 0);
    EXPECT_EQ(regular.italicAngle, 0);
}

TEST_F(InstalledFonts, LiberationSansMeasuresAsArial) {
    FontMetrics m = get("Arial", false, false);
    if (source_.lastFile().find("LiberationSans") == std::string::npos)
        GTEST_SKIP() << "Arial resolves to " << source_.lastFile();
    // The metric twin has Arial's widths to the thousandth; the built-in table holds them.
    for (int code = kFirstChar; code <= kLastChar; ++code) {
        SCOPED_TRACE(code);
        EXPECT_NEAR(widthOf(m, static_cast<unsigned char>(code)),
                    widthOf(genericSansMetrics(), static_cast<unsigned char>(code)), 0.5);
    }
}

TEST_F(InstalledFonts, CourierIsFixedPitchWithSerifs) {
    const FontMetrics m = get("Courier New", false, false);
    if (source_.lastFile().find("LiberationMono") == std::string::npos)
        GTEST_SKIP() << "Courier New resolves to " << source_.lastFile();
    EXPECT_TRUE(m.fixedPitch);
    EXPECT_TRUE(m.serif);
    EXPECT_EQ(widthOf(m, 'i'), widthOf(m, 'W'));
}

} // namespace
} // namespace quentar::pdf
