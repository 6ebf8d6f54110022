// quentar quote: the calculator's main road without a window, from drawing to prices.
#include "app/commands.h"
#include "app/core/folders.h"
#include "app/json_writer.h"
#include "costing/calculator.h"
#include "costing/persisted_settings.h"
#include "costing/report_pdf.h"
#include "document/dxf_file.h"
#include "document/safe_file.h"
#include "dxf/reader.h"
#include "render/view.h"

#include <QCoreApplication>
#include <QSettings>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace quentar::app {

namespace {

struct QuoteOptions {
    std::vector<std::string> files;
    std::string material, thickness, quantity;
    std::vector<std::pair<std::string, std::string>> sets;
    bool offers = false, json = false;
    std::string dataDir, csv, pdf, text, project;
};

int fail(const std::string &message) {
    std::fprintf(stderr, "quentar: %s\n", message.c_str());
    return 2;
}

bool isNumber(const std::string &s) {
    std::string_view v = s;
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    double d;
    auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
    return !v.empty() && ec == std::errc() && p == v.data() + v.size();
}

// The calculator's stored settings, written by the desktop window: the same per-user INI file.
void restoreStoredSettings(costing::Calculator &calc) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    store.beginGroup(QStringLiteral("TLaserForm"));
    for (const std::string &key : costing::persistedKeys()) {
        const QVariant v = store.value(QString::fromStdString(key));
        if (v.isValid()) costing::restorePersisted(calc, key, v.toString().toStdString());
    }
}

// The figures the drawing window hands over when the user confirms a drawing, and with
// `preview` its picture.
bool measureDrawing(const std::string &file, costing::DrawingFigures &out, QImage *preview) {
    document::Drawing d;
    if (!document::loadDxfLines(file, d)) return false;
    dxf::processdxf(d);
    render::ViewState view;
    const render::PageSetup page;
    render::fitView(d, 0, render::kDefaultPaintBoxWidth, render::kDefaultPaintBoxHeight, page,
                    view);
    render::ZoomFullIn180(d, 0, page, view);
    render::ContourFigures f;
    if (preview)
        *preview = renderPreview(d, 0, view, f);
    else
        render::Vorschaubild(d, 0, view, false, 96, nullptr, f);
    out.konturlang = f.konturlang;
    out.konturminx = f.konturminx;
    out.konturmaxx = f.konturmaxx;
    out.konturminy = f.konturminy;
    out.konturmaxy = f.konturmaxy;
    out.flaechen = f.areas();
    return true;
}

std::string csvCell(const std::string &s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void printBreakdown(const std::string &file, costing::Calculator &calc) {
    costing::Engine &e = calc.engine();
    const std::string cur = " " + calc.WaehrEd;
    std::printf("Zeichnung: %s\n", file.c_str());
    std::printf("  Material: %s, Stärke: %s mm, Menge: %s Stück\n", e.MaterialBoxEd.text().c_str(),
                e.MatstarkEd.text().c_str(), e.StueckEd.text().c_str());
    std::printf("  Breite x Länge: %s x %s mm, Konturlänge: %s mm, Fläche: %s %%\n",
                e.breited.text().c_str(), e.hoched.text().c_str(), e.KonturmmEd.text().c_str(),
                e.FlaecheEd.text().c_str());
    std::printf("  Gewicht/Stück: %s Kg, Materialverbrauch/Stück: %s Kg\n",
                e.TeilgewichtEd.text().c_str(), e.GewichtEd.text().c_str());
    std::printf("  Vorschub: %s m/min, Laserzeit/Stück: %s hh:mm:ss\n", e.vorschubed.text().c_str(),
                e.LaserZeitEd.text().c_str());
    std::printf("  Materialkosten/Stück: %s%s\n", e.matkostenEd.text().c_str(), cur.c_str());
    std::printf("  Laserkosten/Stück:    %s%s\n", e.SchneidkostenEd.text().c_str(), cur.c_str());
    std::printf("  Lohnkosten:           %s%s\n", e.lohnkostened.text().c_str(), cur.c_str());
    std::printf("  Gesamtkosten/Stück:   %s%s\n", e.GesamtKostenEd.text().c_str(), cur.c_str());
    std::printf("  Preis/Stück:          %s%s\n", e.PreisProStueckEd.text().c_str(), cur.c_str());
    std::printf("  Gesamtpreis:          %s%s\n", e.GesamtPreisEd.text().c_str(), cur.c_str());
}

void usageQuote() {
    std::fputs("usage: quentar quote FILE.dxf [FILE.dxf ...] [--material NAME|INDEX]\n"
               "       [--thickness MM] [--quantity N] [--set FIELD=VALUE ...] [--offers]\n"
               "       [--data-dir DIR] [--json] [--csv OUT.csv]\n"
               "       [--pdf OUT.pdf] [--text OFFERS.txt] [--project NAME]\n",
               stderr);
}

} // namespace

