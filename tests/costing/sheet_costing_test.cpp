// Material by the sheet: the formats file, the outlines taken from a measured drawing, and the
// figures (pieces per sheet, sheets, utilisation, cost per piece) beside the blank method.
#include "../dxf/dxf_builder.h"
#include "costing/engine.h"
#include "costing/sheet_costing.h"
#include "costing_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace quentar::costing {
namespace {

using quentar::testing::concat;
using quentar::testing::entitiesSection;
using quentar::testing::Groups;

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A closed LWPOLYLINE through the points.
Groups outline(const std::vector<std::pair<double, double>> &pts) {
    Groups g{{0, "LWPOLYLINE"}, {8, "0"}, {90, std::to_string(pts.size())}, {70, "1"}};
    for (const auto &[x, y] : pts) {
        g.push_back({10, num(x)});
        g.push_back({20, num(y)});
    }
    return g;
}
Groups circle(double cx, double cy, double r) {
    return {{0, "CIRCLE"}, {8, "0"}, {10, num(cx)}, {20, num(cy)}, {40, num(r)}};
}
Groups line(double x1, double y1, double x2, double y2) {
    return {{0, "LINE"}, {8, "0"}, {10, num(x1)}, {20, num(y1)}, {11, num(x2)}, {21, num(y2)}};
}
Groups rectangle(double w, double h) { return outline({{0, 0}, {w, 0}, {w, h}, {0, h}}); }

struct Measured {
    document::Drawing drawing;
    render::DrawingMeasurement m;
};
Measured measure(const Groups &entities) {
    Measured out{quentar::testing::read(entitiesSection(entities)), {}};
    out.m = render::measureDrawing(out.drawing, {});
    return out;
}

// The engine with the default catalogue: Edelstahl, 3.00 per kg, 7.8 kg/dm³, 1 mm, 20 % mark-up.
class SheetCosting : public ::testing::Test {
  protected:
    SheetCosting() {
        catalogue.addDefaults();
        engine.updateMaterialBox();
        engine.MaterialBoxEdChange();
    }
    SheetFigures figures(const Groups &entities, SheetFormatRow format, int quantity,
                         SheetSettings settings = {}) {
        engine.StueckEd.setText(std::to_string(quantity));
        Measured d = measure(entities);
        takeOver(d);
        return sheetFigures(outlinesOf(d.drawing, d.m, settings.islandsInPlace),
                            d.m.warnings.size(), format, settings, engine);
    }
    void takeOver(const Measured &d) {
        DrawingFigures f;
        f.konturlang = d.m.konturlang;
        f.konturminx = d.m.minx;
        f.konturmaxx = d.m.maxx;
        f.konturminy = d.m.miny;
        f.konturmaxy = d.m.maxy;
        f.flaechen = d.m.areas;
        engine.takeOverDrawing(f);
    }
    Catalogue catalogue;
    TierList tiers;
    Engine engine{catalogue, tiers};
};

TEST_F(SheetCosting, RectanglesFillOneSheetAndTheTenthStartsAnother) {
    const SheetFormatRow f{"Edelstahl", 3000, 1500, 0, 0, 100.0};
    for (RemnantPolicy policy : {RemnantPolicy::WholeSheets, RemnantPolicy::UsedFraction}) {
        SheetSettings s;
        s.remnant = policy;
        const SheetFigures r = figures(rectangle(1000, 500), f, 10, s);
        ASSERT_TRUE(r.valid) << r.refusalEnglish;
        EXPECT_EQ(r.piecesPerSheet, 9);
        EXPECT_EQ(r.sheetsNeeded, 2);
        EXPECT_NEAR(r.utilisation, 100, 1e-9);
        EXPECT_NEAR(r.sheetPrice, 120, 1e-9); // 100 per sheet and the 20 % mark-up
        // The tenth piece stands on its 500 mm side at the start of the second sheet.
        const double charged = policy == RemnantPolicy::WholeSheets ? 2 : 1 + 500.0 / 3000;
        EXPECT_NEAR(r.chargedSheets, charged, 1e-5);
        EXPECT_NEAR(r.materialCostPerPiece, charged * 120 / 10, 1e-4);
        EXPECT_TRUE(r.warnings.empty());
    }
}

TEST_F(SheetCosting, AnLShapeBeatsItsBox) {
    // 200 × 200 less a 100 × 100 corner; its boxes: 15 × 7 = 105 on the sheet.
    const Groups l = outline({{0, 0}, {200, 0}, {200, 100}, {100, 100}, {100, 200}, {0, 200}});
    const SheetFigures r = figures(l, {"Edelstahl", 3000, 1500, 0, 0, 100.0}, 1000);
    ASSERT_TRUE(r.valid);
    EXPECT_GT(r.piecesPerSheet, 105);
    EXPECT_EQ(r.sheetsNeeded, (1000 + r.piecesPerSheet - 1) / r.piecesPerSheet);
    EXPECT_NEAR(r.utilisation, r.piecesPerSheet * 30000.0 / (3000 * 1500) * 100, 1e-9);
}

TEST_F(SheetCosting, PriceFromTheMaterial) {
    // Edelstahl 3.00 per kg: 3000 × 1500 × 2 mm at 7.8 kg/dm³ are 70.2 kg, 210.60, with the
    // mark-up 252.72; by the m² at 3.00: 4.5 m² give 13.50, with the mark-up 16.20.
    engine.MatstarkEd.setText("2");
    const SheetFormatRow f{"Edelstahl", 3000, 1500, 10, 5, std::nullopt};
    EXPECT_NEAR(sheetPriceOf(f, engine), 210.6, 1e-9);
    const SheetFigures r = figures(rectangle(100, 100), f, 1);
    EXPECT_NEAR(r.sheetPrice, 252.72, 1e-9);
    engine.qmPreisCheck.setChecked(true);
    EXPECT_NEAR(sheetPriceOf(f, engine), 13.5, 1e-9);
}

TEST_F(SheetCosting, WhatCannotBeNestedIsRefusedOrWarned) {
    struct Case {
        const char *name;
        Groups entities;
        const char *refusal; // nullptr: valid
        const char *warning; // a warning code that must be given
    };
    const std::vector<Case> cases{
        {"too large", rectangle(3100, 200), "is larger than the sheet's usable area", nullptr},
        {"nothing closed", line(0, 0, 100, 0), "no closed contour", nullptr},
        {"open contour beside", concat({rectangle(100, 100), line(200, 0, 300, 0)}), nullptr,
         "nest-open-contours"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SheetFigures r = figures(c.entities, {"Edelstahl", 3000, 1500, 10, 5, 50.0}, 5);
        EXPECT_EQ(r.valid, c.refusal == nullptr);
        if (c.refusal) {
            EXPECT_NE(r.refusalEnglish.find(c.refusal), std::string::npos) << r.refusalEnglish;
            EXPECT_FALSE(r.refusalGerman.empty());
        }
        if (c.warning) {
            bool found = false;
            for (const auto &w : r.warnings) found = found || w.code == c.warning;
            EXPECT_TRUE(found);
        }
    }
}

TEST_F(SheetCosting, OutOfTimeWholePiecesGoInAGridOfTheirBox) {
    // Two parts side by side: a piece is 900 × 200, 3 across and 7 down on the sheet; the 50th
    // piece is the 8th of the third sheet, whose used part is two columns, 1800 of 3000 mm.
    const Groups two =
        concat({rectangle(400, 200), outline({{500, 0}, {900, 0}, {900, 200}, {500, 200}})});
    SheetSettings s;
    s.timeoutSeconds = 0;
    s.remnant = RemnantPolicy::UsedFraction;
    const SheetFigures r = figures(two, {"Edelstahl", 3000, 1500, 0, 0, 100.0}, 50, s);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.piecesPerSheet, 21);
    EXPECT_EQ(r.sheetsNeeded, 3);
    EXPECT_NEAR(r.chargedSheets, 2.6, 1e-9);
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_EQ(r.warnings.back().code, "nest-timed-out");
}

TEST(PartOutline, PartsHolesAndIslands) {
    // A plate with a hole holding a disc (an island), and a square apart.
    const Measured d = measure(concat({rectangle(100, 50), circle(50, 25, 20), circle(50, 25, 10),
                                       outline({{200, 0}, {230, 0}, {230, 30}, {200, 30}})}));
    const double island = std::numbers::pi * 100;
    for (bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace);
        const DrawingOutlines o = outlinesOf(d.drawing, d.m, inPlace);
        ASSERT_EQ(o.parts.size(), inPlace ? 2u : 3u);
        EXPECT_EQ(o.openContours, 0);
        double total = 0;
        for (const nesting::Polygon &p : o.parts) total += nesting::netArea(p);
        // The rings are the chords the measurement walked; its areas are exact.
        EXPECT_NEAR(total, d.m.netArea, 5e-4 * d.m.netArea);
        const nesting::Polygon &plate = o.parts[0];
        EXPECT_EQ(plate.holes.size(), 1u);
        EXPECT_NEAR(plate.carriedArea, inPlace ? island : 0, 1e-6);
        const nesting::Box b = nesting::boxOf(plate.outer);
        EXPECT_NEAR(b.width(), 100, 1e-9);
        EXPECT_NEAR(b.height(), 50, 1e-9);
    }
}

