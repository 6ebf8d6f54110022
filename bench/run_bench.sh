#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them, then times `quentar info` on the large
# drawing as a whole process (wall time and peak memory). Extra arguments go to the benchmark
# programs, e.g. --benchmark_filter=ReadAfter.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUENTAR_BENCH_BUILD_DIR:-$root/build-bench}"
source "$root/scripts/common.sh"
# libnest2d (with NLopt and Boost's headers) and GEOS only for the comparisons beside ours.
quentar_install_packages python3 time libnest2d-dev libnlopt-cxx-dev libboost-dev libgeos-dev

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENTAR_BENCH=ON \
        -DQUENTAR_TESTS=OFF
fi
ninja -C "$build" quentar quentar_bench quentar_paint_bench quentar_split_lines quentar_nest_bench \
    quentar_geos_bench

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

# measure beside info, both timed in this run: measuring adds the render pass at the fitted view,
# the pieces and the contour analysis to the reading.
echo
for drawing in e100k l1m; do
    file="$build/bench/$drawing.dxf"
    read -r info_s info_kb < <(best "$build/quentar" info "$file")
    read -r measure_s measure_kb < <(best "$build/quentar" measure "$file")
    echo "$drawing: measure ${measure_s} s, ${measure_kb} KB; info ${info_s} s, ${info_kb} KB;" \
        "ratios time $(awk "BEGIN{printf \"%.2f\", $measure_s / $info_s}")," \
        "memory $(awk "BEGIN{printf \"%.2f\", $measure_kb / $info_kb}")"
done
echo "targets: measure at most 2 times the time and 1.3 times the peak memory of info"

# Hostile drawings: a million lines crossing each other (some 10^11 crossings) and arrays nested
# to 10^12 copies. Each is measured within 30 s and 2 GB, with a warning of what was not computed.
echo
crossing="$build/bench/crossing1m.dxf"
nested="$build/bench/nested1e12.dxf"
[ -f "$crossing" ] || /usr/bin/python3 "$root/bench/gen_crossing_lines.py" 1000000 "$crossing"
[ -f "$nested" ] || /usr/bin/python3 "$root/bench/gen_nested_arrays.py" "$nested"
for file in "$crossing" "$nested"; do
    read -r s kb < <(/usr/bin/time -f "%e %M" "$build/quentar" measure "$file" 2>&1 >/dev/null |
        tail -1)
    warning="$("$build/quentar" measure "$file" 2>&1 >/dev/null | head -1)"
    echo "$(basename "$file"): measure ${s} s, ${kb} KB peak; ${warning}"
done
echo "targets: each within 30 s and 2 GB, with a warning"

# The contour analysis beside GEOS noding and polygonizing the same pieces.
echo
"$build/bench/quentar_geos_bench" "$@"

# Nesting: 200 pieces of sample parts within 10 s each (libnest2d beside it is stopped at 10 s),
# then the material cost per piece by the blank and by the sheet for every sample drawing.
echo
"$build/bench/quentar_nest_bench" "$@"
echo
/usr/bin/python3 "$root/bench/sheet_vs_blank.py" "$build/quentar"
