// The packed tree of boxes: items in Z order, runs of neighbours as leaves, their boxes above.
#include "contours/spatial.h"

namespace quentar::contours::detail {

namespace {

// Spreads the low 21 bits of v to every second bit, so that x and y interleave.
uint64_t spread(uint32_t v) {
    uint64_t x = v & 0x1FFFFF;
    x = (x | x << 16) & 0x0000FFFF0000FFFFull;
    x = (x | x << 8) & 0x00FF00FF00FF00FFull;
    x = (x | x << 4) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | x << 2) & 0x3333333333333333ull;
    x = (x | x << 1) & 0x5555555555555555ull;
    return x;
}

} // namespace

BoxTree::BoxTree(std::vector<FBox> given) : boxes_(std::move(given)), items_(boxes_.size()) {
    const std::vector<FBox> &boxes = boxes_;
    const std::size_t n = boxes.size();
    if (n == 0) return;
    // Items in Z order of their centres: neighbours come one after the other, so runs of 16 make
    // leaves of neighbours.
    Box all = boxes[0].exact();
    for (const FBox &b : boxes) all.take(b.exact());
    const double sx = all.maxx > all.minx ? 2 * 1048575.0 / (all.maxx - all.minx) : 0;
    const double sy = all.maxy > all.miny ? 2 * 1048575.0 / (all.maxy - all.miny) : 0;
    std::vector<std::pair<uint64_t, uint32_t>> keyed(n);
    for (uint32_t i = 0; i < n; ++i) {
        const Box b = boxes[i].exact();
        const auto qx = static_cast<uint32_t>(
            std::clamp((b.minx + b.maxx - 2 * all.minx) / 2 * sx, 0.0, 2097151.0));
        const auto qy = static_cast<uint32_t>(
            std::clamp((b.miny + b.maxy - 2 * all.miny) / 2 * sy, 0.0, 2097151.0));
        keyed[i] = {spread(qx) | spread(qy) << 1, i};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < n; ++i) items_[i] = keyed[i].second;
    std::vector<Node> level;
    for (std::size_t i = 0; i < n; i += kFanout) {
        Node node;
        node.first = static_cast<uint32_t>(i);
        node.count = static_cast<uint32_t>(std::min<std::size_t>(kFanout, n - i));
        node.box = boxes[items_[i]];
        for (uint32_t c = node.first; c < node.first + node.count; ++c)
            node.box.take(boxes[items_[c]]);
        level.push_back(node);
    }
    levels_.push_back(std::move(level));
    // Leaves in tile order are neighbours already: each level above takes 16 of them in turn.
    while (levels_.back().size() > kFanout) {
        const std::vector<Node> &below = levels_.back();
        std::vector<Node> up;
        for (std::size_t i = 0; i < below.size(); i += kFanout) {
            Node node;
            node.first = static_cast<uint32_t>(i);
            node.count = static_cast<uint32_t>(std::min<std::size_t>(kFanout, below.size() - i));
            node.box = below[i].box;
            for (uint32_t c = node.first; c < node.first + node.count; ++c)
                node.box.take(below[c].box);
            up.push_back(node);
        }
        levels_.push_back(std::move(up));
    }
}

} // namespace quentar::contours::detail
