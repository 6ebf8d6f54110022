#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them, then times `quentar info` on the large
# drawing as a whole process (wall time and peak memory). Extra arguments go to the benchmark
# programs, e.g. --benchmark_filter=ReadAfter.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUENTAR_BENCH_BUILD_DIR:-$root/build-bench}"
source "$root/scripts/common.sh"
quentar_install_packages python3 time

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENTAR_BENCH=ON \
        -DQUENTAR_TESTS=OFF
fi
ninja -C "$build" quentar quentar_bench quentar_paint_bench

"$build/bench/quentar_bench" "$@"
# The paint of the drawing window (through the Qt painter, offscreen): targets at most 100 ms at
# the fitted view and for a wheel step from it.
"$build/bench/quentar_paint_bench" "$@"

echo
echo "quentar info e100k.dxf (targets: at most 0.5 s wall, 600 MB peak memory)"
"$build/quentar" info "$build/bench/e100k.dxf" >/dev/null # warm the page cache
/usr/bin/time -v "$build/quentar" info "$build/bench/e100k.dxf" 2>&1 >/dev/null |
    grep -E 'User time|System time|Elapsed \(wall clock\)|Maximum resident set size'
if command -v hyperfine >/dev/null; then
    hyperfine --warmup 1 "'$build/quentar' info '$build/bench/e100k.dxf'"
fi
