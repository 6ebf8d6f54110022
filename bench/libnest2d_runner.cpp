// libnest2d's placer on copies of one part, configured as the program would run it: one thread.
#include "libnest2d_runner.h"

#include <libnest2d/libnest2d.hpp>

#include <chrono>
#include <cmath>

namespace quentar::bench {

Libnest2dRun runLibnest2d(const std::vector<std::pair<double, double>> &outer, bool hull, int count,
                          double width, double length, double trim, double gap, double seconds) {
    using namespace libnest2d;
    ClipperLib::Path path;
    for (const auto &[x, y] : outer)
        path.push_back({std::llround(x * 1000), std::llround(y * 1000)});
    ClipperLib::Paths clean;
    ClipperLib::SimplifyPolygon(path, clean);
    std::size_t best = 0;
    for (std::size_t i = 1; i < clean.size(); ++i)
        if (std::abs(ClipperLib::Area(clean[i])) > std::abs(ClipperLib::Area(clean[best])))
            best = i;
    path = clean[best];
    if (ClipperLib::Orientation(path)) ClipperLib::ReversePath(path); // libnest2d: clockwise
    path.push_back(path.front());
    Item item(path);
    if (hull) item = Item(shapelike::convexHull(item.rawShape()));
    std::vector<Item> items(static_cast<std::size_t>(count), item);

    const Box bin(std::llround((width - 2 * trim) * 1000),
                  std::llround((length - 2 * trim) * 1000));
    NestConfig<NfpPlacer, FirstFitSelection> cfg;
    cfg.placer_config.parallel = false;
    Libnest2dRun run;
    const auto start = std::chrono::steady_clock::now();
    NestControl ctl([&] {
        run.timedOut =
            std::chrono::steady_clock::now() - start > std::chrono::duration<double>(seconds);
        return run.timedOut;
    });
    run.bins = static_cast<int>(nest(items, bin, std::llround(gap * 1000), cfg, ctl));
    for (const Item &it : items) run.placed += it.binId() >= 0;
    return run;
}

} // namespace quentar::bench
