// Bottom-left fill over no-fit polygons: each part goes to the free spot that keeps the used
// strip of the sheet shortest, sheet after sheet; identical full sheets are nested once.
#include "nesting/nester.h"

#include "nesting/shapes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <tuple>

namespace quentar::nesting {

using namespace detail;

std::vector<double> effectiveRotations(const NestSettings &settings) {
    double step = settings.rotationStep;
    const double turns = step > 0 ? 360 / step : 0;
    if (!(step > 0) || std::abs(turns - std::round(turns)) > 1e-9 || turns > 360) step = 90;
    std::vector<double> out;
    const int n = static_cast<int>(std::lround(360 / step));
    for (int i = 0; i < n; ++i) out.push_back(i * step);
    return out;
}

int NestResult::sheetCount() const {
    int n = 0;
    for (const SheetNest &s : sheets) n += s.copies;
    return n;
}

int NestResult::placedCount() const {
    int n = 0;
    for (const SheetNest &s : sheets) n += s.copies * static_cast<int>(s.parts.size());
    return n;
}

namespace {

using Clock = std::chrono::steady_clock;

// Parts beyond a kilometre are no sheet metal; refusing them keeps every coordinate far inside
// what the integer polygon operations take.
constexpr double kMaxPartMm = 1e6;

std::string mmText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

class Nester {
  public:
    Nester(const std::vector<NestItem> &items, const SheetFormat &format,
           const NestSettings &settings)
        : items_(items), format_(format), settings_(settings),
          deadline_(Clock::now() +
                    std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double>(std::max(0.0, settings.timeoutSeconds)))) {
        const double half = std::max(0.0, format.gap) / 2;
        // Parts grown by half the gap keep the gap between them; the usable area grows by the
        // same half so that they keep exactly the trim from the edges.
        bin_.left = bin_.bottom = toUnits(format.trim - half);
        bin_.right = toUnits(format.width - format.trim + half);
        bin_.top = toUnits(format.length - format.trim + half);
        const std::vector<double> rotations = effectiveRotations(settings);
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::vector<int> kept;
            // Nested from its box's corner: a part drawn far from the origin keeps its integer
            // coordinates small. One larger than any sheet is refused before it gets that far.
            const Box b = boxOf(items[i].shape.outer);
            origin_.push_back({b.minx, b.miny});
            Polygon local = items[i].shape;
            const bool sane = std::isfinite(b.width()) && std::isfinite(b.height()) &&
                              b.width() <= kMaxPartMm && b.height() <= kMaxPartMm;
            if (sane) {
                for (Point &v : local.outer) v = {v.x - b.minx, v.y - b.miny};
                for (Ring &h : local.holes)
                    for (Point &v : h) v = {v.x - b.minx, v.y - b.miny};
            }
            for (double rot : sane ? rotations : std::vector<double>{}) {
                OrientedShape s = orient(local, rot, half, settings.fillHoles);
                if (s.outer.empty() || !fitsEmpty(s)) continue;
                kept.push_back(static_cast<int>(shapes_.size()));
                shapeItem_.push_back(static_cast<int>(i));
                shapes_.push_back(std::move(s));
            }
            orientations_.push_back(std::move(kept));
        }
    }

