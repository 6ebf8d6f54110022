// quentar measure: what the calculator takes over from a drawing, with its preview picture.
#include "app/commands.h"
#include "app/exit_codes.h"
#include "app/json_writer.h"
#include "costing/decimal_text.h"
#include "document/dxf_file.h"
#include "document/safe_file.h"
#include "dxf/reader.h"
#include "render/measure_drawing.h"
#include "render/qt/qpainter_canvas.h"
#include "render/view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quentar::app {

namespace {

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

// A private folder made for this run only; removed when the program ends.
struct OwnRuntimeFolder {
    std::string path;
    ~OwnRuntimeFolder() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};

// The runtime folder Qt is given when the session has none: one per user in the temporary
// folder, made once and used by every later run (a folder made for each run would pile up
// there). It must be a folder of this user that nobody else may enter; where another user or a
// link holds the name, the run makes a folder of its own and removes it at the end.
std::string runtimeFolder() {
    std::error_code ec;
    const std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
    if (ec) return {};
    const std::string shared = (tmp / ("quentar-runtime-" + std::to_string(::getuid()))).string();
    if (::mkdir(shared.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st;
        if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            (st.st_mode & 077) == 0)
            return shared;
    }
    static OwnRuntimeFolder own;
    std::string dir = (tmp / "quentar-runtime-XXXXXX").string();
    if (!::mkdtemp(dir.data())) return {};
    own.path = dir;
    return dir;
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
    // Without a runtime folder Qt makes one up and says so on stderr, where a command's one line
    // of refusal belongs: a private one of our own keeps it quiet.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = runtimeFolder();
        if (!dir.empty()) qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
    app = std::make_unique<QGuiApplication>(argc, argv);
}

MeasuredFile measureFile(const std::string &file, const render::MeasureOptions &options,
                         bool withPreview, int &argc, char **argv,
                         std::unique_ptr<QGuiApplication> &app) {
    MeasuredFile out;
    out.drawing = std::make_unique<document::Drawing>();
    document::Drawing &d = *out.drawing;
    const document::LoadResult loaded = document::loadDxfFile(file, d);
    if (!loaded) {
        out.error = "cannot open " + file + ": " + document::loadFailureText(loaded);
        return out;
    }
    dxf::processdxf(d);
    if (options.tab >= static_cast<int>(d.tabCaptions.size())) {
        out.error = "the drawing has " + std::to_string(d.tabCaptions.size()) + " tabs; tab " +
                    std::to_string(options.tab) + " does not exist";
        return out;
    }
    if (withPreview) {
        ensureGuiApplication(app, argc, argv);
        QImage picture(render::kPreviewSize, render::kPreviewSize, QImage::Format_RGB32);
        const render::Rgb bg = render::previewBackground(d, options.tab, false);
        picture.fill(QColor(bg.r, bg.g, bg.b));
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            render::QPainterCanvas canvas(painter);
            out.m = render::measureDrawing(d, options, &canvas);
        }
        out.preview = composePreview(
            picture, costing::formatTwoDecimals(out.m.maxx - out.m.minx) + " x " +
                         costing::formatTwoDecimals(out.m.maxy - out.m.miny) + " mm");
    } else {
        out.m = render::measureDrawing(d, options, nullptr);
    }
    if (!out.m.refusal.empty()) out.error = "cannot price " + file + ": " + out.m.refusal;
    return out;
}

bool parseMeasureOption(const std::vector<std::string> &args, std::size_t &i,
                        render::MeasureOptions &o, std::string &error) {
    const std::string &a = args[i];
    // Only what is cut is measured unless all contours are asked for (--cut-only, once needed
    // for that, is still taken).
    if (a == "--cut-only" || a == "--all-contours") {
        o.cutContoursOnly = a == "--cut-only";
        return true;
    }
    if (a == "--units") {
        if (i + 1 >= args.size()) {
            error = "--units needs a value: auto, mm or inch";
            return true;
        }
        const std::string &v = args[++i];
        if (v == "auto") o.units = render::UnitChoice::Auto;
        else if (v == "mm") o.units = render::UnitChoice::Millimetres;
        else if (v == "inch") o.units = render::UnitChoice::Inches;
        else error = "--units takes auto, mm or inch, not " + v;
        return true;
    }
    return false;
}

void writeBreakdownJson(JsonWriter &j, const render::DrawingMeasurement &m) {
    const contours::ContourAnalysis &a = m.figures.analysis;
    const render::ContourFigures &f = m.figures;
    const double s = m.scale;
    // What the length is made of: each kind measured or left out, then what is never cut.
    j.field("drawn_length", m.drawnLength);
    j.key("breakdown").beginObject();
    for (int k = 0; k < contours::kMeasureKinds; ++k) {
        const auto kind = static_cast<contours::MeasureKind>(k);
        j.key(contours::measureKindName(kind)).beginObject();
        j.field("length", a.lengthByKind[static_cast<std::size_t>(k)] * s);
        j.field("measured", a.kindMeasured[static_cast<std::size_t>(k)]);
        j.endObject();
    }
    double hiddenLength = 0;
    for (const auto &h : f.hidden) hiddenLength += h.length;
    j.key("hidden").beginObject().field("length", hiddenLength * s).field("measured", false);
    j.key("by").beginArray();
    for (const auto &h : f.hidden) {
        static const char *kWhy[] = {"shown", "frozen", "invisible", "not-plotted"};
        j.beginObject().field("why", kWhy[static_cast<int>(h.why)]);
        if (h.layer.empty())
            j.key("layer").raw("null");
        else
            j.field("layer", h.layer);
        j.field("entities", h.entities).field("length", h.length * s);
        j.endObject();
    }
    j.endArray().endObject();
    j.key("zero_length").beginObject().field("count", f.zeroLength);
    j.key("places").beginArray();
    for (const auto &[x, y] : f.zeroLengthAt)
        j.beginObject().field("x", x * s).field("y", y * s).endObject();
    j.endArray().endObject();
    j.endObject();
}

