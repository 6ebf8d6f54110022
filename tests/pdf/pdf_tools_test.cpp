// Checks of produced files with the tools readers rely on: qpdf --check finds nothing, pdftotext
// gives the text back, pdftoppm paints fills and pictures where they were put. Skipped where the
// tools are missing (the CI has them).
#include "pdf_test_support.h"

#include <array>

namespace quentar::pdf::testing {
namespace {

struct ToolRun {
    int status = -1;
    std::string output; // standard output and error together
};

ToolRun run(const std::string &command) {
    ToolRun result;
    FILE *pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        result.output.append(buf.data(), n);
    result.status = ::pclose(pipe);
    return result;
}

bool haveTool(const char *name) {
    return run(std::string("command -v ") + name + " >/dev/null").status == 0;
}

// Everything the writer can put in a file, measured in the installed fonts.
void drawEverything(TPDFCanvas &c) {
    c.font.name = "Tahoma";
    c.font.size = 14;
    c.font.style = kBold;
    c.TextOut(50, 50, "Quentar Angebot (Test) \\ 1");
    c.font.size = 11;
    c.font.style = 0;
    const int line = c.TextHeight("L");
    c.TextOut(50, 50 + 2 * line, "St\xC3\xA4rke: 2,00 mm");
    c.TextOut(50, 50 + 3 * line,
              "Preis/St\xC3\xBC"
              "ck: 5,00 \xE2\x82\xAC");
    c.font.name = "Microsoft Sans Serif";
    c.font.style = kItalic | kUnderline;
    c.TextOut(50, 50 + 4 * line, "Pfeil \xE2\x86\x92 und Tab\tEnde");
    c.DrawDIB(100, 300, 100, 50, solidImage(8, 4, {255, 0, 0}), 0, 0, 8, 4);
    c.brush.color = {0, 0, 255};
    c.FillRect(300, 300, 400, 350);
    c.pen = {PenStyle::DashDot, 2, {0, 128, 0}};
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(50, 400, 545, 500);
    c.NewPage();
    c.DrawDIBOfImageNr(50, 50, 40, 20, 0);
    c.DrawDIB(50, 100, 10, 10, solidImage(70000, 1, kWhite), 0, 0, 1, 1); // cannot be a JPEG
    c.font.name = "Arial";
    c.font.style = kBold | kItalic;
    c.TextOut(50, 200, "Seite zwei");
    c.NewPage(); // an empty last page
}

class PdfTools : public PdfTest {
protected:
    void SetUp() override {
        PdfTest::SetUp();
        if (!haveTool("qpdf") || !haveTool("pdftotext") || !haveTool("pdftoppm"))
            GTEST_SKIP() << "qpdf or poppler-utils missing";
    }

    std::string writeWith(const char *name, void (*draw)(TPDFCanvas &)) {
        TPDFCanvas canvas; // the installed fonts, as the program measures
        EXPECT_TRUE(canvas.BeginDoc(path(name)));
        draw(canvas);
        EXPECT_TRUE(canvas.EndDoc());
        return path(name);
    }
};

TEST_F(PdfTools, QpdfFindsNothingToReport) {
    const std::string files[] = {writeWith("empty.pdf", [](TPDFCanvas &) {}),
                                 writeWith("full.pdf", drawEverything)};
    for (const std::string &file : files) {
        SCOPED_TRACE(file);
        const ToolRun check = run("qpdf --check " + file);
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos)
            << check.output;
        EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
    }
}

TEST_F(PdfTools, PdftotextGivesTheTextBack) {
    const std::string file = writeWith("full.pdf", drawEverything);
    const ToolRun text = run("pdftotext -enc UTF-8 " + file + " -");
    ASSERT_EQ(text.status, 0) << text.output;
    for (const char *expected : {"Quentar Angebot (Test) \\ 1", "St\xC3\xA4rke: 2,00 mm",
                                 "Preis/St\xC3\xBC"
                                 "ck: 5,00 \xE2\x82\xAC",
                                 "Pfeil ? und Tab", "Seite zwei"}) {
        EXPECT_NE(text.output.find(expected), std::string::npos) << expected << "\n" << text.output;
    }
    // Three pages: two form feeds between them and one after the last.
    EXPECT_EQ(std::count(text.output.begin(), text.output.end(), '\f'), 3);
}

TEST_F(PdfTools, PdftoppmPaintsPicturesAndFillsInPlace) {
    const std::string file = writeWith("full.pdf", drawEverything);
    const ToolRun render = run("pdftoppm -r 72 -f 1 -l 1 -singlefile " + file + " " + path("page"));
    ASSERT_EQ(render.status, 0) << render.output;
    const std::string ppm = readFile(path("page.ppm"));
    // "P6\n594 840\n255\n": one pixel per page unit.
    const std::string header = "P6\n594 840\n255\n";
    ASSERT_EQ(ppm.compare(0, header.size(), header), 0) << ppm.substr(0, 20);
    const auto pixel = [&](int x, int y) {
        const std::size_t at = header.size() + (static_cast<std::size_t>(y) * 594 + x) * 3;
        return Color{static_cast<std::uint8_t>(ppm[at]), static_cast<std::uint8_t>(ppm[at + 1]),
                     static_cast<std::uint8_t>(ppm[at + 2])};
    };
    const auto near = [](Color a, Color b) {
        return std::abs(a.r - b.r) < 16 && std::abs(a.g - b.g) < 16 && std::abs(a.b - b.b) < 16;
    };
    const struct {
        const char *what;
        int x, y;
        Color color;
    } probes[] = {{"picture", 150, 325, {255, 0, 0}},
                  {"fill", 350, 325, {0, 0, 255}},
                  {"left of the picture", 95, 325, kWhite},
                  {"inside the outline", 300, 450, kWhite},
                  {"below the fill", 350, 355, kWhite}};
    for (const auto &p : probes) {
        const Color c = pixel(p.x, p.y);
        EXPECT_TRUE(near(c, p.color)) << p.what << ": " << +c.r << " " << +c.g << " " << +c.b;
    }
}

} // namespace
} // namespace quentar::pdf::testing
