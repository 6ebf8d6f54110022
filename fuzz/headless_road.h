// The property the headless-road fuzz target checks and the corpus replay test repeats: any bytes
// go the whole way a quotation goes (open, read, measure every tab with nested inserts and
// viewports, price) without a crash, and every figure that comes out is a number.
#pragma once

#include "costing/calculator.h"
#include "costing/drawing_takeover.h"
#include "costing/part_outline.h"
#include "costing/report.h"
#include "costing/sheet_costing.h"
#include "document/drawing.h"
#include "document/dxf_file.h"
#include "document/text_codec.h"
#include "dxf/reader.h"
#include "geometry/curves.h"
#include "render/measure_drawing.h"

#include <cmath>
#include <string>
#include <string_view>

namespace quentar::fuzzing {

inline std::string headlessRoadCheck(std::string_view bytes) {
    // A file that is no drawing is refused before anything is read, as `quentar quote` does.
    if (!document::notDxfReason(bytes).empty()) return {};
    document::Drawing d;
    if (!d.dxf.assign(std::string(bytes))) return {};
    render::RandomSource rng(7);
    dxf::processdxf(d, &rng);
    const int tabs = std::min<int>(3, static_cast<int>(d.tabCaptions.size()));
    for (int tab = 0; tab < tabs; ++tab) {
        // Each tab once, the choices alternating: inches and the whole drawn figure on the
        // second.
        for (const render::UnitChoice units :
             {tab == 1 ? render::UnitChoice::Inches : render::UnitChoice::Auto}) {
            render::MeasureOptions o;
            o.tab = tab;
            o.units = units;
            o.cutContoursOnly = units != render::UnitChoice::Inches;
            const render::DrawingMeasurement m = render::measureDrawing(d, o);
            // Every message is text through and through: no byte a conversion did not write.
            for (const render::MeasureWarning &w : m.warnings)
                if (!document::isValidUtf8(w.english) || !document::isValidUtf8(w.german) ||
                    w.english.find('\0') != std::string::npos)
                    return "warning " + w.code + " is not text";
            if (!document::isValidUtf8(m.refusal)) return "the refusal is not text";
            // Refused (nothing to measure, no numbers, beyond sense): nothing is priced, as the
            // commands and the window refuse it. What is not refused must be sound.
            if (!m.refusal.empty()) {
                if (m.refusalGerman.empty()) return "a refusal without its German line";
                continue;
            }
            for (double v : {m.konturlang, m.minx, m.maxx, m.miny, m.maxy, m.netArea})
                if (!std::isfinite(v)) return "a figure is not a number (tab " +
                                               std::to_string(tab) + ")";
            if (!(m.konturlang > 0)) return "nothing measured, yet not refused";
            if (m.netArea < 0) return "negative net area";
            if (m.konturlang < 0) return "negative cut length";
            for (double a : m.areas)
                if (!(a >= 0) || !std::isfinite(a)) return "an area is negative or no number";
            // The calculator takes the figures over and prices them; no field may show a
            // non-number and the quotation must come out.
            costing::Calculator calc("/nonexistent/quentar-fuzz-data/");
            calc.windowShown();
            calc.engine().takeOverDrawing(costing::figuresOf(m));
            for (const costing::Field *f : calc.engine().fields()) {
                const std::string t = f->text();
                if (t.find("nan") != std::string::npos || t.find("inf") != std::string::npos)
                    return "field " + f->name() + " shows " + t;
            }
            if (costing::CalcAusdruck(calc, "fuzz", false).empty()) return "no quotation";
            // Material by the sheet: the outlines nested briefly, every figure a number.
            costing::SheetSettings sheet;
            sheet.timeoutSeconds = 0.05;
            const costing::SheetFigures s = costing::sheetFigures(
                costing::outlinesOf(d, m, true), m.warnings.size(),
                {"fuzz", 3000, 1500, 10, 5, std::nullopt}, sheet, calc.engine());
            if (s.valid)
                for (double v : {s.utilisation, s.sheetPrice, s.chargedSheets,
                                 s.materialCostPerPiece})
                    if (!std::isfinite(v) || v < 0) return "a sheet figure is no number";
            if (s.valid && (s.piecesPerSheet <= 0 || s.sheetsNeeded <= 0))
                return "a sheet takes no piece";
        }
    }
    return {};
}

} // namespace quentar::fuzzing
