#!/usr/bin/python3
"""The peer of the contours benchmark: matplotlib's tricontour on the same
triangles and the same levels as the plug-in's tracer.

    tricontour_peer.py FILE LEVELS

Reads the triangle file (nine numbers per triangle), joins corners with
equal plan coordinates into vertices, and times the contour generator over
LEVELS levels placed as the plug-in benchmark places them (half an interval
above the lowest corner, then every interval), both through the generator
itself and through Axes.tricontour, which also builds the drawing paths.
Reading and joining the corners are timed apart."""
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import matplotlib.tri as mtri  # noqa: E402
from matplotlib import _tri  # noqa: E402
import numpy as np  # noqa: E402


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    start = time.perf_counter()
    values = np.fromfile(path, sep=" ")
    corners = values.reshape(-1, 3)
    read = time.perf_counter() - start

    start = time.perf_counter()
    plan, inverse = np.unique(corners[:, :2], axis=0, return_inverse=True)
    heights = np.zeros(len(plan))
    heights[inverse] = corners[:, 2]
    triangles = inverse.reshape(-1, 3)
    triangulation = mtri.Triangulation(plan[:, 0], plan[:, 1], triangles)
    joined = time.perf_counter() - start

    lowest, highest = heights.min(), heights.max()
    interval = (highest - lowest) / count
    levels = lowest + interval / 2 + interval * np.arange(count)

    start = time.perf_counter()
    generator = _tri.TriContourGenerator(triangulation.get_cpp_triangulation(), heights)
    lines = 0
    vertices = 0
    for level in levels:
        segs, _ = generator.create_contour(level)
        lines += len(segs)
        vertices += sum(len(s) for s in segs)
    generated = time.perf_counter() - start

    start = time.perf_counter()
    figure, axes = plt.subplots()
    axes.tricontour(triangulation, heights, levels=levels)
    plotted = time.perf_counter() - start
    plt.close(figure)

    print(
        f"tricontour {path}: {len(triangles)} triangles, {len(plan)} vertices, read {read:.3f} s, "
        f"joined {joined:.3f} s; {count} levels: {lines} lines, {vertices} vertices, "
        f"generator {generated:.3f} s, Axes.tricontour {plotted:.3f} s"
    )


if __name__ == "__main__":
    main()
