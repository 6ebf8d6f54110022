// Tests of the page content TPDFCanvas writes: pen, brush and font state, lines, rectangles,
// text and picture placement, and text measurement.
#include "pdf_test_support.h"

namespace quentar::pdf::testing {
namespace {

struct PenCase {
    const char *name;
    Pen pen;
    std::string state; // what ApplyPen writes before the stroke
};

TEST_F(PdfTest, PenWritesDashWidthAndColourThenTheStroke) {
    const PenCase cases[] = {
        {"dash, 2, red", {PenStyle::Dash, 2, {255, 0, 0}}, "[3] 0 d\n2 w\n1 0 0 RG\n"},
        {"solid", {PenStyle::Solid, 1, kBlack}, "[ ] 0 d\n1 w\n0 0 0 RG\n"},
        {"dot", {PenStyle::Dot, 0, {0, 128, 255}}, "[1] 0 d\n0 w\n0 0.501960784313725 1 RG\n"},
        {"dash-dot", {PenStyle::DashDot, 3, kBlack}, "[3 1 1 1] 0 d\n3 w\n0 0 0 RG\n"},
        {"dash-dot-dot", {PenStyle::DashDotDot, 1, kBlack}, "[3 1 1 1 1 1] 0 d\n1 w\n0 0 0 RG\n"},
        {"inside frame", {PenStyle::InsideFrame, 1, kBlack}, "[ ] 0 d\n1 w\n0 0 0 RG\n"},
        {"negative width", {PenStyle::Solid, -4, kBlack}, "[ ] 0 d\n0 w\n0 0 0 RG\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PdfFile pdf = produce([&](TPDFCanvas &canvas) {
            canvas.pen = c.pen;
            canvas.MoveTo(10, 20);
            canvas.LineTo(30, 40);
        });
        EXPECT_EQ(pdf.pageContent(0), c.state + "10 820 m\n30 800 l\nS\n");
    }
}

TEST_F(PdfTest, PenStateIsWrittenOnlyWhenItChanges) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.LineTo(1, 1);
        c.LineTo(2, 2); // same pen
        c.pen.style = PenStyle::Clear;
        c.LineTo(3, 3); // draws nothing, moves
        c.pen.style = PenStyle::Solid;
        c.LineTo(4, 4); // the written pen is still in effect
        c.pen.width = 2;
        c.LineTo(5, 5);
        c.NewPage();
        c.LineTo(6, 6); // a new page starts without state
    });
    EXPECT_EQ(pdf.pageContent(0), "[ ] 0 d\n1 w\n0 0 0 RG\n"
                                  "0 840 m\n1 839 l\nS\n"
                                  "1 839 m\n2 838 l\nS\n"
                                  "3 837 m\n4 836 l\nS\n"
                                  "[ ] 0 d\n2 w\n0 0 0 RG\n"
                                  "4 836 m\n5 835 l\nS\n");
    EXPECT_EQ(pdf.pageContent(1), "[ ] 0 d\n2 w\n0 0 0 RG\n5 835 m\n6 834 l\nS\n");
}

struct RectCase {
    const char *name;
    int x1, y1, x2, y2;
    std::string content;
};

