#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it for SECONDS (default 60) on the seed corpus.
# New inputs go to build-fuzz/corpus (the seeds in fuzz/corpus stay as committed); findings
# land in build-fuzz/findings. Extra arguments go to libFuzzer, e.g. -jobs=2 -workers=2.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUENTAR_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
[ $# -gt 0 ] && shift
source "$root/scripts/common.sh"
# The fuzzer and sanitizer runtimes are only recommended by clang, and recommendations are skipped.
quentar_install_packages clang libclang-rt-14-dev

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUENTAR_FUZZ=ON -DQUENTAR_TESTS=OFF
fi
ninja -C "$build" fuzz_processdxf

mkdir -p "$build/corpus" "$build/findings"
cd "$build/findings"
exec "$build/fuzz/fuzz_processdxf" "$build/corpus" "$root/fuzz/corpus" \
    -dict="$root/fuzz/dxf.dict" -max_len=4096 -timeout=5 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 "$@"
