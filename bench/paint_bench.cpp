// The drawing window's paint on the 100,000-entity sheet: the render pass through the Qt painter
// into a picture of the paint box's default size, at the fitted (full) view and zoomed in; and a
// pointer move of a drawing tool, whose preview is painted over the kept picture.
#include "editor/drawing_editor.h"
#include "editor/drawing_viewer.h"
#include "editor/interaction.h"
#include "render/drawn_extents.h"
#include "render/qt/qpainter_canvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quentar;

namespace {

class Headless : public editor::ViewerHost {
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
};

struct Opened {
    Headless host;
    editor::DrawingViewer viewer{host};
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

// Full view: the fit of "Zeige alles"; zoomed: that many wheel steps in at the paint box centre.
void setView(Opened &o, int wheelSteps) {
    o.viewer.ZoomFullIn();
    for (int i = 0; i < wheelSteps; ++i)
        o.viewer.wheelStep(render::kDefaultPaintBoxWidth / 2, render::kDefaultPaintBoxHeight / 2,
                           true, false, false);
}

void paintOnce(Opened &o, QImage &picture) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    render::QPainterCanvas canvas(painter);
    o.viewer.PaintBox1Paint(canvas, 96);
}

// One paint of the paint box (PaintBox1Paint) into a picture as the window keeps it.
void BM_Paint(benchmark::State &state) {
    Opened &o = opened();
    setView(o, static_cast<int>(state.range(0)));
    QImage picture(render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight,
                   QImage::Format_RGB32);
    paintOnce(o, picture); // the first paint after a read takes the drawn extents
    for (auto _ : state) {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        render::QPainterCanvas canvas(painter);
        o.viewer.PaintBox1Paint(canvas, 96);
    }
    state.counters["entities"] = static_cast<double>(o.viewer.figures().entitiesDrawn);
}

// The same pass on a surface that draws nothing: what the traversal itself costs.
class NoSurface : public render::Canvas {
public:
    void strokePath(const render::Path &, const render::Pen &) override {}
    void fillPath(const render::Path &, const render::Brush &) override {}
    void fillRect(int, int, int, int, render::Rgb) override {}
    void frameRect(int, int, int, int, render::Rgb) override {}
    void drawText(std::string_view, double, const render::Transform &, render::Rgb) override {}
    void strokeText(std::string_view, double, const render::Transform &,
                    const render::Pen &) override {}
    void textExtent(std::string_view, int, int &w, int &h) override { w = h = 0; }
    void pushClipRect(int, int, int, int) override {}
    void popClip() override {}
    void drawHandleImage(int, int, int) override {}
};

void BM_PaintNoSurface(benchmark::State &state) {
    Opened &o = opened();
    setView(o, static_cast<int>(state.range(0)));
    NoSurface canvas;
    o.viewer.PaintBox1Paint(canvas, 96);
    for (auto _ : state)
        o.viewer.PaintBox1Paint(canvas, 96);
}

// What the first paint after a read pays once: the drawn extents of every entity and the index.
void BM_TakeExtents(benchmark::State &state) {
    Opened &o = opened();
    render::DrawnExtents extents;
    for (auto _ : state) {
        extents.build(o.viewer.drawing());
        benchmark::DoNotOptimize(extents.usable());
    }
}

// The editor and its tools on the opened drawing, answering no dialogs.
class ToolsHost : public editor::EditorHost, public editor::ToolHost {
public:
    void showUndoState(bool, bool) override {}
    bool askText(editor::TextInput &, bool) override { return false; }
    bool askChangedText(std::string &) override { return false; }
    bool askPolygonCorners(double &) override { return false; }
    editor::PolylineMenuItem choosePolylineItem(int, int) override {
        return editor::PolylineMenuItem::None;
    }
    void showMessageNumber(int) override {}
    void textExtent(const std::string &, int, int &w, int &h) override { w = h = 0; }
    std::optional<editor::ArrayParameters> askArray() override { return std::nullopt; }
    std::optional<editor::KeyboardRotation> askRotation() override { return std::nullopt; }
    std::optional<editor::KeyboardScaling> askScaling() override { return std::nullopt; }
    editor::ViewportConfiguration askViewport(const editor::ViewportConfiguration &s) override {
        return s;
    }
};

struct Editing {
    ToolsHost host;
    editor::DrawingEditor editor{opened().viewer, host};
    editor::ViewTools viewTools{opened().viewer};
    editor::Interaction interaction{editor, viewTools, host};
};

Editing &editing() {
    static Editing e;
    return e;
}

// A pointer move while a tool shows its preview: snapping the pointer, the tool's preview, and the
// paint box's repaint of that move: the kept picture of the drawing with the preview over it (the
// drawing itself is not painted again). Arguments: the view (wheel steps in) and the tool (0 a
// line from the middle, 1 a spline through five points, fitted anew on every move, 2 the move
// tool with a thousand entities selected).
void BM_PointerMoveWithPreview(benchmark::State &state) {
    Opened &o = opened();
    Editing &e = editing();
    setView(o, static_cast<int>(state.range(0)));
    QImage picture(render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight,
                   QImage::Format_RGB32);
    paintOnce(o, picture);
    QImage surface(picture.size(), QImage::Format_RGB32);
    const int w = render::kDefaultPaintBoxWidth, h = render::kDefaultPaintBoxHeight;
    e.interaction.SetAlltoFalse();
    const int tool = static_cast<int>(state.range(1));
    const auto click = [&](int x, int y) {
        e.interaction.mouseDown({x, y, editor::MouseButton::Left, {}});
        e.interaction.mouseUp({x, y, editor::MouseButton::Left, {}});
    };
    if (tool == 2) {
        // The move tool with a thousand entities selected: their outlines follow the pointer.
        const std::size_t n = static_cast<std::size_t>(o.viewer.drawing().anzpoly);
        e.editor.selectNone();
        for (std::size_t i = 0; i < n; i += n / 1000) e.editor.select(i);
        e.interaction.chooseEditTool(editor::EditOperation::Move);
    } else {
        e.interaction.chooseTool(tool == 1 ? editor::ToolChoice::Spline : editor::ToolChoice::Line);
    }
    click(w / 2, h / 2);
    if (tool == 1)
        for (int k = 1; k < 5; ++k) click(w / 2 + 37 * k, h / 2 + (k % 2 ? 41 : -29));
    std::vector<render::Pixel> at;
    for (int y = 7; y < h; y += 53)
        for (int x = 11; x < w; x += 71) at.push_back({x, y});
    std::size_t k = 0;
    for (auto _ : state) {
        const render::Pixel p = at[k++ % at.size()];
        e.interaction.mouseMove({p.x, p.y, editor::MouseButton::Left, {}});
        QPainter painter(&surface);
        painter.drawImage(0, 0, picture);
        painter.setRenderHint(QPainter::Antialiasing);
        render::QPainterCanvas canvas(painter);
        o.viewer.paintOverlay(canvas);
    }
    e.interaction.SetAlltoFalse();
    e.editor.selectNone();
}

} // namespace

BENCHMARK(BM_PointerMoveWithPreview)
    ->ArgNames({"wheel", "tool"})
    ->Args({0, 0})
    ->Args({25, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakeExtents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintNoSurface)->Arg(0)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Arg(0)->Arg(1)->Arg(10)->Arg(25)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the texts
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
