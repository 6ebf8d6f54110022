#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them, then times `quentar info` on the large
# drawing as a whole process (wall time and peak memory). Extra arguments go to the benchmark
# programs, e.g. --benchmark_filter=ReadAfter.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUENTAR_BENCH_BUILD_DIR:-$root/build-bench}"
source "$root/scripts/common.sh"
# libnest2d (with NLopt and Boost's headers) only for the nesting benchmark's comparison.
quentar_install_packages python3 time libnest2d-dev libnlopt-cxx-dev libboost-dev

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENTAR_BENCH=ON \
        -DQUENTAR_TESTS=OFF
fi
ninja -C "$build" quentar quentar_bench quentar_paint_bench quentar_split_lines quentar_nest_bench

"$build/bench/quentar_bench" "$@"
# The paint of the drawing window (through the Qt painter, offscreen): targets at most 100 ms at
# the fitted view and for a wheel step from it.
"$build/bench/quentar_paint_bench" "$@"

# Whole processes, best of five (wall seconds, peak resident kilobytes).
best() {
    local best_s="" best_kb=""
    for _ in 1 2 3 4 5; do
        read -r s kb < <(/usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -1)
        if [ -z "$best_s" ] || awk "BEGIN{exit !($s < $best_s)}"; then best_s=$s; fi
        if [ -z "$best_kb" ] || [ "$kb" -lt "$best_kb" ]; then best_kb=$kb; fi
    done
    echo "$best_s $best_kb"
}
echo
for drawing in e100k l1m; do
    file="$build/bench/$drawing.dxf"
    read -r info_s info_kb < <(best "$build/quentar" info "$file")
    read -r split_s split_kb < <(best "$build/bench/quentar_split_lines" "$file")
    echo "$drawing: quentar info ${info_s} s, ${info_kb} KB peak; reading and splitting the file" \
        "alone ${split_s} s (ratio $(awk "BEGIN{printf \"%.1f\", $info_s / $split_s}"))"
done
echo "targets: info at most 3 times the split alone; l1m (a million LINEs) under 400 MB peak"

# Nesting: 200 pieces of sample parts within 10 s each (libnest2d beside it is stopped at 10 s),
# then the material cost per piece by the blank and by the sheet for every sample drawing.
echo
"$build/bench/quentar_nest_bench" "$@"
echo
/usr/bin/python3 "$root/bench/sheet_vs_blank.py" "$build/quentar"
