// The quotation's lines, their conditions, and the wrapping layout of a line.
#include "costing/report.h"
#include "costing/report_pdf.h"
#include "pdf/font_metrics.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace quentar::costing;

namespace {

std::vector<std::string> texts(const std::vector<ReportLine> &lines) {
    std::vector<std::string> out;
    for (const auto &l : lines) out.push_back(l.text);
    return out;
}

bool has(const std::vector<std::string> &lines, const std::string &text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// Every character 10 units wide, lines 12 high; records what is drawn where.
class GridSurface : public TextSurface {
public:
    struct Out {
        int x, y;
        std::string text;
    };
    std::vector<Out> drawn;
    int textWidth(std::string_view t) override { return 10 * static_cast<int>(t.size()); }
    int textHeight(std::string_view) override { return 12; }
    void textOut(int x, int y, std::string_view t) override { drawn.push_back({x, y, std::string(t)}); }
};

} // namespace

TEST(Report, PlainCaseHasTwentyEightLines) {
    Calculator calc("/nonexistent/quentar-report-test");
    const auto lines = CalcAusdruck(calc, "Bracket", false);
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines.front().text, "Quentar Bracket");
    EXPECT_EQ(lines.front().style, ReportLine::Style::Title);
    EXPECT_EQ(lines.back().style, ReportLine::Style::Total);
    EXPECT_EQ(lines.back().text.rfind("Gesamtpreis: ", 0), 0u);
    EXPECT_TRUE(has(texts(lines), "Programmieraufwand: 00:05:00 hh:mm:ss"));
}

// Every line against the figure it must show: each field holds a figure no other field shows, so
// a line that takes its figure from the wrong field cannot pass.
TEST(Report, EveryLineShowsItsOwnField) {
    Calculator calc("/nonexistent/quentar-report-test");
    calc.WaehrEd = "CHF";
    Engine &e = calc.engine();
    const std::pair<const char *, const char *> inputs[] = {
        {"MaterialBoxEd", "Stahl"},
        {"breited", "100.5"},
        {"hoched", "60.25"},
        {"KonturmmEd", "1234.56"},
        {"MatstarkEd", "2.5"},
        {"MatPreisEd", "4.56"},
        {"vorschubed", "9.87"},
        {"StueckEd", "7"},
        {"RabattEd", "3.5"},
        {"StundensatzEd", "111"},
        {"InitialEd", "0:12:34"},
        {"ProgrammierEd", "0:23:45"},
        {"DateTimePicker2", "1:02:03"},
        {"AnzLochEd", "3"},
        {"DurchMesserEd", "4.5"},
        {"EinstechzeitEd", "0:00:07"},
        {"KleinMengenEd", "12.34"},
        {"TransportEd", "23.45"},
        {"GewinnAufschlagEd", "33.3"},
        // The results, typed over from the top of the chain down so each keeps its own figure.
        {"LaserZeitEd", "26:01:02"},
        {"GewichtEd", "8.88"},
        {"TeilgewichtEd", "0.99"},
        {"matkostenEd", "1.11"},
        {"SchneidkostenEd", "2.22"},
        {"lohnkostened", "7.77"},
        {"GesamtKostenEd", "4.44"},
        {"PreisProStueckEd", "5.55"},
        {"GesamtPreisEd", "66.66"},
    };
    for (const auto &[name, text] : inputs) ASSERT_TRUE(e.field(name)->setText(text)) << name;
    const std::vector<std::string> expected = {
        "Quentar Halter",
        "",
        "Material: Stahl",
        "Stärke: 2.5 mm",
        "Preis/Kg: 4.56 CHF",
        "Menge: 7 Stück",
        "Maschinenstundensatz: 111 CHF",
        "Rabatt auf Maschinenstundensatz: 3.5 %",
        "Initialaufwand: 00:12:34 hh:mm:ss",
        "Programmieraufwand: 00:23:45 hh:mm:ss",
        "Angebot erstellen: 01:02:03 hh:mm:ss",
        "",
        "Breite der Fläche: 100.5 mm",
        "Länge der Fläche: 60.25 mm",
        "Konturlänge: 1234.56 mm",
        "Konturlänge der Löcher: 42 mm", // 3 x 4.5 x pi = 42.41
        "Einstechzeit für Löcher: 00:00:21 hh:mm:ss",
        "",
        "Vorschub: 9.87 m/min",
        "Laserzeit/Stück: 26:01:02 hh:mm:ss",
        "",
        "Materialkosten/Stück: 1.11 CHF",
        "Laserkosten/Stück: 2.22 CHF",
        "Transportkosten/Stück: 23.45 CHF",
        "Lohnkosten: 7.77 CHF",
        "Gesamtkosten/Stück: 4.44 CHF",
        "",
        "Gewicht/Stück: 0.99 Kg",
        "Materialverbrauch/Stück: 8.88 Kg",
        "Gewinnaufschlag: 33.3 %",
        "Preis/Stück: 5.55 CHF",
        "Kleinmengenzuschlag: 12.34 CHF",
        "Transport: 23.45 CHF",
        "Gesamtpreis: 66.66 CHF",
    };
    EXPECT_EQ(texts(CalcAusdruck(calc, "Halter", false)), expected);
}