    NestResult run() {
        NestResult result;
        std::vector<int> order, remaining(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i) {
            remaining[i] = std::max(0, items_[i].quantity);
            if (remaining[i] == 0) continue;
            if (orientations_[i].empty()) {
                refuse(static_cast<int>(i), result);
                remaining[i] = 0;
                continue;
            }
            order.push_back(static_cast<int>(i));
        }
        // Largest first: the small ones fill what the large ones leave.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return netArea(items_[a].shape) > netArea(items_[b].shape);
        });
        auto left = [&] { return std::accumulate(remaining.begin(), remaining.end(), 0LL); };
        while (left() > 0) {
            if (Clock::now() > deadline_) {
                result.timedOut = true;
                placeByBoxes(order, remaining, result);
                break;
            }
            int kinds = 0;
            for (int i : order) kinds += remaining[i] > 0;
            Sheet sheet;
            std::vector<bool> failed(items_.size(), false);
            bool stop = false;
            // One more part of item i on this sheet; false when it does not fit or work stops.
            auto tryOne = [&](int i) {
                if (static_cast<int>(sheet.placed.size()) >= settings_.maxPartsPerSheet) {
                    result.capped = stop = true;
                    return false;
                }
                if (Clock::now() > deadline_) {
                    result.timedOut = stop = true;
                    return false;
                }
                if (!place(i, sheet)) {
                    failed[static_cast<std::size_t>(i)] = true;
                    return false;
                }
                --remaining[static_cast<std::size_t>(i)];
                return true;
            };
            if (settings_.piecesInTurn) {
                for (bool progress = true; progress && !stop;) {
                    progress = false;
                    for (int i : order) {
                        if (stop) break;
                        if (remaining[i] > 0 && !failed[i]) progress = tryOne(i) || progress;
                    }
                }
            } else {
                for (int i : order)
                    while (!stop && remaining[i] > 0 && tryOne(i)) {
                    }
            }
            if (sheet.placed.empty()) {
                // Cannot happen for a part that fits an empty sheet; never loop on it.
                if (!result.timedOut) break;
                continue;
            }
            SheetNest out = finish(sheet);
            // A sheet of one kind of part, nested while only that kind was left, comes out the
            // same every time: the further full sheets are copies of it.
            if (kinds == 1 && !result.timedOut) {
                const int kind = shapeItem_[sheet.placed.front().shape];
                const int per = static_cast<int>(sheet.placed.size());
                const int copies = remaining[kind] / per;
                out.copies += copies;
                remaining[kind] -= copies * per;
            }
            result.sheets.push_back(std::move(out));
            if (settings_.maxSheets > 0 && result.sheetCount() >= settings_.maxSheets) break;
        }
        return result;
    }

  private:
    struct Placed {
        int shape;
        cl::IntPoint at;
    };
    struct Sheet {
        std::vector<Placed> placed;
        double freeArea = -1;
        // Per oriented shape: how many placed parts its blocked region holds, and the region.
        std::map<int, std::pair<std::size_t, cl::Paths>> blocked;
    };

    bool fitsEmpty(const OrientedShape &s) const {
        return s.box.right - s.box.left <= bin_.right - bin_.left + 2 * kTouch &&
               s.box.top - s.box.bottom <= bin_.top - bin_.bottom + 2 * kTouch;
    }

    void refuse(int item, NestResult &result) const {
        const Box b = boxOf(items_[item].shape.outer);
        const double uw = format_.width - 2 * format_.trim, ul = format_.length - 2 * format_.trim;
        NestResult::Refusal r;
        r.item = item;
        if (netArea(items_[item].shape) <= 0 || items_[item].shape.outer.size() < 3) {
            r.english = "the part has no closed outline to nest";
            r.german = "Das Teil hat keine geschlossene Kontur zum Schachteln";
        } else {
            const std::string part = mmText(b.width()) + " x " + mmText(b.height()) + " mm";
            const std::string usable = mmText(uw) + " x " + mmText(ul) + " mm";
            r.english = "the part (" + part + ") is larger than the sheet's usable area (" +
                        usable + " inside the edge trim)";
            r.german = "Das Teil (" + part + ") ist größer als die nutzbare Fläche der Tafel (" +
                       usable + " innerhalb des Randabstands)";
        }
        result.refused.push_back(std::move(r));
    }

    const cl::Paths &nfp(int fixed, int moving) {
        const auto key = std::make_pair(fixed, moving);
        auto it = nfps_.find(key);
        if (it == nfps_.end())
            it = nfps_.emplace(key, noFitPolygon(shapes_[fixed], shapes_[moving])).first;
        return it->second;
    }

    const cl::Paths &blockedFor(int shape, Sheet &sheet) {
        auto &[merged, region] = sheet.blocked[shape];
        if (merged == sheet.placed.size()) return region;
        cl::Clipper c;
        c.AddPaths(region, cl::ptSubject, true);
        for (; merged < sheet.placed.size(); ++merged) {
            const Placed &p = sheet.placed[merged];
            cl::Paths moved = nfp(p.shape, shape);
            translate(moved, p.at);
            c.AddPaths(moved, cl::ptSubject, true);
        }
        region.clear();
        c.Execute(cl::ctUnion, region, cl::pftNonZero, cl::pftNonZero);
        return region;
    }

    // The spot for one more part of item `item`, over all its rotations: the one whose right
    // edge is nearest the sheet's start, then the lowest. False when none is free.
    bool place(int item, Sheet &sheet) {
        const double area = netArea(items_[item].shape) * kUnitsPerMm * kUnitsPerMm;
        if (sheet.freeArea < 0)
            sheet.freeArea = static_cast<double>(bin_.right - bin_.left) *
                             static_cast<double>(bin_.top - bin_.bottom);
        if (area - items_[item].shape.carriedArea * kUnitsPerMm * kUnitsPerMm >
            sheet.freeArea * 1.000001)
            return false;
        bool found = false;
        std::tuple<cl::cInt, cl::cInt, cl::cInt> best{};
        Placed chosen{};
        for (int shape : orientations_[item]) {
            const OrientedShape &s = shapes_[shape];
            // Where the shape's reference lies when it is inside the usable area.
            const cl::cInt x0 = bin_.left - s.box.left, x1 = bin_.right - s.box.right;
            const cl::cInt y0 = bin_.bottom - s.box.bottom, y1 = bin_.top - s.box.top;
            if (x1 - x0 < -2 * kTouch || y1 - y0 < -2 * kTouch) continue;
            cl::Path inner{{x0 - kTouch, y0 - kTouch},
                           {x1 + kTouch, y0 - kTouch},
                           {x1 + kTouch, y1 + kTouch},
                           {x0 - kTouch, y1 + kTouch}};
            cl::Paths free;
            if (sheet.placed.empty()) {
                free.push_back(inner);
            } else {
                cl::Clipper c;
                c.AddPath(inner, cl::ptSubject, true);
                c.AddPaths(blockedFor(shape, sheet), cl::ptClip, true);
                c.Execute(cl::ctDifference, free, cl::pftNonZero, cl::pftNonZero);
            }
            for (const cl::Path &ring : free)
                for (const cl::IntPoint &v : ring) {
                    const cl::IntPoint at{std::clamp(v.X, std::min(x0, x1), std::max(x0, x1)),
                                          std::clamp(v.Y, std::min(y0, y1), std::max(y0, y1))};
                    const auto score =
                        std::make_tuple(at.X + s.box.right, at.Y + s.box.bottom, at.X);
                    if (!found || score < best) {
                        found = true;
                        best = score;
                        chosen = {shape, at};
                    }
                }
        }
        if (!found) return false;
        sheet.placed.push_back(chosen);
        sheet.freeArea -= area;
        return true;
    }

    SheetNest finish(const Sheet &sheet) const {
        SheetNest out;
        cl::cInt right = bin_.left;
        for (const Placed &p : sheet.placed) {
            const OrientedShape &s = shapes_[p.shape];
            // Back to the part's own coordinates: it was nested from its box's corner.
            const Point o =
                rotated(Polygon{{origin_[static_cast<std::size_t>(shapeItem_[p.shape])]}, {}, 0},
                        s.rotation)
                    .outer[0];
            out.parts.push_back(
                {shapeItem_[p.shape], s.rotation, toMm(p.at.X) - o.x, toMm(p.at.Y) - o.y});
            out.partArea += netArea(items_[shapeItem_[p.shape]].shape);
            right = std::max(right, p.at.X + s.box.right);
        }
        out.usedLength = std::min(format_.width, toMm(right) + std::max(0.0, format_.gap) / 2);
        return out;
    }

    // The pieces left when the time ran out, by their boxes in columns on further sheets: quick
    // and safe, not tight.
    void placeByBoxes(const std::vector<int> &order, std::vector<int> &remaining,
                      NestResult &result) const {
        for (int item : order) {
            if (remaining[item] == 0) continue;
            // The quarter turn that puts the most boxes on a sheet.
            int bestShape = -1;
            long long bestPer = 0;
            cl::cInt ny = 0; // boxes along y in a column
            for (int shape : orientations_[item]) {
                const OrientedShape &s = shapes_[shape];
                if (std::fmod(s.rotation, 90) != 0) continue;
                const cl::cInt w = s.box.right - s.box.left, h = s.box.top - s.box.bottom;
                const cl::cInt cx =
                    (bin_.right - bin_.left + 2 * kTouch) / std::max<cl::cInt>(w, 1);
                const cl::cInt cy =
                    (bin_.top - bin_.bottom + 2 * kTouch) / std::max<cl::cInt>(h, 1);
                if (cx * cy > bestPer) {
                    bestPer = cx * cy;
                    bestShape = shape;
                    ny = cy;
                }
            }
            if (bestShape < 0) continue;
            bestPer = std::min<long long>(bestPer, settings_.maxPartsPerSheet);
            const OrientedShape &s = shapes_[bestShape];
            const cl::cInt w = s.box.right - s.box.left, h = s.box.top - s.box.bottom;
            auto sheetOf = [&](int count) {
                Sheet sheet;
                for (int k = 0; k < count; ++k)
                    sheet.placed.push_back({bestShape,
                                            {bin_.left - s.box.left + (k / ny) * w,
                                             bin_.bottom - s.box.bottom + (k % ny) * h}});
                SheetNest out = finish(sheet);
                out.byBoxes = true;
                return out;
            };
            const int per = static_cast<int>(bestPer);
            if (remaining[item] >= per) {
                SheetNest full = sheetOf(per);
                full.copies = remaining[item] / per;
                remaining[item] -= full.copies * per;
                result.sheets.push_back(std::move(full));
            }
            if (remaining[item] > 0) {
                result.sheets.push_back(sheetOf(remaining[item]));
                remaining[item] = 0;
            }
        }
    }

    const std::vector<NestItem> &items_;
    SheetFormat format_;
    NestSettings settings_;
    Clock::time_point deadline_;
    cl::IntRect bin_{};
    std::vector<OrientedShape> shapes_;
    std::vector<int> shapeItem_;
    std::vector<Point> origin_; // per item: the corner of its box it was nested from
    std::vector<std::vector<int>> orientations_;
    std::map<std::pair<int, int>, cl::Paths> nfps_;
};

} // namespace

NestResult nest(const std::vector<NestItem> &items, const SheetFormat &format,
                const NestSettings &settings) {
    const auto usable = [](double v) { return std::isfinite(v) && v >= 0 && v <= kMaxPartMm; };
    if (!usable(format.width) || !usable(format.length) || !usable(format.trim) ||
        !usable(format.gap)) {
        NestResult r;
        for (std::size_t i = 0; i < items.size(); ++i)
            r.refused.push_back({static_cast<int>(i), "the sheet format cannot be used",
                                 "Das Tafelformat ist nicht verwendbar"});
        return r;
    }
    try {
        return Nester(items, format, settings).run();
    } catch (const std::exception &) {
        // The polygon library refuses coordinates it cannot hold; nothing is nested then.
        NestResult r;
        for (std::size_t i = 0; i < items.size(); ++i)
            r.refused.push_back({static_cast<int>(i), "the part could not be nested",
                                 "Das Teil konnte nicht geschachtelt werden"});
        return r;
    }
}

} // namespace quentar::nesting
