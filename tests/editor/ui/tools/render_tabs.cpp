// Pictures of every tab of a drawing as the drawing window paints it, fitted with "Zeige alles",
// for comparing with another renderer by eye (scripts/compare_render.py).
#include "editor/drawing_viewer.h"
#include "render/qt/qpainter_canvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quentar;

namespace {

// A window that shows nothing and answers no question: the tool only opens and paints.
class SilentHost : public editor::ViewerHost {
public:
    void repaintDrawing() override {}
    void showTabs(const std::vector<std::string> &, int) override {}
    void showScrollPositions(int64_t, int64_t) override {}
    void showTitle(const std::string &) override {}
    void showError(const std::string &text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void showMessage(const std::string &) override {}
    document::SaveAnswer askToSave(const std::string &, const std::string &) override {
        return document::SaveAnswer::No;
    }
    std::optional<std::string> chooseFileToOpen() override { return std::nullopt; }
    std::optional<std::string> chooseFileToSave() override { return std::nullopt; }
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s DRAWING.dxf OUT_PREFIX [WIDTH HEIGHT]\n"
                     "writes OUT_PREFIX-<tab number>.png for every tab\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int width = argc > 4 ? std::atoi(argv[3]) : 1000;
    const int height = argc > 4 ? std::atoi(argv[4]) : 640;
    SilentHost host;
    editor::DrawingViewer viewer(host);
    viewer.setPaintBoxSize(width, height);
    if (!viewer.session().openfilewithname(argv[1]))
        return 1;
    const int tabs = static_cast<int>(viewer.drawing().tabCaptions.size());
    for (int t = 0; t < tabs; ++t) {
        viewer.TabControl1Change(t);
        viewer.ZoomFullIn();
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            render::QPainterCanvas canvas(painter);
            viewer.PaintBox1Paint(canvas, 96);
        }
        const std::string out = std::string(argv[2]) + "-" + std::to_string(t) + ".png";
        if (!render::savePng(image, out))
            return 1;
        std::printf("%s\t%s\n", out.c_str(), viewer.drawing().tabCaptions[t].c_str());
    }
    return 0;
}
