// Nesting 200 pieces of sample parts on 3000 × 1500 sheets (trim 10, gap 5): the true-shape
// bottom-left fill of src/nesting against libnest2d's no-fit-polygon placer, where it is installed.
#include "costing/part_outline.h"
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "nesting/nester.h"
#include "render/measure_drawing.h"

#include <benchmark/benchmark.h>

#ifdef QUENTAR_BENCH_LIBNEST2D
#include "libnest2d_runner.h"
#endif

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quentar;

namespace {

constexpr int kPieces = 200;
const nesting::SheetFormat kSheet{3000, 1500, 10, 5};

struct Sample {
    const char *name;
    nesting::Polygon part;
};

// The largest part of each sample drawing with one worth nesting, and an L for comparison.
const std::vector<Sample> &samples() {
    static const std::vector<Sample> all = [] {
        std::vector<Sample> out;
        for (const char *name : {"voron_deck_panel_fusion360_r14", "r12_flh001_polylines_bulges",
                                 "lasersaur_mount_panels_r12", "wrench_profile_ac1015_oda"}) {
            document::Drawing d;
            const std::string path = std::string(QUENTAR_SAMPLES_DIR) + "/" + name + ".dxf";
            if (!document::loadDxfFile(path, d)) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                std::exit(1);
            }
            dxf::processdxf(d);
            const render::DrawingMeasurement m = render::measureDrawing(d, {});
            const costing::DrawingOutlines o = costing::outlinesOf(d, m, true);
            if (o.parts.empty()) continue;
            out.push_back({name, o.parts.front()});
        }
        out.push_back({"l_shape_200",
                       {{{0, 0}, {200, 0}, {200, 100}, {100, 100}, {100, 200}, {0, 200}}, {}, 0}});
        return out;
    }();
    return all;
}

void report(benchmark::State &state, double partArea, int placed, int sheets, bool timedOut) {
    state.counters["sheets"] = sheets;
    state.counters["placed"] = placed;
    state.counters["utilisation_%"] =
        sheets > 0 ? 100 * placed * partArea / (sheets * kSheet.width * kSheet.length) : 0;
    state.counters["timed_out"] = timedOut;
}

void BM_NestTrueShape(benchmark::State &state) {
    const Sample &s = samples()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(s.name);
    nesting::NestSettings settings;
    settings.timeoutSeconds = 10;
    nesting::NestResult r;
    for (auto _ : state) {
        r = nesting::nest({{s.part, kPieces}}, kSheet, settings);
        benchmark::DoNotOptimize(r.sheets.data());
    }
    report(state, nesting::netArea(s.part), r.placedCount(), r.sheetCount(), r.timedOut);
}

#ifdef QUENTAR_BENCH_LIBNEST2D
// libnest2d's placer computes no-fit polygons of convex shapes only, so it is given each part's
// convex hull, or its outline as it is (its nest may then overlap where the part is not convex).
void BM_NestLibnest2d(benchmark::State &state) {
    const Sample &s = samples()[static_cast<std::size_t>(state.range(0))];
    const bool hull = state.range(1) != 0;
    state.SetLabel(std::string(s.name) + (hull ? " (convex hull)" : " (outline)"));
    std::vector<std::pair<double, double>> outer;
    for (const nesting::Point &v : s.part.outer) outer.emplace_back(v.x, v.y);
    bench::Libnest2dRun r;
    for (auto _ : state)
        r = bench::runLibnest2d(outer, hull, kPieces, kSheet.width, kSheet.length, kSheet.trim,
                                kSheet.gap, 10);
    report(state, nesting::netArea(s.part), r.placed, r.bins, r.timedOut);
}
#endif

void sampleArgs(benchmark::internal::Benchmark *b) {
    for (std::size_t i = 0; i < samples().size(); ++i) b->Arg(static_cast<long>(i));
}

} // namespace

BENCHMARK(BM_NestTrueShape)->Apply(sampleArgs)->Unit(benchmark::kMillisecond)->Iterations(1);
#ifdef QUENTAR_BENCH_LIBNEST2D
BENCHMARK(BM_NestLibnest2d)
    ->Apply([](benchmark::internal::Benchmark *b) {
        for (std::size_t i = 0; i < samples().size(); ++i)
            for (int hull : {1, 0}) b->Args({static_cast<long>(i), hull});
    })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
#endif
BENCHMARK_MAIN();
