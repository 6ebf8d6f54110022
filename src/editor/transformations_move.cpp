// MoveObjects and RotateObjects: the entities' lines rewritten in place under one plane map.
#include "editor/transformations.h"

#include "editor/transformations_entities.h"

#include <algorithm>
#include <set>
#include <string>

namespace quentar::editor {

using document::EntityKind;

namespace {

// The records an edit of `set` rewrites: the set, the attributes of its inserts, and the picture
// blocks of its dimensions that no entity outside the edit shows; highest first, so that lines
// inserted into one record do not move those still to come.
std::vector<std::size_t> rewrittenRecords(const document::Drawing &d, const EntitySet &set) {
    const auto n = static_cast<std::size_t>(std::max(0, d.anzpoly));
    std::vector<std::size_t> out;
    std::vector<bool> in(n, false);
    auto add = [&](std::size_t i) {
        if (i < n && !in[i]) {
            in[i] = true;
            out.push_back(i);
        }
    };
    std::set<std::string, std::less<>> pictures;
    for (std::size_t i : set) {
        if (i >= n) continue;
        add(i);
        const document::tpoly &e = d.polys[i];
        if (e.kind == EntityKind::Insert)
            for (std::size_t j = i + 1; j < attributesEnd(d, i); ++j) add(j);
        if (e.kind == EntityKind::Dimension && !e.detail().dimblock.empty())
            pictures.insert(e.detail().dimblock);
    }
    if (!pictures.empty()) {
        // A picture another entity shows as well stays where it is.
        for (std::size_t i = 0; i < n; ++i) {
            const document::tpoly &e = d.polys[i];
            if (in[i] || !e.hasDetail()) continue;
            if (e.kind == EntityKind::Dimension)
                pictures.erase(e.detail().dimblock);
            else if (e.kind == EntityKind::Insert)
                pictures.erase(e.detail().insertstr);
        }
        for (std::size_t i = 0; i < n && !pictures.empty(); ++i) {
            const document::tpoly &e = d.polys[i];
            if (e.isblock && pictures.count(e.detail().theblockname)) add(i);
        }
    }
    std::sort(out.begin(), out.end(), std::greater<>());
    return out;
}

} // namespace

document::EditBatch transformObjects(const document::Drawing &d, const EntitySet &set,
                                     const PlaneMap &map) {
    document::EditBatch batch;
    if (map.isIdentity()) return batch;
    PlannedLines planned;
    for (std::size_t i : rewrittenRecords(d, set)) transformEntity(d, i, map, planned);
    planned.appendTo(d.dxf, batch);
    return batch;
}

document::EditBatch MoveObjects(const document::Drawing &d, const EntitySet &set, double dx,
                                double dy) {
    return transformObjects(d, set, PlaneMap::moving(dx, dy));
}

document::EditBatch RotateObjects(const document::Drawing &d, const EntitySet &set, double dx,
                                  double dy, double ex, double ey, int modex) {
    return transformObjects(d, set, PlaneMap::forMode(modex, dx, dy, ex, ey));
}

} // namespace quentar::editor
