// Reading a drawing: line splitting, a pass over the lines, an edit that moves every line, a cold
// read, and the re-read after an edit that the editor does on every change.
#include "document/drawing.h"
#include "document/line_store.h"
#include "dxf/reader.h"
#include "geometry/curves.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace quentar;

namespace {

const std::string &fileBytes(const std::string &name) {
    static std::map<std::string, std::string> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    const std::string path = std::string(QUENTAR_BENCH_DATA_DIR) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s (built with the quentar_bench target?)\n",
                     path.c_str());
        std::exit(1);
    }
    return cache[name] = std::string(std::istreambuf_iterator<char>(in), {});
}

document::Drawing loaded(const std::string &name) {
    document::Drawing d;
    d.dxf.assign(fileBytes(name));
    return d;
}

// The value line of a group 10 near the middle of the ENTITIES section.
std::size_t middleCoordinateLine(const document::Drawing &d) {
    const auto &lines = d.dxf;
    std::size_t i = static_cast<std::size_t>(d.insertlinepos) / 2 + 1;
    // Code lines sit at even positions from the file's start.
    i &= ~std::size_t{1};
    for (; i + 1 < lines.size(); i += 2)
        if (document::trimLine(lines[i]) == "10") return i + 1;
    std::fprintf(stderr, "no coordinate in the drawing\n");
    std::exit(1);
}

void BM_SplitLines(benchmark::State &state) {
    const std::string &bytes = fileBytes("e100k.dxf");
    document::LineStore store;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = bytes; // a load hands its buffer over; the copy is not the split's
        state.ResumeTiming();
        store.assign(std::move(copy));
        benchmark::DoNotOptimize(store.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// A pass over every line, as each read makes one: the cost of looking a line up.
void BM_LinePass(benchmark::State &state) {
    document::LineStore store;
    store.assign(fileBytes("e100k.dxf"));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < store.size(); ++i) bytes += document::trimLine(store[i]).size();
        benchmark::DoNotOptimize(bytes);
    }
}

// Taking out an entity near the start and putting it back: every later line moves, twice.
void BM_LineEditNearStart(benchmark::State &state) {
    document::LineStore store;
    store.assign(fileBytes("e100k.dxf"));
    const std::vector<std::string> entity{"  0", "LINE", "  8", "0",   " 10", "1.5", " 20",
                                          "2.5", " 11", "31.5", " 21", "42.5"};
    for (auto _ : state) {
        store.erase(100, entity.size());
        store.insert(100, entity);
        benchmark::DoNotOptimize(store.size());
    }
}

void BM_ReadCold(benchmark::State &state, const char *name) {
    document::Drawing d = loaded(name);
    for (auto _ : state) {
        render::RandomSource rng(1); // fit-point splines cost the same in every repetition
        dxf::processdxf(d, &rng);
        benchmark::DoNotOptimize(d.anzpoly);
    }
}

void BM_ReadAfterEdit(benchmark::State &state, const char *name) {
    document::Drawing d = loaded(name);
    render::RandomSource rng(1);
    dxf::Reader reader(&rng);
    reader.processdxf(d);
    const std::size_t at = middleCoordinateLine(d);
    const std::string original(document::trimLine(d.dxf[at]));
    const std::string moved = original + "1";
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        d.dxf.replace(at, flip ? moved : original);
        reader.processdxf(d);
        benchmark::DoNotOptimize(d.anzpoly);
    }
    state.counters["reused"] = static_cast<double>(reader.lastReused());
}

void BM_ReadAfterInsert(benchmark::State &state, const char *name) {
    document::Drawing d = loaded(name);
    render::RandomSource rng(1);
    dxf::Reader reader(&rng);
    reader.processdxf(d);
    const std::vector<std::string> entity{"  0", "LINE", "  8", "0",   " 10", "1.5", " 20",
                                          "2.5", " 11", "31.5", " 21", "42.5"};
    for (auto _ : state) {
        const auto at = static_cast<std::size_t>(d.insertlinepos);
        d.dxf.insert(at, entity);
        reader.processdxf(d);
        benchmark::DoNotOptimize(d.anzpoly);
        state.PauseTiming();
        // Forget the new entity again so that every iteration reads it afresh.
        d.dxf.erase(at, entity.size());
        reader.processdxf(d);
        state.ResumeTiming();
    }
}

void BM_ReadAfterDeleteFirst(benchmark::State &state, const char *name) {
    document::Drawing d = loaded(name);
    render::RandomSource rng(1);
    dxf::Reader reader(&rng);
    reader.processdxf(d);
    const document::tpoly &first = d.polys.front();
    const auto from = static_cast<std::size_t>(first.linefrom);
    const auto count = static_cast<std::size_t>(first.linebis + 1 - first.linefrom);
    std::vector<std::string> removed;
    for (std::size_t i = from; i < from + count; ++i) removed.emplace_back(d.dxf[i]);
    for (auto _ : state) {
        d.dxf.erase(from, count);
        reader.processdxf(d);
        benchmark::DoNotOptimize(d.anzpoly);
        state.PauseTiming();
        d.dxf.insert(from, removed);
        reader.processdxf(d);
        state.ResumeTiming();
    }
}

#define QUENTAR_READ_BENCH(fn)                                                                    \
    BENCHMARK_CAPTURE(fn, 10k, "e10k.dxf")                                                        \
        ->Unit(benchmark::kMillisecond)                                                           \
        ->Repetitions(5)                                                                          \
        ->ReportAggregatesOnly(true);                                                             \
    BENCHMARK_CAPTURE(fn, 100k, "e100k.dxf")                                                      \
        ->Unit(benchmark::kMillisecond)                                                           \
        ->Repetitions(5)                                                                          \
        ->ReportAggregatesOnly(true)

BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LinePass)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LineEditNearStart)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
QUENTAR_READ_BENCH(BM_ReadCold);
QUENTAR_READ_BENCH(BM_ReadAfterEdit);
QUENTAR_READ_BENCH(BM_ReadAfterInsert);
QUENTAR_READ_BENCH(BM_ReadAfterDeleteFirst);

} // namespace
