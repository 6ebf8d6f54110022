#!/usr/bin/env bash
# Builds a fuzz target with clang and runs it for SECONDS (default 60) on its seed corpus:
#   fuzz/run_fuzz.sh [SECONDS] [processdxf|headless_road|datafiles] [libFuzzer options ...]
# New inputs go to build-fuzz/corpus-TARGET (the seeds under fuzz/ stay as committed); findings
# land in build-fuzz/findings. Extra arguments go to libFuzzer, e.g. -jobs=2 -workers=2.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUENTAR_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
target="${1:-processdxf}"
[ $# -gt 0 ] && shift
case "$target" in
processdxf) seeds="$root/fuzz/corpus"; dict=(-dict="$root/fuzz/dxf.dict"); len=4096 ;;
headless_road) seeds="$root/fuzz/corpus-road"; dict=(-dict="$root/fuzz/dxf.dict"); len=8192 ;;
datafiles) seeds="$root/fuzz/corpus-datafiles"; dict=(); len=4096 ;;
*) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
source "$root/scripts/common.sh"
# The fuzzer and sanitizer runtimes are only recommended by clang, and recommendations are skipped.
quentar_install_packages clang libclang-rt-14-dev

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUENTAR_FUZZ=ON -DQUENTAR_TESTS=OFF
fi
ninja -C "$build" "fuzz_$target"

mkdir -p "$build/corpus-$target" "$build/findings"
cd "$build/findings"
exec "$build/fuzz/fuzz_$target" "$build/corpus-$target" "$seeds" "${dict[@]}" \
    -max_len="$len" -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
    -print_final_stats=1 "$@"
