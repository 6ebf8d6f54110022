// Curve evaluation: the spline sampling every SPLINE costs, and the fit-point search.
#include "geometry/curves.h"
#include "geometry/spline_sampling.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace quentar::render;

namespace {

// The 100 samples at equal parameter steps of the editor's spline preview (and what every SPLINE
// read from a drawing cost before it was sampled by knot span).
void BM_SplineEval(benchmark::State &state) {
    constexpr int kControlPoints = 12;
    const int n = kControlPoints - 1, order = 4; // degree 3
    std::vector<Point3> control;
    for (int i = 0; i < kControlPoints; ++i)
        control.push_back({10.0 * i, 20.0 * std::sin(i * 0.7), 0});
    std::vector<double> knots;
    makeknots(knots, n, order);
    std::vector<Point3> out;
    for (auto _ : state) {
        samplespline(n, order, control, kSplineSamples, out, knots);
        benchmark::DoNotOptimize(out.data());
    }
}

// The sampling a SPLINE read from a drawing costs, by knot span and chord tolerance: a typical
// cubic of 12 control points (as in the reading benchmarks' drawings), a complex outline of 400,
// and a full circle written as a rational quadratic. Counter "samples": vertices it makes.
void BM_SplineSampleRead(benchmark::State &state) {
    SplineData s;
    switch (state.range(0)) {
    case 0:
        for (int i = 0; i < 12; ++i) s.control.push_back({10.0 * i, 20.0 * std::sin(i * 0.7), 0});
        break;
    case 1:
        for (int i = 0; i < 400; ++i)
            s.control.push_back({2.0 * i, 30 * std::sin(i * 0.9) + 8 * std::cos(i * 2.3), 0});
        break;
    default: {
        const double w = std::sqrt(0.5);
        s.degree = 2;
        s.control = {{75, 40, 0}, {75, 65, 0}, {50, 65, 0}, {25, 65, 0}, {25, 40, 0},
                     {25, 15, 0}, {50, 15, 0}, {75, 15, 0}, {75, 40, 0}};
        s.knots = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4};
        s.weights = {1, w, 1, w, 1, w, 1, w, 1};
        s.closed = true;
        break;
    }
    }
    if (s.knots.empty()) makeknots(s.knots, static_cast<int>(s.control.size()) - 1, 4);
    std::vector<Point3> out;
    for (auto _ : state) {
        sampleSplineCurve(s, kMaxSplineSamples, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["samples"] = static_cast<double>(out.size());
}

void BM_FitControlPoints(benchmark::State &state) {
    std::vector<Point3> targets;
    for (int i = 0; i < 10; ++i) targets.push_back({15.0 * i, 25.0 * std::cos(i * 0.6), 0});
    for (auto _ : state) {
        RandomSource rng(7);
        auto cps = fitcontrolpoints(targets, 1000, {}, rng);
        benchmark::DoNotOptimize(cps.data());
    }
}

BENCHMARK(BM_SplineEval)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SplineSampleRead)
    ->ArgName("shape") // 0: 12 control points, 1: 400 control points, 2: rational circle
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FitControlPoints)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
