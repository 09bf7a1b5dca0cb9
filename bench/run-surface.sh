#!/bin/sh
# Surface benchmark: generates point files of 100k, 1M and 10M points
# (uniform, clustered, grid), runs the triangulate pipeline from the point
# file to its ".tin" and the Delaunay peer on the same file, and prints the
# time and peak memory of each run as a table.
#
#   bench/run-surface.sh [build folder] [sizes...]
#
# Defaults: build folder build-bench (configured RelWithDebInfo), sizes
# 100000 1000000 10000000. Run bench/setup.sh once first. The grid layout
# is skipped at ten million points: its columns of points on one line make
# every insertion of the sweep break a whole column of triangles.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build-bench}
[ $# -gt 0 ] && shift
sizes=${*:-100000 1000000 10000000}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target vog_make_points vog_triangulate_file >/dev/null
peer=""
if cmake --build "$build" -j2 --target vog_delaunay_peer >/dev/null 2>&1; then
    peer=$build/bin/vog_delaunay_peer
fi

work=${BENCH_WORK:-/tmp/vog-surface-bench}
mkdir -p "$work/temp"
export TEMP="$work/temp"

# time and peak memory of a command: "seconds MiB"
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1 || {
        echo "failed: $*" >&2
        cat "$work/out.txt" >&2
        echo "- -"
        return
    }
    awk '{ printf "%s %.0f\n", $1, $2 / 1024 }' "$work/time.txt"
}

printf "%-10s %10s %12s %10s %12s %10s\n" layout points "vog s" "vog MiB" "peer s" "peer MiB"
for n in $sizes; do
    for layout in uniform clustered grid; do
        if [ "$layout" = grid ] && [ "$n" -gt 1000000 ]; then continue; fi
        points="$work/$layout-$n.xyz"
        [ -f "$points" ] || "$build/bin/vog_make_points" "$layout" "$n" 7 >"$points"
        ours=$(measure "$build/bin/vog_triangulate_file" "$points")
        theirs="- -"
        if [ -n "$peer" ]; then theirs=$(measure "$peer" "$points" "$work/peer.tin"); fi
        # shellcheck disable=SC2086
        printf "%-10s %10s %12s %10s %12s %10s\n" "$layout" "$n" $ours $theirs
        rm -f "$work/$layout-$n.tin" "$work/peer.tin"
    done
done
