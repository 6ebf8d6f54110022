// libFuzzer target for the whole headless road: open, read, measure (nested inserts, viewports,
// every tab), price and report; any bytes without a crash, and only numbers come out.
#include "headless_road.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const std::string problem =
        quentar::fuzzing::headlessRoadCheck({reinterpret_cast<const char *>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_headless_road: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
