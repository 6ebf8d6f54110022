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

// A packed R-tree of boxes (sort-tile-recursive): built once, asked which boxes meet a box.
class BoxTree {
public:
    explicit BoxTree(const std::vector<Box> &boxes);
    // Calls f(item) for every item whose box meets `b` (grown by `slack`); stops when f returns
    // false.
    template <class F> void query(const Box &b, double slack, F &&f) const {
        if (levels_.empty()) return;
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

private:
    struct Node {
        Box box;
        uint32_t first = 0, count = 0;
    };
    static constexpr uint32_t kFanout = 16;
    const std::vector<Box> &boxes_;
    std::vector<uint32_t> items_;
    std::vector<std::vector<Node>> levels_; // [0]: leaves over items_
    mutable std::vector<std::pair<std::size_t, uint32_t>> stack_;
};

} // namespace quentar::contours::detail
