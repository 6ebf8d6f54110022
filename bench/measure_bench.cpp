// Measuring a drawing as the calculator takes it over: the render pass that collects the pieces,
// and the contour analysis (chaining, splitting, faces, nesting, duplicates) on its own.
#include "document/drawing.h"
#include "dxf/reader.h"
#include "render/measure_drawing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace quentar;

namespace {

document::Drawing &drawing100k() {
    static document::Drawing *d = [] {
        const std::string path = std::string(QUENTAR_BENCH_DATA_DIR) + "/e100k.dxf";
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            std::exit(1);
        }
        auto *drawing = new document::Drawing;
        drawing->dxf.assign(std::string(std::istreambuf_iterator<char>(in), {}));
        dxf::processdxf(*drawing);
        return drawing;
    }();
    return *d;
}

// The whole measurement of the 100,000-entity drawing: fit, render pass, analysis, warnings.
void BM_MeasureDrawing(benchmark::State &state) {
    document::Drawing &d = drawing100k();
    for (auto _ : state) {
        render::DrawingMeasurement m = render::measureDrawing(d, {});
        benchmark::DoNotOptimize(m.netArea);
    }
}
BENCHMARK(BM_MeasureDrawing)->Unit(benchmark::kMillisecond);

// The contour analysis alone, on the pieces one measurement collected.
void BM_AnalyseContours(benchmark::State &state) {
    document::Drawing &d = drawing100k();
    render::DrawingMeasurement m = render::measureDrawing(d, {});
    for (auto _ : state) {
        contours::ContourAnalysis a = contours::analyseContours(d, m.figures.pieces);
        benchmark::DoNotOptimize(a.netArea);
    }
}
BENCHMARK(BM_AnalyseContours)->Unit(benchmark::kMillisecond);

} // namespace