TEST_F(PdfTest, FillRectLeavesOutTheRightAndBottomEdge) {
    const RectCase cases[] = {
        {"the usual case", 10, 10, 20, 30, "1 1 1 rg\n10 811 9 19 re\nf\n"},
        {"reversed corners", 20, 30, 10, 10, "1 1 1 rg\n20 831 -9 -19 re\nf\n"},
        {"one unit", 5, 5, 6, 6, "1 1 1 rg\n5 835 0 0 re\nf\n"},
        {"no width", 10, 10, 10, 30, ""},
        {"no height", 10, 10, 20, 10, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PdfFile pdf =
            produce([&](TPDFCanvas &canvas) { canvas.FillRect(c.x1, c.y1, c.x2, c.y2); });
        EXPECT_EQ(pdf.pageContent(0), c.content);
    }
}

TEST_F(PdfTest, RectangleFillsAndOutlinesByPenAndBrush) {
    const struct {
        const char *name;
        PenStyle pen;
        BrushStyle brush;
        std::string content;
    } cases[] = {
        {"pen and brush", PenStyle::Solid, BrushStyle::Solid,
         "[ ] 0 d\n1 w\n0 0 0 RG\n1 1 1 rg\n10 811 9 19 re\nB\n"},
        {"clear pen is a fill", PenStyle::Clear, BrushStyle::Solid,
         "1 1 1 rg\n10 811 9 19 re\nf\n"},
        {"clear brush is an outline", PenStyle::Solid, BrushStyle::Clear,
         "[ ] 0 d\n1 w\n0 0 0 RG\n"
         "10 830 m\n19 830 l\nS\n19 830 m\n19 811 l\nS\n"
         "19 811 m\n10 811 l\nS\n10 811 m\n10 830 l\nS\n"},
        {"both clear", PenStyle::Clear, BrushStyle::Clear, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PdfFile pdf = produce([&](TPDFCanvas &canvas) {
            canvas.pen.style = c.pen;
            canvas.brush.style = c.brush;
            canvas.Rectangle(10, 10, 20, 30);
        });
        EXPECT_EQ(pdf.pageContent(0), c.content);
    }
}

TEST_F(PdfTest, FontIsSelectedOncePerPage) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.font.size = 10;
        c.TextOut(50, 100, "one");
        c.TextOut(50, 112, "two");
        c.NewPage();
        c.TextOut(50, 100, "three");
    });
    // Cell of 900 + 300 thousandths at 10 points: 12 units; 841 - 100 - 12 - 1 = 728.
    const std::string first = "BT\n0 0 0 rg\n/F1 10 Tf\n50 728 Td (one) Tj\nET\n";
    EXPECT_EQ(pdf.pageContent(0), first + "BT\n50 716 Td (two) Tj\nET\n");
    EXPECT_EQ(pdf.pageContent(1), "BT\n0 0 0 rg\n/F1 10 Tf\n50 728 Td (three) Tj\nET\n");
}

TEST_F(PdfTest, FontChangesSelectAgainAndNumberFontsByNameAndStyle) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.font.size = 10;
        c.TextOut(0, 0, "a");
        c.font.size = 12;
        c.TextOut(0, 0, "b"); // same font, new size
        c.font.style = kBold;
        c.TextOut(0, 0, "c"); // second font
        c.font.style = 0;
        c.font.name = "Tahoma";
        c.TextOut(0, 0, "d"); // third font
        c.font.name = "Microsoft Sans Serif";
        c.font.color = {255, 0, 0};
        c.TextOut(0, 0, "e"); // first font again, new colour
    });
    const std::string content = pdf.pageContent(0);
    EXPECT_EQ(linesEndingWith(content, " Tf"),
              "/F1 10 Tf;/F1 12 Tf;/F2 12 Tf;/F3 12 Tf;/F1 12 Tf;");
    EXPECT_NE(content.find("1 0 0 rg\n/F1 12 Tf\n"), std::string::npos);
    EXPECT_NE(pdf.object(5).find("/BaseFont /Microsoft#20Sans#20Serif,Bold\n"), std::string::npos);
    EXPECT_NE(pdf.object(6).find("/BaseFont /Tahoma\n"), std::string::npos);
}

TEST_F(PdfTest, TextIsEscapedAndWrittenInWindows1252) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.TextOut(0, 0, "(a\\b)");
        c.TextOut(0, 0, "St\xC3\xA4rke 5 \xE2\x82\xAC \xE2\x86\x92\tx");
    });
    const std::string content = pdf.pageContent(0);
    EXPECT_NE(content.find(" Td (\\(a\\\\b\\)) Tj\n"), std::string::npos);
    EXPECT_NE(content.find(" Td (St\xE4rke 5 \x80 ?\\tx) Tj\n"), std::string::npos);
}