TEST(Report, ConditionalLines) {
    Calculator calc("/nonexistent/quentar-report-test");
    Engine &e = calc.engine();
    e.AnzLochEd.setText("2");
    e.DurchMesserEd.setText("10");
    e.EinstechzeitEd.setTime(0, 0, 3);
    e.TransportproStueckCheck.setText("True");
    e.TransportEd.setText("5.00");
    e.effortTime(3).setTime(1, 30, 0);
    // The tenth row has a line of its own, under its own name.
    calc.effortNames[9] = "Nacharbeit";
    e.effortTime(10).setTime(0, 45, 0);
    const auto t = texts(CalcAusdruck(calc, "", false));
    EXPECT_TRUE(has(t, "Nacharbeit: 00:45:00 hh:mm:ss"));
    EXPECT_TRUE(has(t, "Konturlänge der Löcher: 62 mm")); // 62.83 truncated
    EXPECT_TRUE(has(t, "Einstechzeit für Löcher: 00:00:06 hh:mm:ss"));
    EXPECT_TRUE(has(t, "Transportkosten/Stück: 5.00 EUR"));
    EXPECT_TRUE(has(t, "Die Kosten für den Programmieraufwand werden nur für das erste Stück "
                       "berechnet."));
    EXPECT_TRUE(has(t, "Arbeitsvorbereitung: 01:30:00 hh:mm:ss"));
    for (const auto &line : t) EXPECT_NE(line.rfind("Transport: ", 0), 0u) << line;
}

TEST(Report, LinesWrapAtTheLastSpaceAndLongWordsBreak) {
    GridSurface s;
    // 10 characters fit; each break goes back to the last space, which stays on its line.
    const int h = layoutLine(s, 5, 100, true, 100, "Preis pro Stueck und Monat");
    ASSERT_EQ(s.drawn.size(), 3u);
    EXPECT_EQ(s.drawn[0].text, "Preis pro ");
    EXPECT_EQ(s.drawn[1].text, "Stueck ");
    EXPECT_EQ(s.drawn[2].text, "und Monat");
    EXPECT_EQ(s.drawn[1].y, 112);
    EXPECT_EQ(h, 36);
    s.drawn.clear();
    layoutLine(s, 0, 0, true, 50, "Laserschneidkosten");
    ASSERT_EQ(s.drawn.size(), 4u);
    EXPECT_EQ(s.drawn[0].text, "Laser");
    EXPECT_EQ(layoutLine(s, 0, 0, false, 50, ""), 12); // an empty line takes the height of "L"
}

TEST(Report, PdfStartsANewPageWhenALineWouldCrossTheMargin) {
    quentar::pdf::TPDFCanvas canvas(
        std::make_shared<quentar::pdf::FixedFontMetricsSource>(quentar::pdf::genericSansMetrics()));
    std::vector<ReportLine> lines{{"Title", ReportLine::Style::Title}};
    for (int i = 0; i < 200; ++i) lines.push_back({"Line " + std::to_string(i)});
    lines.push_back({"Gesamtpreis: 1.00 EUR", ReportLine::Style::Total});
    const auto path = std::filesystem::temp_directory_path() / "quentar_report_pages.pdf";
    ASSERT_TRUE(exportReportPdf(lines, path.string(), nullptr, canvas));
    EXPECT_GT(canvas.pageCount(), 1);
    std::filesystem::remove(path);
    EXPECT_FALSE(exportReportPdf(lines, "/nonexistent/dir/q.pdf", nullptr, canvas));
}

TEST(Report, PagesTakeTheLinesInOrderWithTheFontByPosition) {
    // A line is as high as its point size; records what is drawn on which page.
    struct PagedSurface : ReportCanvas {
        struct Out {
            int page, y, size;
            bool bold;
            std::string text;
        };
        std::vector<Out> drawn;
        int page = 1, size = 0;
        bool bold = false;
        int textWidth(std::string_view t) override { return static_cast<int>(t.size()); }
        int textHeight(std::string_view) override { return size; }
        void textOut(int, int y, std::string_view t) override {
            drawn.push_back({page, y, size, bold, std::string(t)});
        }
        void setLineFont(int pointSize, bool b) override {
            size = pointSize;
            bold = b;
        }
        void newPage() override { ++page; }
    } s;
    // The last line is an offer line: bold by its place, whatever its style.
    const std::vector<ReportLine> lines{{"Quentar", ReportLine::Style::Title},
                                        {"a"},
                                        {"Gesamtpreis", ReportLine::Style::Total},
                                        {"b"},
                                        {"Angebotspreis"}};
    layoutReport(s, lines, {5, 10, 100, 40});
    ASSERT_EQ(s.drawn.size(), 5u);
    const struct {
        int page, y, size;
        bool bold;
    } expected[] = {{1, 10, 14, true}, {1, 24, 8, false}, {1, 32, 8, false}, // ends on the edge
                    {2, 10, 8, false}, {2, 18, 11, true}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(s.drawn[i].text, lines[i].text);
        EXPECT_EQ(s.drawn[i].page, expected[i].page) << i;
        EXPECT_EQ(s.drawn[i].y, expected[i].y) << i;
        EXPECT_EQ(s.drawn[i].size, expected[i].size) << i;
        EXPECT_EQ(s.drawn[i].bold, expected[i].bold) << i;
    }
}