TEST(SheetFormatsFile, DefaultsSurviveTheirFile) {
    SheetFormats a;
    a.addDefaults({"Edelstahl", "Stahl"});
    a.settings.remnant = RemnantPolicy::UsedFraction;
    a.settings.rotationStep = 45;
    a.settings.fillHoles = true;
    a.rows[1].price = 180.5;
    testing::TempFolder folder;
    ASSERT_TRUE(a.save(folder.path()));
    SheetFormats b;
    std::vector<SheetFileWarning> warnings;
    ASSERT_TRUE(b.load(folder.path(), warnings));
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(b.rows, a.rows);
    EXPECT_EQ(b.settings, a.settings);
    EXPECT_EQ(a.formatsOf("Stahl").size(), 3u);
    EXPECT_FALSE(SheetFormats().load(folder.path() + "/nothing", warnings));
}

TEST(SheetFormatsFile, DamagedRowsAreLeftOutWithWhereAndWhy) {
    struct Case {
        const char *line;
        const char *warning; // the start of the English warning
    };
    const std::vector<Case> cases{
        {"Stahl;3000;abc;10;5;", "sheets.txt, row 3, field length: \"abc\" is not a number"},
        {"Stahl;-3000;1500;10;5;", "sheets.txt, row 3, field width: \"-3000\" is not a size"},
        {"Stahl;3000;1500;800;5;", "sheets.txt, row 3, field edge trim: \"800\" leaves nothing"},
        {"Stahl;3000;1500;10;5;-1", "sheets.txt, row 3, field price: \"-1\" is not a price"},
        {";3000;1500;10;5;", "sheets.txt, row 3, field material: \"\" is empty"},
        {"Stahl;3000;1500", "sheets.txt, row 3, field count:"},
        {"remnant=some", "sheets.txt, row 3, field remnant: \"some\" is not a value"},
        {"rotation=7", "sheets.txt, row 3, field rotation: \"7\" is not a value"},
        {"colour=red", "sheets.txt, row 3, field name: \"colour\" is no setting"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        SheetFormats f;
        const std::string text = std::string("# comment\nStahl;2500;1250;10;5;99.5\n") + c.line +
                                 "\nAluminium;2000;1000;0;0\n";
        const auto warnings = f.readText(text, "sheets.txt");
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].english.rfind(c.warning, 0), 0u) << warnings[0].english;
        EXPECT_NE(warnings[0].german.find("Zeile 3"), std::string::npos);
        ASSERT_EQ(f.rows.size(), 2u); // the good rows around it are taken
        EXPECT_EQ(f.rows[0], (SheetFormatRow{"Stahl", 2500, 1250, 10, 5, 99.5}));
        EXPECT_EQ(f.rows[1], (SheetFormatRow{"Aluminium", 2000, 1000, 0, 0, std::nullopt}));
        EXPECT_EQ(f.settings, SheetSettings{});
    }
}

TEST(SheetFormatsFile, SizesAsTyped) {
    struct Case {
        const char *text;
        double w, l; // 0: refused
    };
    for (const Case &c : std::vector<Case>{{"3000x1500", 3000, 1500},
                                           {"2500 X 1250", 2500, 1250},
                                           {"1000.5×500", 1000.5, 500},
                                           {"3000", 0, 0},
                                           {"0x1500", 0, 0},
                                           {"3000x", 0, 0},
                                           {"axb", 0, 0}}) {
        SCOPED_TRACE(c.text);
        const auto size = parseSheetSize(c.text);
        ASSERT_EQ(size.has_value(), c.w > 0);
        if (size) {
            EXPECT_EQ(*size, std::pair(c.w, c.l));
        }
    }
}

} // namespace
} // namespace quentar::costing
