// quentar quote: the calculator's main road without a window, from drawing to prices.
#include "app/commands.h"
#include "app/exit_codes.h"
#include "app/core/data_file_warnings.h"
#include "document/folders.h"
#include "app/json_writer.h"
#include "app/quote_sheet.h"
#include "costing/calculator.h"
#include "costing/drawing_takeover.h"
#include "costing/persisted_settings.h"
#include "costing/report.h"
#include "costing/report_pdf.h"
#include "costing/ui/nest_picture.h"
#include "document/dxf_file.h"
#include "document/safe_file.h"
#include "dxf/reader.h"
#include "render/view.h"

#include <QCoreApplication>
#include <QSettings>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quentar::app {

namespace {

struct QuoteOptions {
    render::MeasureOptions measure;
    std::vector<std::string> files;
    std::string material, thickness, quantity;
    std::vector<std::pair<std::string, std::string>> sets;
    bool offers = false, json = false;
    std::string dataDir, csv, pdf, text, project;
    SheetOptions sheet; // material by the sheet, beside the blank
    bool acceptPartial = false; // price figures of a part of the drawing (a stopped measurement)
};

// "StueckEd: 1.5 is not a whole number"
std::string refusedValue(const std::string &name, const std::string &value,
                         const costing::Refusal &why) {
    return name + ": " + value + " " + costing::refusalText(why);
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
struct StoredSettings {
    std::string file;
    std::map<std::string, std::string> values;

    static StoredSettings read() {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                        QStringLiteral("Quentar"));
        StoredSettings s;
        s.file = store.fileName().toStdString();
        store.beginGroup(QStringLiteral("TLaserForm"));
        for (const std::string &key : costing::persistedKeys()) {
            const QVariant v = store.value(QString::fromStdString(key));
            if (v.isValid()) s.values[key] = v.toString().toStdString();
        }
        return s;
    }
    std::optional<std::string> operator()(const std::string &key) const {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
};

std::string csvCell(const std::string &s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// The cost breakdown on stdout, from the same figures as the JSON and the quotation.
std::string breakdownText(const std::string &file, costing::Calculator &calc,
                          const render::DrawingMeasurement &m,
                          const std::vector<render::MeasureWarning> &warnings) {
    costing::Engine &e = calc.engine();
    const std::string cur = " " + calc.WaehrEd + "\n";
    std::string t = "Zeichnung: " + file + "\n";
    t += "  Material: " + e.MaterialBoxEd.text() + ", Stärke: " + e.MatstarkEd.text() +
         " mm, Menge: " + e.StueckEd.text() + " Stück\n";
    t += "  Breite x Länge: " + e.breited.text() + " x " + e.hoched.text() +
         " mm, Konturlänge: " + e.KonturmmEd.text() + " mm, Fläche: " + e.FlaecheEd.text() + " %\n";
    t += "  Gewicht/Stück: " + e.TeilgewichtEd.text() +
         " Kg, Materialverbrauch/Stück: " + e.GewichtEd.text() + " Kg\n";
    t += "  Vorschub: " + e.vorschubed.text() + " m/min, Laserzeit/Stück: " + e.LaserZeitEd.text() +
         " hh:mm:ss\n";
    if (e.RabattEd.value() != 0)
        t += "  Rabatt auf Maschinenstundensatz: " + e.RabattEd.text() + " %\n";
    t += "  Materialkosten/Stück: " + e.matkostenEd.text() + cur;
    t += "  Laserkosten/Stück:    " + e.SchneidkostenEd.text() + cur;
    t += "  Lohnkosten:           " + e.lohnkostened.text() + cur;
    t += "  Gesamtkosten/Stück:   " + e.GesamtKostenEd.text() + cur;
    t += "  Preis/Stück:          " + e.PreisProStueckEd.text() + cur;
    t += "  Gesamtpreis:          " + e.GesamtPreisEd.text() + cur;
    const contours::ContourAnalysis &a = m.figures.analysis;
    t += "  Teile: " + std::to_string(a.parts) + ", Löcher: " + std::to_string(a.holes) +
         ", Einstiche: " + std::to_string(a.pierces) + "\n";
    for (const render::MeasureWarning &w : warnings) t += "  Warnung: " + w.german + "\n";
    return t;
}

pdf::RgbImage rgbOf(const QImage &image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    pdf::RgbImage picture;
    picture.width = rgb.width();
    picture.height = rgb.height();
    for (int row = 0; row < rgb.height(); ++row) {
        const uchar *line = rgb.constScanLine(row);
        picture.rgb.insert(picture.rgb.end(), line, line + 3 * rgb.width());
    }
    return picture;
}

// The nest on the quotation: half the text width of an A4 page at about 250 dpi.
constexpr int kNestPicturePixels = 800;

// Sets one field from the command line through the same check the window's editors use.
std::optional<std::string> applySetting(costing::Engine &e, costing::Field &f,
                                        const std::string &value, const std::string &shownAs) {
    if (auto why = e.checkSetting(f, value)) return refusedValue(shownAs, value, *why);
    f.setText(value);
    return std::nullopt;
}

// Parses the arguments of `quote`; the refusal's line when they make no sense.
std::optional<std::string> parseQuoteArguments(const std::vector<std::string> &args,
                                               QuoteOptions &o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto next = [&](std::string &target) -> std::optional<std::string> {
            if (i + 1 >= args.size()) return a + " needs a value";
            target = args[++i];
            return std::nullopt;
        };
        std::string error;
        std::optional<std::string> why;
        bool sheetOk = true;
        if (parseMeasureOption(args, i, o.measure, error)) {
            if (!error.empty()) why = error;
        } else if (o.sheet.parse(args, i, sheetOk)) {
            if (!sheetOk) why = a + " needs a value";
        } else if (a == "--material") why = next(o.material);
        else if (a == "--thickness") why = next(o.thickness);
        else if (a == "--quantity") why = next(o.quantity);
        else if (a == "--data-dir") why = next(o.dataDir);
        else if (a == "--csv" || a == "--pdf" || a == "--text") {
            std::string &target = a == "--csv" ? o.csv : a == "--pdf" ? o.pdf : o.text;
            why = next(target);
            // An empty name would be skipped as "no such output": asked for, it must be made.
            if (!why && target.empty()) why = a + " needs a file name";
        } else if (a == "--project") why = next(o.project);
        else if (a == "--offers") o.offers = true;
        else if (a == "--json") o.json = true;
        else if (a == "--accept-partial") o.acceptPartial = true;
        else if (a == "--set") {
            std::string kv;
            why = next(kv);
            const std::size_t eq = kv.find('=');
            if (!why && (eq == std::string::npos || eq == 0))
                why = "--set takes FIELD=VALUE, not " + kv;
            else if (!why)
                o.sets.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
        } else if (!a.empty() && a[0] != '-')
            o.files.push_back(a);
        else
            why = "quote: unknown option " + a;
        if (why) return why;
    }
    if (o.files.empty()) return std::string("quote needs at least one drawing (FILE.dxf)");
    return o.sheet.check();
}

// The warnings of the data files that hold for every drawing of the run: a file rejected as a
// whole, and the values refused in one that was read.
std::vector<render::MeasureWarning> dataFileWarnings(const costing::Calculator &calc,
                                                     const std::string &dataDir) {
    std::vector<render::MeasureWarning> out;
    const std::filesystem::path folder(dataDir);
    if (calc.materialFileState() == costing::Catalogue::LoadResult::Corrupt) {
        const std::string path = (folder / costing::Catalogue::kFileName).string();
        out.push_back({"damaged-file", damagedFileWarning(DataFile::Materials, path),
                       damagedFileWarningGerman(DataFile::Materials, path)});
    }
    if (calc.tierFileState() == costing::TierList::LoadResult::Corrupt) {
        const std::string path = (folder / costing::TierList::kFileName).string();
        out.push_back({"damaged-file", damagedFileWarning(DataFile::Tiers, path),
                       damagedFileWarningGerman(DataFile::Tiers, path)});
    }
    for (const costing::DamagedValue &v : calc.damagedValues())
        out.push_back({"damaged-value", v.english, v.german});
    return out;
}

// The warning that says why figures are of a part of the drawing only.
std::string partialReason(const render::DrawingMeasurement &m) {
    for (const render::MeasureWarning &w : m.warnings)
        if (w.code == "visits-cut" || w.code == "vertices-dropped" ||
            w.code == "contours-not-computed")
            return w.english;
    return "the measurement stopped part way";
}

} // namespace

int runQuote(const std::vector<std::string> &args, int &argc, char **argv) {
    QuoteOptions o;
    if (const auto why = parseQuoteArguments(args, o)) return refuseArguments(*why);
    if ((!o.pdf.empty() || !o.text.empty()) && o.files.size() != 1)
        return fail("--pdf and --text take the quotation of one drawing");

    // Checked before anything is computed: an output must not replace a drawing it is made from,
    // nor another output of the same run.
    std::vector<std::pair<std::string, std::string>> outputs;
    for (const auto &[option, path] :
         {std::pair{"--csv", &o.csv}, std::pair{"--pdf", &o.pdf}, std::pair{"--text", &o.text}})
        if (!path->empty()) outputs.emplace_back(option, *path);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (const std::string &input : o.files)
            if (document::isSameFile(outputs[i].second, input))
                return fail(outputs[i].first + " " + outputs[i].second + " is the drawing " +
                            input + ", which would be overwritten");
        for (std::size_t j = 0; j < i; ++j)
            if (document::isSameFile(outputs[i].second, outputs[j].second))
                return fail(outputs[j].first + " and " + outputs[i].first + " name the same file " +
                            outputs[i].second);
    }

