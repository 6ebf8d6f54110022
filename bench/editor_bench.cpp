// The editor on the 100,000-entity sheet: snapping and picking one pointer position, the entity
// grid the first pointer test after a read builds, deleting entities with the read after it, and
// moving a thousand of them.
#include "editor/drawing_editor.h"
#include "editor/drawing_viewer.h"
#include "editor/transformations.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace quentar;

namespace {

class Headless : public editor::ViewerHost, public editor::EditorHost {
public:
    void showTitle(const std::string &) override {}
    void showError(const std::string &text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void showMessage(const std::string &) override {}
    document::SaveAnswer askToSave(const std::string &, const std::string &) override {
        return document::SaveAnswer::No;
    }
    std::optional<std::string> chooseFileToOpen() override { return std::nullopt; }
    std::optional<std::string> chooseFileToSave() override { return std::nullopt; }
    void repaintDrawing() override {}
    void showTabs(const std::vector<std::string> &, int) override {}
    void showScrollPositions(int64_t, int64_t) override {}
    void showUndoState(bool) override {}
};

// The window's core objects with the 100k drawing opened (fitted into the paint box), once.
struct Opened {
    Headless host;
    editor::DrawingViewer viewer{host};
    editor::DrawingEditor editor{viewer, host};

    Opened() {
        const std::string path = std::string(QUENTAR_BENCH_DATA_DIR) + "/e100k.dxf";
        if (!viewer.session().openfilewithname(path)) {
            std::fprintf(stderr, "cannot open %s (built with the quentar_bench target?)\n",
                         path.c_str());
            std::exit(1);
        }
    }
};

Opened &opened() {
    static Opened o;
    return o;
}

// Pointer positions spread over the paint box, and a closer view where one part fills it.
std::vector<render::Pixel> pointerPositions() {
    std::vector<render::Pixel> at;
    for (int y = 7; y < render::kDefaultPaintBoxHeight; y += 53)
        for (int x = 11; x < render::kDefaultPaintBoxWidth; x += 71) at.push_back({x, y});
    return at;
}

void setView(Opened &o, bool close) {
    o.viewer.ZoomFullIn();
    if (close)
        for (int i = 0; i < 20; ++i) o.viewer.ZoomInBtnClick(); // 1.2^20: about 38 times
}

void BM_SnapPoints(benchmark::State &state) {
    Opened &o = opened();
    setView(o, state.range(0) != 0);
    const auto at = pointerPositions();
    o.editor.SnapPoints(0, 0, 0, 0, false); // the grid of this read
    std::size_t k = 0, snapped = 0;
    for (auto _ : state) {
        const render::Pixel p = at[k++ % at.size()];
        const editor::SnapResult r = o.editor.SnapPoints(p.x, p.y, p.x, p.y, false);
        snapped += r.setted;
        benchmark::DoNotOptimize(r);
    }
    state.counters["snapped"] = static_cast<double>(snapped) / static_cast<double>(k);
}

void BM_Pick(benchmark::State &state) {
    Opened &o = opened();
    setView(o, state.range(0) != 0);
    const auto at = pointerPositions();
    o.editor.pick(0, 0, false);
    std::size_t k = 0, hit = 0;
    for (auto _ : state) {
        const render::Pixel p = at[k++ % at.size()];
        // Shift: what a click selects the next one at the same place deselects again.
        const editor::PickResult r = o.editor.pick(p.x, p.y, (k / at.size()) % 2 == 1);
        hit += r.outcome != editor::PickOutcome::Nothing;
        benchmark::DoNotOptimize(r);
    }
    state.counters["hit"] = static_cast<double>(hit) / static_cast<double>(k);
    o.editor.Nichtsauswhlen1Click();
}

// What the first pointer test after an edit pays once: the bounds of the entities (taken over
// where the read took their geometry over) and the grid.
void BM_GridAfterRead(benchmark::State &state) {
    Opened &o = opened();
    setView(o, false);
    for (auto _ : state) {
        state.PauseTiming();
        o.viewer.documentEdited(); // a read the grid has not seen
        state.ResumeTiming();
        benchmark::DoNotOptimize(o.editor.scene().grid.size());
    }
}

// Loeschen with the read that follows it: one entity in the middle, or every third entity of
// the drawing. Taking the step back is not timed.
void BM_DeleteAndRead(benchmark::State &state) {
    Opened &o = opened();
    const int every = static_cast<int>(state.range(0));
    const std::size_t n = static_cast<std::size_t>(o.viewer.drawing().anzpoly);
    for (auto _ : state) {
        state.PauseTiming();
        o.editor.Nichtsauswhlen1Click();
        if (every == 0)
            o.editor.select(n / 2);
        else
            for (std::size_t i = 0; i < n; i += static_cast<std::size_t>(every)) o.editor.select(i);
        state.ResumeTiming();
        const bool deleted = o.editor.Loeschen();
        benchmark::DoNotOptimize(deleted);
        state.PauseTiming();
        o.editor.Rckgngig1Click();
        state.ResumeTiming();
    }
}

// Taking back the deletion of every third entity, with its read.
void BM_UndoManyDeletions(benchmark::State &state) {
    Opened &o = opened();
    const std::size_t n = static_cast<std::size_t>(o.viewer.drawing().anzpoly);
    for (auto _ : state) {
        state.PauseTiming();
        o.editor.Nichtsauswhlen1Click();
        for (std::size_t i = 0; i < n; i += 3) o.editor.select(i);
        o.editor.Loeschen();
        state.ResumeTiming();
        o.editor.Rckgngig1Click();
    }
}

// A thousand entities spread over the drawing.
editor::EntitySet thousandEntities(const Opened &o) {
    const std::size_t n = static_cast<std::size_t>(o.viewer.drawing().anzpoly);
    editor::EntitySet set;
    for (std::size_t i = 0; i < n && set.size() < 1000; i += n / 1000) set.push_back(i);
    return set;
}

// MoveObjects planning alone: the batch of a thousand entities' rewritten lines.
void BM_PlanMove(benchmark::State &state) {
    Opened &o = opened();
    const editor::EntitySet set = thousandEntities(o);
    std::size_t edits = 0;
    for (auto _ : state) {
        const document::EditBatch b = editor::MoveObjects(o.viewer.drawing(), set, 1.5, -2.5);
        edits = b.edits.size();
        benchmark::DoNotOptimize(edits);
    }
    state.counters["lines"] = static_cast<double>(edits);
}

// Moving a thousand entities as the window commits it: planned, applied, read again. Taking it
// back is not timed.
void BM_MoveAndRead(benchmark::State &state) {
    Opened &o = opened();
    const editor::EntitySet set = thousandEntities(o);
    for (auto _ : state) {
        document::EditBatch b = editor::MoveObjects(o.viewer.drawing(), set, 1.5, -2.5);
        document::redoBatch(o.viewer.drawing().dxf, b);
        o.editor.commit(std::move(b));
        state.PauseTiming();
        o.editor.Rckgngig1Click();
        state.ResumeTiming();
    }
}

// Taking that move back, with its read.
void BM_UndoMove(benchmark::State &state) {
    Opened &o = opened();
    const editor::EntitySet set = thousandEntities(o);
    for (auto _ : state) {
        state.PauseTiming();
        document::EditBatch b = editor::MoveObjects(o.viewer.drawing(), set, 1.5, -2.5);
        document::redoBatch(o.viewer.drawing().dxf, b);
        o.editor.commit(std::move(b));
        state.ResumeTiming();
        o.editor.Rckgngig1Click();
    }
}

BENCHMARK(BM_SnapPoints)->ArgName("close")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pick)->ArgName("close")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridAfterRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DeleteAndRead)
    ->ArgName("every")
    ->Arg(0)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_UndoManyDeletions)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlanMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveAndRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UndoMove)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