TEST_F(PdfTest, FillColourFollowsBrushAndTextWithoutRepeating) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.brush.color = kBlack;
        c.FillRect(0, 0, 2, 2); // black fill
        c.TextOut(0, 0, "a");   // black text: no new colour
        c.brush.color = {255, 0, 0};
        c.brush.style = BrushStyle::Clear;
        c.Rectangle(0, 0, 2, 2); // clear brush writes no colour...
        c.font.color = {255, 0, 0};
        c.TextOut(0, 0, "b"); // ...so red text needs its own
        c.brush.style = BrushStyle::Solid;
        c.FillRect(0, 0, 2, 2); // red fill already in effect
        c.font.color = kBlack;
        c.TextOut(0, 0, "c");
        c.FillRect(0, 0, 2, 2); // back to red
    });
    EXPECT_EQ(linesEndingWith(pdf.pageContent(0), " rg"), "0 0 0 rg;1 0 0 rg;0 0 0 rg;1 0 0 rg;");
}

TEST_F(PdfTest, PicturesArePlacedScaledIntoTheirBox) {
    const PdfFile pdf = produce([](TPDFCanvas &c) {
        c.DrawDIB(404, 50, 141, 70, solidImage(200, 100, kWhite), 0, 0, 200, 100);
        c.DrawDIBOfImageNr(10, 20, 0, -5, 0);
    });
    EXPECT_EQ(pdf.pageContent(0), "q\n140 0 0 69 404 722 cm\n/Im0 Do\nQ\n"
                                  "q\n1 0 0 -4 10 825 cm\n/Im0 Do\nQ\n");
    EXPECT_NE(pdf.object(8).find("/Width 200 /Height 100 "), std::string::npos);
}

TEST_F(PdfTest, RawWritesGoToThePageAndNothingIsDrawnOutsideADocument) {
    TPDFCanvas canvas(simpleSource());
    canvas.TextOut(0, 0, "before");
    canvas.writeln("% before");
    ASSERT_TRUE(canvas.BeginDoc(path("out.pdf")));
    canvas.write("0 g");
    canvas.writeln(" % raw");
    ASSERT_TRUE(canvas.EndDoc());
    canvas.FillRect(0, 0, 5, 5);
    EXPECT_EQ(PdfFile(readFile(path("out.pdf"))).pageContent(0), "0 g % raw\n");
}

TEST(PdfMeasure, TextIsMeasuredInTheDeclaredWidthsAtSeventyTwoPixelsPerInch) {
    FontMetrics metrics = simpleMetrics();
    metrics.widths['W' - kFirstChar] = 944.9; // declared as 944
    metrics.widths[0x80 - kFirstChar] = 556;
    TPDFCanvas canvas(std::make_shared<FixedFontMetricsSource>(metrics));
    const struct {
        const char *text;
        int size;
        int width;
        int height;
    } cases[] = {
        {"", 10, 0, 12},     // no text, still a cell
        {"ab", 10, 10, 12},  // 2 x 500 thousandths of 10 points
        {"a b", 11, 14, 14}, // 1250 x 11 / 1000 = 13.75, rounded up; 9.9 + 3.3 -> 10 + 4
        {"W", 100, 95, 120}, // 944 x 100 / 1000 = 94.4, rounded up
        {"\xE2\x82\xAC", 1000, 556, 1200}, // the euro is one WinAnsi code
        {"\t", 10, 0, 12},                 // control codes have no width
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        canvas.font.size = c.size;
        EXPECT_EQ(canvas.TextWidth(c.text), c.width);
        EXPECT_EQ(canvas.TextHeight(c.text), c.height);
    }
}

} // namespace
} // namespace quentar::pdf::testing
