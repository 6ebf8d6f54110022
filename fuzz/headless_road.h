// The property the headless-road fuzz target checks and the corpus replay test repeats: any bytes
// go the whole way a quotation goes (open, read, measure every tab with nested inserts and
// viewports, price) without a crash, and every figure that comes out is a number.
#pragma once

#include "costing/calculator.h"
#include "costing/drawing_takeover.h"
#include "costing/report.h"
#include "document/drawing.h"
#include "document/dxf_file.h"
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
            if (m.empty) continue;
            for (double v : {m.konturlang, m.minx, m.maxx, m.miny, m.maxy, m.netArea})
                if (!std::isfinite(v)) return "a figure is not a number (tab " +
                                               std::to_string(tab) + ")";
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
        }
    }
    return {};
}

} // namespace quentar::fuzzing
