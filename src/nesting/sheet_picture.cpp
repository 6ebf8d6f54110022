// Placing the parts of a nest on their sheet for a picture.
#include "nesting/sheet_picture.h"

namespace quentar::nesting {

namespace {

Ring moved(const Ring &r, double dx, double dy) {
    Ring out;
    out.reserve(r.size());
    for (const Point &p : r) out.push_back({p.x + dx, p.y + dy});
    return out;
}

} // namespace

SheetPicture pictureOf(const SheetNest &sheet, const std::vector<NestItem> &items,
                       const SheetFormat &format) {
    SheetPicture out;
    out.width = format.width;
    out.length = format.length;
    out.trim = format.trim;
    for (const Placement &p : sheet.parts) {
        if (p.item < 0 || p.item >= static_cast<int>(items.size())) continue;
        const Polygon turned = rotated(items[static_cast<std::size_t>(p.item)].shape, p.rotation);
        Polygon placed;
        placed.outer = moved(turned.outer, p.x, p.y);
        for (const Ring &h : turned.holes) placed.holes.push_back(moved(h, p.x, p.y));
        placed.carriedArea = turned.carriedArea;
        out.parts.push_back(std::move(placed));
        out.items.push_back(p.item);
    }
    return out;
}

} // namespace quentar::nesting