void writeMeasurementJson(JsonWriter &j, const render::DrawingMeasurement &m) {
    const contours::ContourAnalysis &a = m.figures.analysis;
    const double s = m.scale;
    j.key("units").beginObject();
    if (m.drawingUnit.empty())
        j.key("drawing").raw("null");
    else
        j.field("drawing", m.drawingUnit);
    j.field("scale", m.scale).endObject();
    j.field("parts", a.parts).field("holes", a.holes).field("pierces", a.pierces);
    j.field("open_chains", a.openCount);
    j.key("contours").beginArray();
    for (const contours::Contour &c : a.contours) {
        j.beginObject();
        j.field("kind", !c.closed ? (c.attached ? "attached" : "open")
                        : c.depth == 0 ? "outer" : c.depth % 2 ? "hole" : "island");
        if (c.closed) j.field("area", c.area * s * s);
        j.field("length", c.length * s).field("depth", c.depth).field("parent", c.parent);
        j.key("box").beginArray().value(c.minx * s).value(c.miny * s).value(c.maxx * s);
        j.value(c.maxy * s).endArray();
        j.endObject();
    }
    j.endArray();
    j.key("open_ends").beginArray();
    for (const contours::OpenEnd &e : a.openEnds) {
        j.beginObject().field("x", e.x * s).field("y", e.y * s);
        if (e.nearest >= 0) j.field("gap", e.nearest * s);
        if (e.attached) j.field("attached", true);
        j.endObject();
    }
    j.endArray();
    j.key("duplicates").beginObject().field("length", a.duplicateLength * s);
    j.key("places").beginArray();
    for (const contours::DuplicateCut &dc : a.duplicates)
        j.beginObject().field("x", dc.x * s).field("y", dc.y * s).field("length", dc.length * s)
            .endObject();
    j.endArray().endObject();
    writeBreakdownJson(j, m);
    j.key("warnings").beginArray();
    for (const render::MeasureWarning &w : m.warnings)
        j.beginObject().field("code", w.code).field("message", w.english).endObject();
    j.endArray();
}

int runMeasure(const std::vector<std::string> &args, int &argc, char **argv) {
    std::string file, previewPath;
    render::MeasureOptions options;
    bool preview = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        std::string error;
        if (parseMeasureOption(args, i, options, error)) {
            if (!error.empty()) return refuseArguments(error);
        } else if (a == "--tab") {
            // The tab asked for is measured, empty or not.
            options.layoutWhenModelEmpty = false;
            const std::string v = i + 1 < args.size() ? args[++i] : std::string();
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), options.tab);
            if (v.empty() || ec != std::errc() || p != v.data() + v.size() || options.tab < 0)
                return refuseArguments("--tab takes the number of a tab, from 0" +
                                       (v.empty() ? std::string() : ", not " + v));
        } else if (a == "--preview") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return refuseArguments("--preview needs a file name");
            previewPath = args[++i];
            preview = true;
        } else if (!a.empty() && a[0] == '-') {
            return refuseArguments("measure: unknown option " + a);
        } else if (file.empty()) {
            file = a;
        } else {
            return refuseArguments("measure takes one drawing: " + a + " is one too many");
        }
    }
    if (file.empty()) return refuseArguments("measure needs a drawing (FILE.dxf)");
    if (preview && document::isSameFile(previewPath, file))
        return fail("--preview " + previewPath + " is the drawing " + file +
                    ", which would be overwritten");

    std::unique_ptr<QGuiApplication> app;
    MeasuredFile mf = measureFile(file, options, preview, argc, argv, app);
    if (!mf.error.empty()) return fail(mf.error);
    const render::DrawingMeasurement &m = mf.m;

    const std::string widthText = costing::formatTwoDecimals(m.maxx - m.minx);
    const std::string lengthText = costing::formatTwoDecimals(m.maxy - m.miny);
    const double width = costing::parseDecimal(widthText);
    const double length = costing::parseDecimal(lengthText);
    const double coverage = width * length == 0 ? 100 : m.netArea * 100 / (width * length);

    std::string out;
    JsonWriter j(out);
    j.beginObject()
        .field("tab", static_cast<int32_t>(m.tab))
        .field("zoomedvalue", m.view.zoomedvalue)
        .field("konturlang", m.konturlang)
        .field("konturminx", m.minx)
        .field("konturmaxx", m.maxx)
        .field("konturminy", m.miny)
        .field("konturmaxy", m.maxy);
    j.key("width").raw(widthText);
    j.key("length").raw(lengthText);
    j.key("flaechen").beginArray();
    for (double a : m.areas) j.value(a);
    j.endArray();
    j.field("net_area", m.netArea);
    j.key("coverage").raw(costing::formatTwoDecimals(coverage));
    writeMeasurementJson(j, m);
    if (preview) {
        // Through the same atomic writer as every other output: a failed write keeps the old
        // picture and says why.
        int error = 0;
        if (!render::savePng(mf.preview, previewPath, &error))
            return fail("cannot write " + previewPath + ": " +
                            (error ? document::writeErrorText(error)
                                   : std::string("the picture could not be encoded")),
                        kNotWritten);
        j.field("preview", previewPath);
    }
    j.endObject();
    out.push_back('\n');
    for (const render::MeasureWarning &w : m.warnings) warn(w.english);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail("cannot write the standard output", kNotWritten);
    return kDone;
}

} // namespace quentar::app
