// The floor of reading a drawing: its file read and split into lines, nothing more. The benchmark
// script times `quentar info` against this program, both as whole processes.
#include "document/line_store.h"
#include "document/safe_file.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quentar_split_lines FILE\n");
        return 2;
    }
    auto bytes = quentar::document::readWholeFile(argv[1]);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    quentar::document::LineStore lines;
    if (!lines.assign(std::move(*bytes))) return 1;
    std::printf("%zu lines\n", lines.size());
    return 0;
}
