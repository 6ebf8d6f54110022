// libFuzzer target for the DXF reader: any bytes read without a crash or a hang, and a Reader kept
// between reads agrees with a fresh read after an edit.
#include "reread_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const std::string problem =
        quentar::fuzzing::rereadCheck({reinterpret_cast<const char *>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz_processdxf: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