int runQuote(const std::vector<std::string> &args, int &argc, char **argv) {
    QuoteOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto next = [&](std::string &target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        bool ok = true;
        if (a == "--material") ok = next(o.material);
        else if (a == "--thickness") ok = next(o.thickness) && isNumber(o.thickness);
        else if (a == "--quantity") ok = next(o.quantity) && isNumber(o.quantity);
        else if (a == "--data-dir") ok = next(o.dataDir);
        else if (a == "--csv") ok = next(o.csv);
        else if (a == "--pdf") ok = next(o.pdf);
        else if (a == "--text") ok = next(o.text);
        else if (a == "--project") ok = next(o.project);
        else if (a == "--offers") o.offers = true;
        else if (a == "--json") o.json = true;
        else if (a == "--set") {
            std::string kv;
            ok = next(kv);
            const std::size_t eq = kv.find('=');
            if (ok && eq != std::string::npos && eq > 0)
                o.sets.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
            else
                ok = false;
        } else if (!a.empty() && a[0] != '-')
            o.files.push_back(a);
        else
            ok = false;
        if (!ok) {
            usageQuote();
            return fail("malformed option: " + a);
        }
    }
    if (o.files.empty()) {
        usageQuote();
        return 2;
    }
    for (const auto &f : o.files)
        if (!std::filesystem::is_regular_file(f)) return fail("cannot read " + f);
    if ((!o.pdf.empty() || !o.text.empty()) && o.files.size() != 1)
        return fail("--pdf and --text take the quotation of one drawing");

    // The quotation's picture needs fonts and painting; everything else only Qt's settings.
    std::unique_ptr<QGuiApplication> gui;
    std::unique_ptr<QCoreApplication> core;
    if (!o.pdf.empty())
        ensureGuiApplication(gui, argc, argv);
    else
        core = std::make_unique<QCoreApplication>(argc, argv);
    const std::string dataDir =
        o.dataDir.empty() ? Folders::ofThisProgram().dataFolder(false) : o.dataDir;

    // Options are checked on the first drawing already; files are written only after all succeed.
    struct Result {
        std::string file;
        std::vector<std::pair<std::string, std::string>> fields;
        std::string material;
        std::vector<std::string> offers;
        std::string breakdownFile;
    };
    std::vector<Result> results;
    for (const std::string &file : o.files) {
        costing::Calculator calc(dataDir);
        restoreStoredSettings(calc);
        calc.windowShown();
        costing::Engine &e = calc.engine();
        costing::DrawingFigures figures;
        QImage preview;
        if (!measureDrawing(file, figures, o.pdf.empty() ? nullptr : &preview))
            return fail("cannot read " + file);
        e.takeOverDrawing(figures);
        if (!o.material.empty()) {
            bool chosen = e.MaterialBoxEd.setText(o.material);
            if (!chosen && isNumber(o.material)) {
                int idx = -1;
                std::from_chars(o.material.data(), o.material.data() + o.material.size(), idx);
                chosen = e.MaterialBoxEd.choose(idx);
            }
            if (!chosen) return fail("unknown material: " + o.material);
        }
        if (!o.thickness.empty()) e.MatstarkEd.setText(o.thickness);
        if (!o.quantity.empty()) e.StueckEd.setText(o.quantity);
        for (const auto &[name, value] : o.sets) {
            costing::Field *f = e.field(name);
            if (!f) return fail("unknown field: " + name);
            if (f->kind() == costing::FieldKind::Number && !isNumber(value))
                return fail("not a number for " + name + ": " + value);
            if (!f->setText(value)) return fail("malformed value for " + name + ": " + value);
        }
        Result r;
        r.file = file;
        r.material = e.MaterialBoxEd.text();
        for (const costing::Field *f : e.fields()) r.fields.emplace_back(f->name(), f->text());
        if (o.offers || !o.text.empty()) r.offers = calc.CalcAngebotspreise();
        if (!o.pdf.empty()) {
            const QImage rgb = preview.convertToFormat(QImage::Format_RGB888);
            pdf::RgbImage picture;
            picture.width = rgb.width();
            picture.height = rgb.height();
            for (int row = 0; row < rgb.height(); ++row) {
                const uchar *line = rgb.constScanLine(row);
                picture.rgb.insert(picture.rgb.end(), line, line + 3 * rgb.width());
            }
            pdf::TPDFCanvas canvas;
            if (!costing::exportReportPdf(costing::CalcAusdruck(calc, o.project, o.offers), o.pdf,
                                          &picture, canvas)) {
                std::fprintf(stderr, "quentar: cannot write %s\n", o.pdf.c_str());
                return 1;
            }
        }
        if (!o.text.empty()) {
            std::string bytes;
            for (const auto &line : r.offers) bytes += line + "\n";
            if (!document::writeFileAtomically(o.text, bytes)) {
                std::fprintf(stderr, "quentar: cannot write %s\n", o.text.c_str());
                return 1;
            }
        }
        if (!o.json && o.csv.empty()) printBreakdown(file, calc);
        if (!o.json && o.csv.empty() && o.offers) {
            std::puts("  Angebotspreise:");
            for (const auto &line : r.offers) std::printf("    %s\n", line.c_str());
        }
        results.push_back(std::move(r));
    }

    if (o.json) {
        for (const Result &r : results) {
            std::string out;
            JsonWriter j(out);
            j.beginObject().field("file", r.file).field("material", r.material);
            for (const auto &[name, text] : r.fields) j.field(name, text);
            if (o.offers) {
                j.key("offers").beginArray();
                for (const auto &line : r.offers) j.value(line);
                j.endArray();
            }
            j.endObject();
            std::printf("%s\n", out.c_str());
        }
    }
    if (!o.csv.empty()) {
        std::string csv = "file,material";
        for (const auto &[name, text] : results.front().fields) csv += "," + name;
        csv += "\r\n";
        for (const Result &r : results) {
            csv += csvCell(r.file) + "," + csvCell(r.material);
            for (const auto &[name, text] : r.fields) csv += "," + csvCell(text);
            csv += "\r\n";
        }
        if (!document::writeFileAtomically(o.csv, csv)) {
            std::fprintf(stderr, "quentar: cannot write %s\n", o.csv.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace quentar::app
