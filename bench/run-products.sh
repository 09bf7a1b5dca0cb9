#!/bin/sh
# Benchmarks of the surface products on a 1M-triangle surface: contours at
# 100 levels against matplotlib's tricontour on the same triangles, the mesh
# at 1000 x 1000 grid lines, volumes between two 1M-triangle surfaces at
# 2000 x 2000 cells, and point lookups per second against surface size.
# Every step runs as its own process under /usr/bin/time for its peak memory.
#
#   bench/run-products.sh [build folder] [work folder]
#
# Defaults: build folder build-bench (configured RelWithDebInfo when new),
# work folder $TMPDIR/vog-products-bench (surfaces are kept for reruns).
# The peer needs bench/setup-products-bench.sh (run once, as root).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
work=${2:-${TMPDIR:-/tmp}/vog-products-bench}
mkdir -p "$work"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target vog_products_bench -j2 >/dev/null
bench=$build/bin/vog_products_bench

timed() {
    /usr/bin/time -f "  -> %e s wall, peak %M KB" "$@"
}

echo "== surfaces"
[ -f "$work/a1m.tin" ] || "$bench" surface "$work/a1m.tin" 707 707 1
[ -f "$work/b1m.tin" ] || "$bench" surface "$work/b1m.tin" 707 707 2
[ -f "$work/a100k.tin" ] || "$bench" surface "$work/a100k.tin" 224 224 3
[ -f "$work/b100k.tin" ] || "$bench" surface "$work/b100k.tin" 224 224 4
[ -f "$work/a10k.tin" ] || "$bench" surface "$work/a10k.tin" 71 71 5
[ -f "$work/b10k.tin" ] || "$bench" surface "$work/b10k.tin" 71 71 6

echo "== contours, 100 levels"
timed "$bench" contours "$work/a1m.tin" 100
timed "$bench" contours "$work/a1m.tin" 100 draw
if /usr/bin/python3 -c "import matplotlib" 2>/dev/null; then
    timed /usr/bin/python3 "$root/bench/tricontour_peer.py" "$work/a1m.tin" 100
else
    echo "  (peer skipped: run bench/setup-products-bench.sh first)"
fi

echo "== mesh, 1000 x 1000 grid lines"
for size in 10k 100k 1m; do
    timed "$bench" mesh "$work/a$size.tin" 1000
done

echo "== volumes, 2000 x 2000 cells"
for size in 10k 100k 1m; do
    timed "$bench" volumes "$work/a$size.tin" "$work/b$size.tin" 2000
done

echo "== point lookups against surface size"
timed "$bench" lookups

# With VOG_BENCH_DIFFERENTIAL=1 the fast products are also compared with the
# plain reference versions on 20,000-triangle surfaces (a few minutes: the
# plain versions are quadratic).
if [ "${VOG_BENCH_DIFFERENTIAL:-0}" = 1 ]; then
    echo "== fast against plain on larger surfaces"
    cmake --build "$build" --target vog_tests -j2 >/dev/null
    timed "$build/bin/vog_tests" --gtest_filter='LargeDifferential.*' \
        --gtest_also_run_disabled_tests
fi
