// Reading and writing sheets.txt: the stock formats per material and the sheet method's settings.
#include "costing/sheet_formats.h"

#include "document/safe_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>

namespace quentar::costing {

namespace {

// Formats beyond 100 m are typing errors, not sheets.
constexpr double kMaxSheetMm = 100000;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<double> number(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string numberText(double v) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : "0";
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = s.find(sep, from);
        out.push_back(
            s.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return out;
        from = at + 1;
    }
}

struct FieldName {
    const char *english, *german;
};
constexpr FieldName kFields[] = {{"material", "Material"}, {"width", "Breite"},
                                 {"length", "Länge"},      {"edge trim", "Randabstand"},
                                 {"gap", "Teileabstand"},  {"price", "Preis"}};

} // namespace

std::optional<std::pair<double, double>> parseSheetSize(std::string_view text) {
    std::size_t x = text.find_first_of("xX*×");
    if (x == std::string_view::npos) return std::nullopt;
    // "×" is two bytes in UTF-8; its first byte is what find_first_of met.
    const std::size_t skip = static_cast<unsigned char>(text[x]) == 0xC3 ? 2 : 1;
    const auto w = number(text.substr(0, x)), l = number(text.substr(x + skip));
    if (!w || !l || *w <= 0 || *l <= 0 || *w > kMaxSheetMm || *l > kMaxSheetMm) return std::nullopt;
    return std::pair{*w, *l};
}

void SheetFormats::addDefaults(const std::vector<std::string> &materials) {
    for (const std::string &m : materials)
        for (const auto &[w, l] : {std::pair{3000.0, 1500.0}, {2500.0, 1250.0}, {2000.0, 1000.0}})
            rows.push_back({m, w, l, 10, 5, std::nullopt});
}

std::vector<SheetFormatRow> SheetFormats::formatsOf(const std::string &material) const {
    std::vector<SheetFormatRow> out;
    for (const SheetFormatRow &r : rows)
        if (r.material == material) out.push_back(r);
    return out;
}

std::optional<SheetFormatRow> SheetFormats::choose(const std::string &material,
                                                   const std::string &choice,
                                                   std::string &why) const {
    const std::vector<SheetFormatRow> stored = formatsOf(material);
    if (const auto size = parseSheetSize(choice)) {
        for (const SheetFormatRow &r : stored)
            if (r.width == size->first && r.length == size->second) return r;
        SheetFormatRow r;
        r.material = material;
        r.width = size->first;
        r.length = size->second;
        if (2 * r.trim >= std::min(r.width, r.length)) r.trim = 0;
        return r;
    }
    int n = 0;
    const auto [end, ec] = std::from_chars(choice.data(), choice.data() + choice.size(), n);
    if (ec == std::errc() && end == choice.data() + choice.size() && n >= 1 &&
        n <= static_cast<int>(stored.size()))
        return stored[static_cast<std::size_t>(n - 1)];
    why = "no sheet format " + choice + " for " + material +
          " (a size such as 3000x1500, or 1 to " + std::to_string(stored.size()) +
          " for its stored formats)";
    return std::nullopt;
}

std::string SheetFormats::fileText() const {
    std::string t = "# Sheet formats per material, one per row: material;width mm;length mm;"
                    "edge trim mm;gap mm;price per sheet (empty: from the material's price)\n";
    t += std::string("remnant=") +
         (settings.remnant == RemnantPolicy::WholeSheets ? "whole" : "used") + "\n";
    t += "rotation=" + numberText(settings.rotationStep) + "\n";
    t += std::string("holes=") + (settings.fillHoles ? "fill" : "empty") + "\n";
    t += std::string("islands=") + (settings.islandsInPlace ? "in-place" : "apart") + "\n";
    t += "timeout=" + numberText(settings.timeoutSeconds) + "\n";
    for (const SheetFormatRow &r : rows)
        t += r.material + ";" + numberText(r.width) + ";" + numberText(r.length) + ";" +
             numberText(r.trim) + ";" + numberText(r.gap) + ";" +
             (r.price ? numberText(*r.price) : "") + "\n";
    return t;
}

std::vector<SheetFileWarning> SheetFormats::readText(std::string_view text,
                                                     const std::string &fileName) {
    std::vector<SheetFileWarning> warnings;
    std::vector<SheetFormatRow> read;
    SheetSettings s = settings;
    int row = 0, formatLines = 0;
    for (std::string_view line : split(text, '\n')) {
        ++row;
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        auto refuse = [&](const std::string &fieldEn, const std::string &fieldDe,
                          std::string_view value, const std::string &whyEn,
                          const std::string &whyDe) {
            const std::string v(value);
            warnings.push_back({fileName + ", row " + std::to_string(row) + ", field " + fieldEn +
                                    ": \"" + v + "\" " + whyEn + "; the row is left out",
                                fileName + ", Zeile " + std::to_string(row) + ", Feld " + fieldDe +
                                    ": \"" + v + "\" " + whyDe + "; die Zeile wird übergangen"});
        };
        if (line.find(';') == std::string_view::npos) {
            const std::size_t eq = line.find('=');
            const std::string key(trimmed(line.substr(0, eq)));
            const std::string_view value =
                eq == std::string_view::npos ? std::string_view{} : trimmed(line.substr(eq + 1));
            const auto n = number(value);
            if (key == "remnant" && (value == "whole" || value == "used"))
                s.remnant =
                    value == "whole" ? RemnantPolicy::WholeSheets : RemnantPolicy::UsedFraction;
            else if (key == "rotation" && n && *n > 0 && *n <= 360 &&
                     std::abs(360 / *n - std::round(360 / *n)) < 1e-9)
                s.rotationStep = *n;
            else if (key == "holes" && (value == "fill" || value == "empty"))
                s.fillHoles = value == "fill";
            else if (key == "islands" && (value == "in-place" || value == "apart"))
                s.islandsInPlace = value == "in-place";
            else if (key == "timeout" && n && *n > 0 && *n <= 3600)
                s.timeoutSeconds = *n;
            else if (key == "remnant" || key == "rotation" || key == "holes" || key == "islands" ||
                     key == "timeout")
                refuse(key, key, value, "is not a value it takes", "ist kein Wert, den es annimmt");
            else
                refuse("name", "Name", key, "is no setting", "ist keine Einstellung");
            continue;
        }
        ++formatLines;
        const auto fields = split(line, ';');
        if (fields.size() < 5 || fields.size() > 6) {
            refuse("count", "Anzahl", line, "does not have 5 or 6 fields",
                   "hat nicht 5 oder 6 Felder");
            continue;
        }
        SheetFormatRow r;
        r.material = std::string(trimmed(fields[0]));
        if (r.material.empty()) {
            refuse(kFields[0].english, kFields[0].german, fields[0], "is empty", "ist leer");
            continue;
        }
        double *targets[] = {&r.width, &r.length, &r.trim, &r.gap};
        bool ok = true;
        for (int f = 1; f <= 4 && ok; ++f) {
            const auto v = number(fields[static_cast<std::size_t>(f)]);
            const bool size = f <= 2;
            if (!v) {
                refuse(kFields[f].english, kFields[f].german, fields[f], "is not a number",
                       "ist keine Zahl");
                ok = false;
            } else if (size ? (*v <= 0 || *v > kMaxSheetMm) : (*v < 0 || *v > kMaxSheetMm)) {
                refuse(kFields[f].english, kFields[f].german, fields[f],
                       size ? "is not a size between 0 and 100000 mm"
                            : "is not between 0 and 100000 mm",
                       size ? "ist keine Größe zwischen 0 und 100000 mm"
                            : "liegt nicht zwischen 0 und 100000 mm");
                ok = false;
            } else {
                *targets[f - 1] = *v;
            }
        }
        if (!ok) continue;
        if (2 * r.trim >= std::min(r.width, r.length)) {
            refuse(kFields[3].english, kFields[3].german, fields[3],
                   "leaves nothing of the sheet to cut from", "lässt von der Tafel nichts übrig");
            continue;
        }
        if (fields.size() == 6 && !trimmed(fields[5]).empty()) {
            const auto p = number(fields[5]);
            if (!p || *p < 0) {
                refuse(kFields[5].english, kFields[5].german, fields[5],
                       "is not a price of 0 or more", "ist kein Preis von 0 oder mehr");
                continue;
            }
            r.price = *p;
        }
        read.push_back(std::move(r));
    }
    // A file none of whose formats can be read says nothing about which formats there are.
    if (formatLines == 0 || !read.empty()) rows = std::move(read);
    settings = s;
    return warnings;
}

bool SheetFormats::load(const std::string &folder, std::vector<SheetFileWarning> &warnings) {
    const std::string path = (std::filesystem::path(folder) / kFileName).string();
    const auto bytes = document::readWholeFile(path);
    if (!bytes) return false;
    warnings = readText(*bytes, path);
    return true;
}

bool SheetFormats::save(const std::string &folder) const {
    return document::writeFileAtomically((std::filesystem::path(folder) / kFileName).string(),
                                         fileText());
}

} // namespace quentar::costing
