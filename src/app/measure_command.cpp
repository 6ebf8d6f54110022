// quentar measure: what the calculator takes over from a drawing, with its preview picture.
#include "app/commands.h"
#include "app/json_writer.h"
#include "costing/decimal_text.h"
#include "document/dxf_file.h"
#include "dxf/reader.h"
#include "render/qt/qpainter_canvas.h"
#include "render/view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <charconv>
#include <cstdio>
#include <memory>

namespace quentar::app {

namespace {

void usageMeasure() {
    std::fputs("usage: quentar measure FILE.dxf [--tab N] [--preview OUT.png]\n", stderr);
}

// The calculator's preview: the 180-pixel picture with the part's size centred underneath.
QImage composePreview(const QImage &picture, const std::string &sizeText) {
    QImage out(render::kPreviewSize, 210, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    const QFont font(QStringLiteral("Tahoma"), 8); // the picture's default font
    p.setFont(font);
    p.setPen(Qt::black);
    const QString text = QString::fromStdString(sizeText);
    const int width = QFontMetrics(font, &out).horizontalAdvance(text);
    // The text's top at y = 185, as a canvas places text.
    p.drawText(QPoint((render::kPreviewSize - width) / 2, 185 + QFontMetrics(font, &out).ascent()),
               text);
    return out;
}

} // namespace

QImage renderPreview(document::Drawing &d, int tab, const render::ViewState &view,
                     render::ContourFigures &figures) {
    QImage picture(render::kPreviewSize, render::kPreviewSize, QImage::Format_RGB32);
    const render::Rgb bg = render::previewBackground(d, tab, false);
    picture.fill(QColor(bg.r, bg.g, bg.b));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        render::QPainterCanvas canvas(painter);
        render::Vorschaubild(d, tab, view, false, 96, &canvas, figures);
    }
    const std::string size = costing::formatTwoDecimals(figures.konturmaxx - figures.konturminx) +
                             " x " +
                             costing::formatTwoDecimals(figures.konturmaxy - figures.konturminy) +
                             " mm";
    return composePreview(picture, size);
}

void ensureGuiApplication(std::unique_ptr<QGuiApplication> &app, int &argc, char **argv) {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
}

int runMeasure(const std::vector<std::string> &args, int &argc, char **argv) {
    std::string file, previewPath;
    int tab = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--tab" && i + 1 < args.size()) {
            const std::string &v = args[++i];
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), tab);
            if (ec != std::errc() || p != v.data() + v.size() || tab < 0) {
                usageMeasure();
                return 2;
            }
        } else if (a == "--preview" && i + 1 < args.size()) {
            previewPath = args[++i];
        } else if (!a.empty() && a[0] != '-' && file.empty()) {
            file = a;
        } else {
            usageMeasure();
            return 2;
        }
    }
    if (file.empty()) {
        usageMeasure();
        return 2;
    }
    document::Drawing &d = *new document::Drawing; // left to the OS at exit, as in info
    if (!document::loadDxfLines(file, d)) {
        std::fprintf(stderr, "quentar: cannot read %s\n", file.c_str());
        return 1;
    }
    dxf::processdxf(d);
    if (tab >= static_cast<int>(d.tabCaptions.size())) {
        std::fprintf(stderr, "quentar: the drawing has %zu tabs; --tab %d does not exist\n",
                     d.tabCaptions.size(), tab);
        return 2;
    }

    // Opening shows the drawing fitted into the window; confirming it fits the 180-pixel square.
    render::ViewState view;
    const render::PageSetup page;
    render::fitView(d, tab, render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight, page,
                    view);
    render::ZoomFullIn180(d, tab, page, view);

    render::ContourFigures figures;
    std::unique_ptr<QGuiApplication> app;
    QImage composed;
    if (!previewPath.empty()) {
        ensureGuiApplication(app, argc, argv);
        composed = renderPreview(d, tab, view, figures);
    } else {
        render::Vorschaubild(d, tab, view, false, 96, nullptr, figures);
    }

    // Largest contour first; the others are holes.
    std::vector<double> areas = figures.areas();
    for (std::size_t i = 0; i + 1 < areas.size(); ++i)
        for (std::size_t j = i + 1; j < areas.size(); ++j)
            if (areas[j] > areas[i]) std::swap(areas[i], areas[j]);
    double net = 0;
    if (!areas.empty()) {
        double others = 0;
        for (std::size_t i = 1; i < areas.size(); ++i) others += areas[i];
        net = areas[0] - others;
    }
    const std::string widthText =
        costing::formatTwoDecimals(figures.konturmaxx - figures.konturminx);
    const std::string lengthText =
        costing::formatTwoDecimals(figures.konturmaxy - figures.konturminy);
    const double width = costing::parseDecimal(widthText);
    const double length = costing::parseDecimal(lengthText);
    const double coverage = width * length == 0 ? 100 : net * 100 / (width * length);

    std::string out;
    JsonWriter j(out);
    j.beginObject()
        .field("tab", static_cast<int32_t>(tab))
        .field("zoomedvalue", view.zoomedvalue)
        .field("konturlang", figures.konturlang)
        .field("konturminx", figures.konturminx)
        .field("konturmaxx", figures.konturmaxx)
        .field("konturminy", figures.konturminy)
        .field("konturmaxy", figures.konturmaxy);
    j.key("width").raw(widthText);
    j.key("length").raw(lengthText);
    j.key("flaechen").beginArray();
    for (double a : areas) j.value(a);
    j.endArray();
    j.field("net_area", net);
    j.key("coverage").raw(costing::formatTwoDecimals(coverage));
    if (!previewPath.empty()) {
        if (!render::savePng(composed, previewPath)) {
            std::fprintf(stderr, "quentar: cannot write %s\n", previewPath.c_str());
            return 1;
        }
        j.field("preview", previewPath);
    }
    j.endObject();
    out.push_back('\n');
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace quentar::app
