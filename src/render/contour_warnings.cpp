// The warnings of the contour analysis, in English and German.
#include "render/contour_warnings.h"

#include "document/number_text.h"

#include <algorithm>
#include <cmath>

namespace quentar::render {

std::string measureNumber(double v, bool german) {
    std::string s = document::fixedText(std::round(v * 100) / 100, 2);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (german) std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

namespace {

std::string count(int64_t n) { return std::to_string(n); }

// Up to three places, then "...". Written for each language: the German decimal comma must not
// turn the ellipsis into commas too.
struct Places {
    std::string en, de;
    int shown = 0;
    bool more = false;
    void add(double x, double y) {
        if (shown == 3) {
            more = true;
            return;
        }
        en +=
            std::string(shown ? ", " : "") + "(" + measureNumber(x) + ", " + measureNumber(y) + ")";
        de += std::string(shown ? "; " : "") + "(" + measureNumber(x, true) + "; " +
              measureNumber(y, true) + ")";
        ++shown;
    }
    std::string english() const { return en + (more ? ", ..." : ""); }
    std::string german() const { return de + (more ? "; ..." : ""); }
};

} // namespace

void contourWarnings(const contours::ContourAnalysis &a, double s,
                     std::vector<MeasureWarning> &out) {
    auto warn = [&](std::string code, std::string english, std::string german) {
        out.push_back({std::move(code), std::move(english), std::move(german)});
    };
    if (a.unfinished) {
        std::string why, whyDe;
        if (a.unfinished & contours::kTooManyPieces) {
            why = "the blocks are inserted so often that their copies were measured by length "
                  "and size alone";
            whyDe = "die Blöcke sind so oft eingefügt, dass ihre Kopien nur nach Länge und Größe "
                    "gemessen wurden";
        } else if (a.unfinished & contours::kTooManyCrossings) {
            why =
                "the cut contours cross each other more than " + count(a.crossings - 1) + " times";
            whyDe = "die Schnittkonturen kreuzen sich mehr als " + count(a.crossings - 1) + "-mal";
        } else if (a.unfinished & contours::kTooManyTests) {
            why = "too many cut contours lie over each other to be searched";
            whyDe = "zu viele Schnittkonturen liegen übereinander, um sie zu durchsuchen";
        } else {
            why = "the cut contours split into too many pieces";
            whyDe = "die Schnittkonturen zerfallen in zu viele Stücke";
        }
        warn("contours-not-computed",
             why + ": parts, holes, areas, pierces and open ends were not worked out (length and "
                   "size are); the material is charged for the whole blank",
             whyDe +
                 ": Teile, Löcher, Flächen, Einstiche und offene Enden wurden nicht ermittelt "
                 "(Länge und Größe schon); das Material wird für den ganzen Zuschnitt berechnet");
    }
    const int64_t freeEnds = a.openEndCount - a.attachedEndCount;
    if (freeEnds > 0) {
        Places at;
        for (const contours::OpenEnd &e : a.openEnds)
            if (!e.attached) at.add(e.x * s, e.y * s);
        if (freeEnds > at.shown) at.more = true;
        warn("open-ends", count(freeEnds) + " open ends: the cut does not close at " + at.english(),
             count(freeEnds) + " offene Enden: der Schnitt schließt nicht bei " + at.german());
    }
    if (a.attachedCount > 0) {
        Places at;
        for (const contours::OpenEnd &e : a.openEnds)
            if (e.attached) at.add(e.x * s, e.y * s);
        if (a.attachedEndCount > at.shown) at.more = true;
        const std::string places = at.shown ? " ending at " + at.english() : "";
        const std::string placesDe = at.shown ? ", Enden bei " + at.german() : "";
        warn("overshoots",
             measureNumber(a.attachedLength * s) + " mm in " + count(a.attachedCount) +
                 " places run on from a closed contour without closing anything (overshoots, "
                 "lead-ins, shapes beyond an outline)" +
                 places + "; they are priced as drawn",
             measureNumber(a.attachedLength * s, true) + " mm an " + count(a.attachedCount) +
                 " Stellen laufen von einer geschlossenen Kontur weiter, ohne etwas zu schließen "
                 "(Überstände, Anfahrwege, Formen über eine Kontur hinaus)" +
                 placesDe + "; sie werden wie gezeichnet berechnet");
    }
    if (a.duplicateLength > 0)
        warn("duplicates",
             measureNumber(a.duplicateLength * s) + " mm are drawn twice (" +
                 count(static_cast<int64_t>(a.duplicates.size())) +
                 " places): the laser cuts them once, the cut length counts them once",
             measureNumber(a.duplicateLength * s, true) + " mm sind doppelt gezeichnet (" +
                 count(static_cast<int64_t>(a.duplicates.size())) +
                 " Stellen): der Laser schneidet sie einmal, die Konturlänge zählt sie einmal");
    if (a.simplified)
        warn("crowded",
             "loops crossing each other in a tangle too large to sort out: parts and "
             "holes there may be miscounted",
             "Sich kreuzende Konturen in einem zu großen Gewirr: Teile und Löcher können dort "
             "falsch gezählt sein");
    if (a.overlapping)
        warn("overlapping", "holes overlap or reach out of their part: its area is taken as 0",
             "Löcher überlappen oder ragen aus ihrem Teil: dessen Fläche zählt als 0");
}

} // namespace quentar::render