    // The quotation's picture needs fonts and painting; everything else only Qt's settings.
    std::unique_ptr<QGuiApplication> gui;
    std::unique_ptr<QCoreApplication> core;
    if (!o.pdf.empty())
        ensureGuiApplication(gui, argc, argv);
    else
        core = std::make_unique<QCoreApplication>(argc, argv);
    const std::string dataDir =
        o.dataDir.empty() ? document::Folders::ofThisProgram().dataFolder(false) : o.dataDir;
    // Said once, on stderr, when the run succeeds; a refusal is its one line alone.
    std::vector<std::string> runWarnings;
    if (!o.dataDir.empty() && !std::filesystem::is_directory(o.dataDir))
        runWarnings.push_back(missingDataFolderWarning(o.dataDir));
    const StoredSettings stored = StoredSettings::read();

    // Everything is computed first, stdout included; files are written only when every drawing
    // has been priced, so a refusal leaves nothing behind.
    struct Result {
        std::string file;
        std::vector<std::pair<std::string, std::string>> fields;
        std::string material;
        std::vector<std::string> offers;
        std::vector<costing::ReportLine> report;
        QImage preview;
        std::string breakdown;
        std::vector<render::MeasureWarning> warnings;
        render::DrawingMeasurement measurement;
        std::optional<costing::SheetFigures> sheet;
        QImage nest; // the first sheet's nest, for the PDF quotation
    };
    SheetQuoting sheets(o.sheet);
    std::vector<Result> results;
    try {
        for (const std::string &file : o.files) {
            costing::Calculator calc(dataDir);
            const std::vector<render::MeasureWarning> dataWarnings =
                dataFileWarnings(calc, dataDir);
            if (results.empty())
                for (const render::MeasureWarning &w : dataWarnings)
                    runWarnings.push_back(w.english);
            const auto refused = costing::restoreAllPersisted(calc, stored);
            if (!refused.empty())
                return fail(stored.file + ": " +
                            refusedValue(refused.front().key, refused.front().value,
                                         refused.front().refusal));
            calc.windowShown();
            costing::Engine &e = calc.engine();
            Result r;
            MeasuredFile mf = measureFile(file, o.measure, !o.pdf.empty(), argc, argv, gui);
            if (!mf.error.empty()) return fail(mf.error);
            // Figures of a part of the drawing are priced only when the user says so.
            if (mf.m.partial && !o.acceptPartial)
                return fail("cannot price " + file + ": " + partialReason(mf.m) +
                            " (--accept-partial prices what was measured)");
            r.preview = std::move(mf.preview);
            for (const render::MeasureWarning &w : mf.m.warnings) {
                runWarnings.push_back(file + ": " + w.english);
                r.warnings.push_back(w);
            }
            r.warnings.insert(r.warnings.end(), dataWarnings.begin(), dataWarnings.end());
            r.measurement = std::move(mf.m);
            e.takeOverDrawing(costing::figuresOf(r.measurement));
            if (!o.material.empty()) {
                bool chosen = e.MaterialBoxEd.setText(o.material);
                if (!chosen && isNumber(o.material)) {
                    int idx = -1;
                    std::from_chars(o.material.data(), o.material.data() + o.material.size(), idx);
                    chosen = e.MaterialBoxEd.choose(idx);
                }
                if (!chosen) return fail("unknown material: " + o.material);
            }
            // The chosen material's own row is damaged: the line names the file, row and field.
            for (const costing::DamagedValue &v : calc.damagedValues())
                if (v.material >= 0 && v.material == e.MaterialBoxEd.index())
                    return fail(v.english);
            if (!o.thickness.empty())
                if (auto why = applySetting(e, e.MatstarkEd, o.thickness, "--thickness"))
                    return fail(*why);
            if (!o.quantity.empty())
                if (auto why = applySetting(e, e.StueckEd, o.quantity, "--quantity"))
                    return fail(*why);
            for (const auto &[name, value] : o.sets) {
                costing::Field *f = e.field(name);
                if (!f) return fail("unknown field: " + name);
                if (auto why = applySetting(e, *f, value, name)) return fail(*why);
            }
            // A figure the chosen material brought (a negative price in its file) or one that no
            // longer fits the part: the quotation would not be what the fields show.
            if (const auto bad = e.refusedFields(); !bad.empty())
                return fail(refusedValue(bad.front()->name(), bad.front()->editText(),
                                         *bad.front()->refusal()));

            // By the sheet, the material cost is the sheets': before any figure is read.
            if (o.sheet.requested()) {
                std::string why;
                r.sheet = sheets.figures(calc, *mf.drawing, r.measurement, why);
                if (!r.sheet) return fail(file + ": " + why);
            }
            r.file = file;
            r.material = e.MaterialBoxEd.text();
            for (const costing::Field *f : e.fields()) r.fields.emplace_back(f->name(), f->text());
            r.breakdown = breakdownText(file, calc, r.measurement, r.warnings);
            if (r.sheet) {
                r.breakdown += sheetText(*r.sheet, calc.WaehrEd);
                for (const render::MeasureWarning &w : r.sheet->warnings) {
                    runWarnings.push_back(file + ": " + w.english);
                    r.warnings.push_back(w);
                }
            }
            // The quotation is built before the offer run, as the window builds it; the run
            // leaves every field as it was, so all outputs show the same prices.
            if (!o.pdf.empty()) r.report = costing::CalcAusdruck(calc, o.project, false);
            if (!o.pdf.empty() && r.sheet)
                r.nest = costing::ui::paintNestPicture(r.sheet->picture, kNestPicturePixels);
            if (o.offers || !o.text.empty()) r.offers = calc.CalcAngebotspreise();
            if (!o.pdf.empty() && o.offers) costing::appendOfferLines(r.report, r.offers);
            results.push_back(std::move(r));
        }
    } catch (const std::bad_alloc &) {
        return fail("the drawing is too large for the memory available", kTooLarge);
    }

