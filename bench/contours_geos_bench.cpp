// The contour analysis beside GEOS's noding and polygonizing of the same pieces: the comparison
// that decided to grow our own graph rather than hand the pieces to GEOS.
#include "contours/analysis.h"
#include "document/drawing.h"
#include "dxf/reader.h"
#include "render/measure_drawing.h"

#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

using namespace quentar;

namespace {

document::Drawing *readDrawing(std::string text) {
    auto *d = new document::Drawing;
    d->dxf.assign(std::move(text));
    dxf::processdxf(*d);
    return d;
}

std::string fileText(const std::string &name) {
    const std::string path = std::string(QUENTAR_BENCH_DATA_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// `count` lines with both ends at random in a 1000 x 1000 square: about a fifth of all pairs
// cross, so 500 lines cross some 25,000 times (the analysis's bound is 50,000).
std::string crossingLines(int count) {
    std::mt19937 rnd(1);
    std::uniform_real_distribution<double> at(0, 1000);
    std::string s = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    for (int i = 0; i < count; ++i) {
        s += "0\r\nLINE\r\n8\r\n0\r\n";
        for (int code : {10, 20, 11, 21})
            s += std::to_string(code) + "\r\n" + std::to_string(at(rnd)) + "\r\n";
    }
    return s + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
}

// A drawing measured once, with its pieces, and the same pieces as one GEOS multi-line.
struct Case {
    document::Drawing *d = nullptr;
    render::DrawingMeasurement m;
    GEOSContextHandle_t geos = nullptr;
    GEOSGeometry *lines = nullptr;
};

Case &caseOf(const std::string &name) {
    static std::map<std::string, Case> cases;
    auto it = cases.find(name);
    if (it != cases.end()) return it->second;
    Case &c = cases[name];
    if (name.rfind("crossing", 0) == 0)
        c.d = readDrawing(crossingLines(std::atoi(name.c_str() + 8)));
    else
        c.d = readDrawing(fileText(name));
    c.m = render::measureDrawing(*c.d, {});
    c.geos = GEOS_init_r();
    std::vector<GEOSGeometry *> parts;
    std::vector<double> xy;
    for (const contours::Piece &p : c.m.figures.pieces.pieces) {
        if (p.kind != contours::MeasureKind::Cut || !p.measured) continue;
        xy.clear();
        c.m.figures.pieces.points(*c.d, p, xy);
        if (p.closingSide && xy.size() >= 2) {
            xy.push_back(xy[0]);
            xy.push_back(xy[1]);
        }
        const auto n = static_cast<unsigned>(xy.size() / 2);
        if (n < 2) continue;
        GEOSCoordSequence *seq = GEOSCoordSeq_create_r(c.geos, n, 2);
        for (unsigned i = 0; i < n; ++i)
            GEOSCoordSeq_setXY_r(c.geos, seq, i, xy[2 * i], xy[2 * i + 1]);
        parts.push_back(GEOSGeom_createLineString_r(c.geos, seq));
    }
    c.lines = GEOSGeom_createCollection_r(c.geos, GEOS_MULTILINESTRING, parts.data(),
                                          static_cast<unsigned>(parts.size()));
    return c;
}

// Ours: ends met, pieces split where they cross, copies priced once, faces, nesting, areas.
void BM_OwnAnalysis(benchmark::State &state, const std::string &name) {
    Case &c = caseOf(name);
    for (auto _ : state) {
        contours::ContourAnalysis a = contours::analyseContours(*c.d, c.m.figures.pieces);
        benchmark::DoNotOptimize(a.netArea);
    }
    const contours::ContourAnalysis a = contours::analyseContours(*c.d, c.m.figures.pieces);
    state.counters["closed"] = a.closedCount;
    state.counters["crossings"] = static_cast<double>(a.crossings);
    state.counters["unfinished"] = a.unfinished;
}

// GEOS: noding (every crossing split, copies merged) and polygonizing into faces only, no nesting
// into parts and holes, no exact arcs.
void BM_GeosNodePolygonize(benchmark::State &state, const std::string &name) {
    Case &c = caseOf(name);
    int faces = 0;
    for (auto _ : state) {
        GEOSGeometry *noded = GEOSNode_r(c.geos, c.lines);
        const GEOSGeometry *in[] = {noded};
        GEOSGeometry *polygons = GEOSPolygonize_r(c.geos, in, 1);
        faces = GEOSGetNumGeometries_r(c.geos, polygons);
        GEOSGeom_destroy_r(c.geos, polygons);
        GEOSGeom_destroy_r(c.geos, noded);
    }
    state.counters["closed"] = faces;
}

const char *const kCases[] = {"e10k.dxf", "e100k.dxf", "crossing300", "crossing500"};

[[maybe_unused]] const bool registered = [] {
    for (const char *name : kCases) {
        benchmark::RegisterBenchmark(("BM_OwnAnalysis/" + std::string(name)).c_str(),
                                     BM_OwnAnalysis, std::string(name))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_GeosNodePolygonize/" + std::string(name)).c_str(),
                                     BM_GeosNodePolygonize, std::string(name))
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
