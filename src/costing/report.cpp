// The quotation's lines and the word-wrapping layout shared by printer and PDF.
#include "costing/report.h"

#include "costing/decimal_text.h"

#include <cmath>
#include <numbers>

namespace quentar::costing {

namespace {

// Times in the report read hours:minutes:seconds with at least two digits each; durations of a
// day or more show all their hours ("25:00:00").
std::string timeText(double totalSeconds) {
    const std::string t = durationText(totalSeconds);
    return t.find(':') == 1 ? "0" + t : t;
}

std::string timeText(const TimeField &t) { return timeText(t.shownSeconds()); }

bool isZero(const NumberField &f) { return f.value() == 0; }

} // namespace

std::vector<ReportLine> CalcAusdruck(Calculator &calc, const std::string &projectName,
                                     bool withOffers) {
    Engine &e = calc.engine();
    const std::string cur = calc.WaehrEd;
    std::vector<ReportLine> r;
    auto add = [&](std::string text) { r.push_back({std::move(text), ReportLine::Style::Normal}); };
    const auto hhmmss = " hh:mm:ss";

    r.push_back({"Quentar " + projectName, ReportLine::Style::Title});
    add("");
    add("Material: " + e.MaterialBoxEd.text());
    add("Stärke: " + e.MatstarkEd.text() + " mm");
    add("Preis/Kg: " + e.MatPreisEd.text() + " " + cur);
    add("Menge: " + e.StueckEd.text() + " Stück");
    add("Maschinenstundensatz: " + e.StundensatzEd.text() + " " + cur);
    if (!isZero(e.RabattEd)) add("Rabatt auf Maschinenstundensatz: " + e.RabattEd.text() + " %");
    add("Initialaufwand: " + timeText(e.InitialEd) + hhmmss);
    add("Programmieraufwand: " + timeText(e.ProgrammierEd) + hhmmss);
    for (int i = 1; i <= 10; ++i) {
        const TimeField &t = e.effortTime(i);
        if (t.shownSeconds() != 0)
            add(calc.effortNames[static_cast<std::size_t>(i - 1)] + ": " + timeText(t) + hhmmss);
    }
    add("");
    add("Breite der Fläche: " + e.breited.text() + " mm");
    add("Länge der Fläche: " + e.hoched.text() + " mm");
    add("Konturlänge: " + e.KonturmmEd.text() + " mm");
    if (!isZero(e.AnzLochEd)) {
        // Doubles throughout: billions of holes of a large diameter overrun any integer.
        const double n = e.AnzLochEd.value(), d = e.DurchMesserEd.value();
        add("Konturlänge der Löcher: " + formatFixed(std::trunc(d * std::numbers::pi * n), 0) +
            " mm");
        add("Einstechzeit für Löcher: " + timeText(n * e.EinstechzeitEd.shownSeconds()) + hhmmss);
    }
    add("");
    add("Vorschub: " + e.vorschubed.text() + " m/min");
    add("Laserzeit/Stück: " + timeText(e.LaserZeitEd) + hhmmss);
    add("");
    add("Materialkosten/Stück: " + e.matkostenEd.text() + " " + cur);
    // Charged by the sheet: on which sheets, and what the blank method would have charged.
    if (calc.sheets().choice.on)
        for (std::string &line : sheetLines(calc.sheetFigures(), cur)) add(std::move(line));
    add("Laserkosten/Stück: " + e.SchneidkostenEd.text() + " " + cur);
    add("Transportkosten/Stück: " + e.TransportEd.text() + " " + cur);
    add("Lohnkosten: " + e.lohnkostened.text() + " " + cur);
    if (e.TransportproStueckCheck.text() == "True")
        add("Die Kosten für den Programmieraufwand werden nur für das erste Stück berechnet.");
    add("Gesamtkosten/Stück: " + e.GesamtKostenEd.text() + " " + cur);
    add("");
    add("Gewicht/Stück: " + e.TeilgewichtEd.text() + " Kg");
    add("Materialverbrauch/Stück: " + e.GewichtEd.text() + " Kg");
    add("Gewinnaufschlag: " + e.GewinnAufschlagEd.text() + " %");
    add("Preis/Stück: " + e.PreisProStueckEd.text() + " " + cur);
    if (!isZero(e.KleinMengenEd)) add("Kleinmengenzuschlag: " + e.KleinMengenEd.text() + " " + cur);
    if (e.TransportproStueckCheck.text() != "True" && !isZero(e.TransportEd))
        add("Transport: " + e.TransportEd.text() + " " + cur);
    r.push_back({"Gesamtpreis: " + e.GesamtPreisEd.text() + " " + cur, ReportLine::Style::Total});
    if (withOffers) appendOfferLines(r, calc.CalcAngebotspreise());
    return r;
}

void appendOfferLines(std::vector<ReportLine> &lines, const std::vector<std::string> &offers) {
    lines.push_back({""});
    for (const std::string &line : offers) lines.push_back({line});
}

namespace {

// Length of the UTF-8 sequence starting with byte c.
std::size_t charLength(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

} // namespace

int layoutLine(TextSurface &s, int x, int y, bool draw, int width, std::string_view text) {
    const int lineHeight = s.textHeight(text.empty() ? std::string_view("L") : text);
    std::string current;
    int used = 0;
    bool wrapped = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = std::min(charLength(static_cast<unsigned char>(text[i])),
                                         text.size() - i);
        const std::string_view c = text.substr(i, len);
        i += len;
        if (!current.empty() && s.textWidth(current + std::string(c)) > width) {
            std::string carry;
            const std::size_t space = current.rfind(' ');
            // Back to the last space (which stays on the line); a word without one breaks here.
            if (space != std::string::npos && space + 1 < current.size()) {
                carry = current.substr(space + 1);
                current.resize(space + 1);
            }
            if (draw) s.textOut(x, y, current);
            used += lineHeight;
            y += lineHeight;
            current = carry;
            wrapped = true;
        }
        if (wrapped && current.empty() && c == " ") continue;
        current += c;
    }
    if (!current.empty()) {
        if (draw) s.textOut(x, y, current);
        used += lineHeight;
    }
    if (used == 0) used = s.textHeight("L");
    return used;
}

int layoutReport(ReportCanvas &canvas, const std::vector<ReportLine> &lines, PageArea area) {
    const int width = area.right - area.left + 1;
    int y = area.top;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0)
            canvas.setLineFont(14, true);
        else if (i + 1 == lines.size())
            canvas.setLineFont(11, true);
        else
            canvas.setLineFont(kReportFontSize, false);
        int h = layoutLine(canvas, area.left, y, false, width, lines[i].text);
        if (y + h > area.bottom) {
            canvas.newPage();
            y = area.top;
            h = layoutLine(canvas, area.left, y, false, width, lines[i].text);
        }
        layoutLine(canvas, area.left, y, true, width, lines[i].text);
        y += h;
    }
    return y;
}

} // namespace quentar::costing
