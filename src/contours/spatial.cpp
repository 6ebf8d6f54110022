// The packed tree of boxes: items sorted into tiles of neighbours, levels of their boxes above.
#include "contours/spatial.h"

namespace quentar::contours::detail {

BoxTree::BoxTree(const std::vector<Box> &boxes) : boxes_(boxes), items_(boxes.size()) {
    const std::size_t n = boxes.size();
    if (n == 0) return;
    std::iota(items_.begin(), items_.end(), 0u);
    auto cx = [&](uint32_t i) { return boxes[i].minx + boxes[i].maxx; };
    auto cy = [&](uint32_t i) { return boxes[i].miny + boxes[i].maxy; };
    // Vertical slices of about sqrt(leaves) leaves each, sorted by y within: leaves of 16
    // neighbours.
    const std::size_t leaves = (n + kFanout - 1) / kFanout;
    const std::size_t slices = static_cast<std::size_t>(std::ceil(std::sqrt(double(leaves))));
    const std::size_t perSlice = slices * kFanout;
    std::sort(items_.begin(), items_.end(), [&](uint32_t a, uint32_t b) { return cx(a) < cx(b); });
    for (std::size_t s = 0; s < n; s += perSlice) {
        auto first = items_.begin() + static_cast<std::ptrdiff_t>(s);
        auto last = items_.begin() + static_cast<std::ptrdiff_t>(std::min(n, s + perSlice));
        std::sort(first, last, [&](uint32_t a, uint32_t b) { return cy(a) < cy(b); });
    }
    std::vector<Node> level;
    for (std::size_t i = 0; i < n; i += kFanout) {
        Node node;
        node.first = static_cast<uint32_t>(i);
        node.count = static_cast<uint32_t>(std::min<std::size_t>(kFanout, n - i));
        node.box = boxes[items_[i]];
        for (uint32_t c = node.first; c < node.first + node.count; ++c) node.box.take(boxes[items_[c]]);
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
            for (uint32_t c = node.first; c < node.first + node.count; ++c) node.box.take(below[c].box);
            up.push_back(node);
        }
        levels_.push_back(std::move(up));
    }
}

} // namespace quentar::contours::detail
