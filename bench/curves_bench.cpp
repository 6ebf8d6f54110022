// Curve evaluation: the spline sampling every SPLINE costs, and the fit-point search.
#include "geometry/curves.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace quentar::render;

namespace {

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
BENCHMARK(BM_FitControlPoints)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