    std::string out;
    if (o.json) {
        for (const Result &r : results) {
            JsonWriter j(out);
            j.beginObject().field("file", r.file).field("material", r.material);
            for (const auto &[name, text] : r.fields) j.field(name, text);
            const contours::ContourAnalysis &a = r.measurement.figures.analysis;
            j.field("parts", a.parts).field("holes", a.holes).field("pierces", a.pierces);
            if (r.sheet) writeSheetJson(j, *r.sheet);
            writeBreakdownJson(j, r.measurement);
            j.key("warnings").beginArray();
            for (const render::MeasureWarning &w : r.warnings)
                j.beginObject().field("code", w.code).field("message", w.english).endObject();
            j.endArray();
            if (o.offers) {
                j.key("offers").beginArray();
                for (const auto &line : r.offers) j.value(line);
                j.endArray();
            }
            j.endObject();
            out += "\n";
        }
    } else if (o.csv.empty()) {
        for (const Result &r : results) {
            out += r.breakdown;
            if (o.offers) {
                out += "  Angebotspreise:\n";
                for (const auto &line : r.offers) out += "    " + line + "\n";
            }
        }
    }

    // Every output is written beside its target first; only when all of them could be written
    // are they put in place, so a failure leaves none of them changed.
    const Result &first = results.front();
    std::vector<document::StagedFile> staged;
    auto stage = [&](const std::string &path, std::string_view bytes) {
        document::StagedFile &f = staged.emplace_back();
        return f.stage(path, bytes);
    };
    auto notWritten = [&](const std::string &path, int error) {
        return fail("cannot write " + path + ": " + document::writeErrorText(error), kNotWritten);
    };
    if (!o.pdf.empty()) {
        const pdf::RgbImage picture = rgbOf(first.preview);
        const pdf::RgbImage nest = first.nest.isNull() ? pdf::RgbImage{} : rgbOf(first.nest);
        pdf::TPDFCanvas canvas;
        std::string bytes;
        if (!costing::reportPdfBytes(first.report, &picture, canvas, bytes,
                                     first.nest.isNull() ? nullptr : &nest))
            return fail("cannot write " + o.pdf + ": the quotation is too large for a PDF file",
                        kNotWritten);
        if (!stage(o.pdf, bytes)) return notWritten(o.pdf, staged.back().error());
    }
    if (!o.text.empty()) {
        // CR LF, as every text file the program writes.
        std::string bytes;
        for (const auto &line : first.offers) bytes += line + "\r\n";
        if (!stage(o.text, bytes)) return notWritten(o.text, staged.back().error());
    }
    if (!o.csv.empty()) {
        std::string csv = "file,material";
        for (const auto &[name, text] : first.fields) csv += "," + name;
        if (o.sheet.requested())
            for (const std::string &name : sheetCsvHeader()) csv += "," + name;
        csv += ",warnings\r\n";
        for (const Result &r : results) {
            csv += csvCell(r.file) + "," + csvCell(r.material);
            for (const auto &[name, text] : r.fields) csv += "," + csvCell(text);
            if (r.sheet)
                for (const std::string &cell : sheetCsvCells(*r.sheet)) csv += "," + csvCell(cell);
            std::string warnings;
            for (const render::MeasureWarning &w : r.warnings)
                warnings += (warnings.empty() ? "" : "; ") + w.english;
            csv += "," + csvCell(warnings) + "\r\n";
        }
        if (!stage(o.csv, csv)) return notWritten(o.csv, staged.back().error());
    }
    std::vector<std::string> written;
    for (document::StagedFile &f : staged) {
        if (!f.commit()) {
            std::string done;
            for (const std::string &w : written) done += (done.empty() ? "" : ", ") + w;
            return fail("cannot write " + f.path() + ": " + document::writeErrorText(f.error()) +
                            (done.empty() ? "" : " (written: " + done + ")"),
                        kNotWritten);
        }
        written.push_back(f.path());
    }
    for (const std::string &w : sheets.fileWarnings()) warn(w);
    for (const std::string &w : runWarnings) warn(w);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail("cannot write the standard output", kNotWritten);
    return kDone;
}

} // namespace quentar::app
