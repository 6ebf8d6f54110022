// libnest2d behind a plain interface: its headers build as C++17 only, the rest of us as C++20.
#pragma once

#include <utility>
#include <vector>

namespace quentar::bench {

struct Libnest2dRun {
    int bins = 0;
    int placed = 0; // items it put in a bin before it was stopped
    bool timedOut = false;
};

// `count` copies of the ring `outer` (mm; its convex hull when `hull`) nested with libnest2d's
// no-fit-polygon placer and first-fit selection on width × length sheets less `trim` on every
// side, `gap` apart, for at most `seconds`.
Libnest2dRun runLibnest2d(const std::vector<std::pair<double, double>> &outer, bool hull, int count,
                          double width, double length, double trim, double gap, double seconds);

} // namespace quentar::bench
