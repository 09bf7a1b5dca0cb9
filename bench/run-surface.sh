#!/bin/sh
# Surface benchmark: generates point files of 300k, 1M and 10M points
# (uniform, clustered, grid, and the degenerate line, diagonal and circle),
# runs the triangulate pipeline from the point file to its ".tin" and the
# Delaunay peer on the same file, one after the other, and prints the time
# and peak memory of each run as a table, with the verdict of the tests'
# validity checker on the ".tin" (up to 1M points; "-" above).
#
#   bench/run-surface.sh [build folder] [sizes...]
#
# Defaults: build folder build-bench (configured RelWithDebInfo), sizes
# 300000 1000000 10000000. Run bench/setup.sh once first. The grid layout
# is skipped above one million points (its columns of points on one line
# make every insertion of the sweep break half a column of triangles), and
# the circle above 300k (every circle of its triangles is nearly the one
# circle, so every search meets them all).
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build-bench}
[ $# -gt 0 ] && shift
sizes=${*:-300000 1000000 10000000}

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target vog_make_points vog_triangulate_file vog_check_surface >/dev/null
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

printf "%-10s %10s %10s %10s %10s %10s %8s  %s\n" layout points "vog s" "vog MiB" "peer s" "peer MiB" ratio surface
for n in $sizes; do
    for layout in uniform clustered grid line diagonal circle; do
        if [ "$layout" = grid ] && [ "$n" -gt 1000000 ]; then continue; fi
        if [ "$layout" = circle ] && [ "$n" -gt 300000 ]; then continue; fi
        points="$work/$layout-$n.xyz"
        [ -f "$points" ] || "$build/bin/vog_make_points" "$layout" "$n" 7 >"$points"
        ours=$(measure "$build/bin/vog_triangulate_file" "$points")
        theirs="- -"
        # The peer takes its time over points on one line: it gets a limit.
        if [ -n "$peer" ]; then
            theirs=$(measure timeout "${PEER_LIMIT:-120}" "$peer" "$points" "$work/peer.tin")
        fi
        ratio=$(echo "$ours $theirs" | awk '$3 > 0 && $1 != "-" { printf "%.2f", $1 / $3; exit } { print "-" }')
        verdict="-"
        if [ "$n" -le 1000000 ] && [ -f "$work/$layout-$n.tin" ]; then
            verdict=$("$build/bin/vog_check_surface" "$points" "$work/$layout-$n.tin" | sed 's/.*: //')
        fi
        # shellcheck disable=SC2086
        printf "%-10s %10s %10s %10s %10s %10s %8s  %s\n" "$layout" "$n" $ours $theirs "$ratio" "$verdict"
        rm -f "$work/$layout-$n.tin" "$work/peer.tin"
    done
done
