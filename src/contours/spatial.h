// Finding what lies near what: union-find, grid cells and a packed tree of boxes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace quentar::contours::detail {

struct Box {
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    void take(double x, double y) {
        minx = std::min(minx, x);
        miny = std::min(miny, y);
        maxx = std::max(maxx, x);
        maxy = std::max(maxy, y);
    }
    void take(const Box &b) {
        take(b.minx, b.miny);
        take(b.maxx, b.maxy);
    }
    bool meets(const Box &o, double slack) const {
        return minx <= o.maxx + slack && o.minx <= maxx + slack && miny <= o.maxy + slack &&
               o.miny <= maxy + slack;
    }
    bool holds(const Box &o, double slack) const {
        return o.minx >= minx - slack && o.miny >= miny - slack && o.maxx <= maxx + slack &&
               o.maxy <= maxy + slack;
    }
    static Box at(double x, double y) { return {x, y, x, y}; }
};

// A box in floats, rounded outwards: what a box holds, this one holds too. Half the memory of a
// Box, for the millions of them a tree of steps keeps.
struct FBox {
    float minx = 0, miny = 0, maxx = 0, maxy = 0;
    static FBox around(const Box &b) {
        return {std::nextafter(static_cast<float>(b.minx), -INFINITY),
                std::nextafter(static_cast<float>(b.miny), -INFINITY),
                std::nextafter(static_cast<float>(b.maxx), INFINITY),
                std::nextafter(static_cast<float>(b.maxy), INFINITY)};
    }
    Box exact() const { return {minx, miny, maxx, maxy}; }
    void take(const FBox &b) {
        minx = std::min(minx, b.minx);
        miny = std::min(miny, b.miny);
        maxx = std::max(maxx, b.maxx);
        maxy = std::max(maxy, b.maxy);
    }
    bool meets(const FBox &o, double slack) const {
        return minx <= o.maxx + slack && o.minx <= maxx + slack && miny <= o.maxy + slack &&
               o.miny <= maxy + slack;
    }
};

// Union-find over indices.
class Sets {
  public:
    explicit Sets(std::size_t n) : up_(n) { std::iota(up_.begin(), up_.end(), 0u); }
    uint32_t find(uint32_t a) {
        while (up_[a] != a) a = up_[a] = up_[up_[a]];
        return a;
    }
    // Joins the sets of a and b; the smaller index stays the root.
    void join(uint32_t a, uint32_t b) {
        a = find(a);
        b = find(b);
        if (a != b) up_[std::max(a, b)] = std::min(a, b);
    }

  private:
    std::vector<uint32_t> up_;
};

// Integer cell of a coordinate; saturates so that absurd coordinates cannot overflow.
inline int64_t cellOf(double v, double origin, double size) {
    const double c = std::floor((v - origin) / size);
    if (!(c > -1e15)) return -1000000000000000LL;
    if (!(c < 1e15)) return 1000000000000000LL;
    return static_cast<int64_t>(c);
}

inline uint64_t cellKey(int64_t ix, int64_t iy) {
    return static_cast<uint64_t>(ix) * 0x9E3779B97F4A7C15ull ^
           (static_cast<uint64_t>(iy) + 0x632BE59BD9B4E019ull);
}

// A packed R-tree of boxes (leaves of neighbours in Z order): built once, asked which boxes meet
// a box, or which pairs of its boxes meet.
class BoxTree {
  public:
    explicit BoxTree(std::vector<FBox> boxes);
    explicit BoxTree(const std::vector<Box> &boxes) : BoxTree(rounded(boxes)) {}
    const FBox &box(uint32_t item) const { return boxes_[item]; }
    // Calls f(item) for every item whose box meets `b` (grown by `slack`); stops when f returns
    // false.
    template <class F> void query(const Box &q, double slack, F &&f) const {
        if (levels_.empty()) return;
        const FBox b = FBox::around(q);
        stack_.clear();
        const std::vector<Node> &top = levels_.back();
        for (uint32_t i = 0; i < top.size(); ++i) stack_.push_back({levels_.size() - 1, i});
        while (!stack_.empty()) {
            const auto [level, index] = stack_.back();
            stack_.pop_back();
            const Node &n = levels_[level][index];
            if (!n.box.meets(b, slack)) continue;
            for (uint32_t c = n.first; c < n.first + n.count; ++c) {
                if (level == 0) {
                    if (boxes_[items_[c]].meets(b, slack) && !f(items_[c])) return;
                } else {
                    stack_.push_back({level - 1, c});
                }
            }
        }
    }

    // Calls f(a, b) once for every pair of items a < b whose boxes meet (grown by `slack`), by
    // walking the tree against itself; f returns false to stop. The items of a leaf come one
    // after the other, so f may keep what it fetched for them.
    template <class F> bool pairs(double slack, F &&f) const {
        if (levels_.empty()) return true;
        const std::size_t top = levels_.size() - 1;
        for (uint32_t i = 0; i < levels_[top].size(); ++i)
            for (uint32_t j = i; j < levels_[top].size(); ++j)
                if (!join(top, i, top, j, slack, f)) return false;
        return true;
    }

  private:
    struct Node {
        FBox box;
        uint32_t first = 0, count = 0;
    };
    static std::vector<FBox> rounded(const std::vector<Box> &boxes) {
        std::vector<FBox> out(boxes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) out[i] = FBox::around(boxes[i]);
        return out;
    }
    template <class F>
    bool join(std::size_t la, uint32_t a, std::size_t lb, uint32_t b, double slack, F &f) const {
        const Node &na = levels_[la][a], &nb = levels_[lb][b];
        if (!na.box.meets(nb.box, slack)) return true;
        const bool same = la == lb && a == b;
        if (la == 0 && lb == 0) {
            for (uint32_t i = na.first; i < na.first + na.count; ++i)
                for (uint32_t j = same ? i + 1 : nb.first; j < nb.first + nb.count; ++j) {
                    const uint32_t x = items_[i], y = items_[j];
                    if (!boxes_[x].meets(boxes_[y], slack)) continue;
                    if (!(x < y ? f(x, y) : f(y, x))) return false;
                }
            return true;
        }
        // Down the higher of the two (both when it is one node against itself).
        if (same) {
            for (uint32_t i = na.first; i < na.first + na.count; ++i)
                for (uint32_t j = i; j < na.first + na.count; ++j)
                    if (!join(la - 1, i, la - 1, j, slack, f)) return false;
            return true;
        }
        if (la >= lb && la > 0) {
            for (uint32_t i = na.first; i < na.first + na.count; ++i)
                if (!join(la - 1, i, lb, b, slack, f)) return false;
        } else {
            for (uint32_t j = nb.first; j < nb.first + nb.count; ++j)
                if (!join(la, a, lb - 1, j, slack, f)) return false;
        }
        return true;
    }
    static constexpr uint32_t kFanout = 16;
    std::vector<FBox> boxes_;
    std::vector<uint32_t> items_;
    std::vector<std::vector<Node>> levels_; // [0]: leaves over items_
    mutable std::vector<std::pair<std::size_t, uint32_t>> stack_;
};

} // namespace quentar::contours::detail
