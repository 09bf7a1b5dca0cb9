#!/usr/bin/env python3
"""A proposed surface for the volumes demo: the survey with a level building
pad cut into the slope.

The pad is a rectangle held at one level; around it the ground is graded to
batters of a fixed slope, in cut where the ground stands above the pad and in
fill where it lies below, until the batter meets the ground. Every survey
point keeps its position; its height becomes

    clamp(ground, level - slope * d, level + slope * d)

where d is the point's plan distance from the pad (0 inside it). Points on a
grid inside the pad and along its outline make the pad's edges crisp in the
triangulation. The pad level is the median ground height inside the pad,
rounded to a metre.

    make-pad.py SURVEY.xyz PROPOSED.xyz [--centre X Y] [--size W H]
                [--slope S] [--spacing D]
"""

import argparse
import math
import sys


def read_points(path):
    points = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            fields = line.split()
            if not fields:
                continue
            if len(fields) != 3:
                sys.exit(f"{path} line {number}: expected x y z, got {line.strip()!r}")
            try:
                x, y, z = (float(v) for v in fields)
            except ValueError:
                sys.exit(f"{path} line {number}: not a number in {line.strip()!r}")
            if not all(math.isfinite(v) for v in (x, y, z)):
                sys.exit(f"{path} line {number}: not a finite number in {line.strip()!r}")
            points.append((x, y, z))
    if not points:
        sys.exit(f"{path}: no points")
    return points


def distance_to_pad(x, y, pad):
    x0, y0, x1, y1 = pad
    dx = max(x0 - x, 0.0, x - x1)
    dy = max(y0 - y, 0.0, y - y1)
    return math.hypot(dx, dy)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("survey")
    parser.add_argument("proposed")
    parser.add_argument("--centre", nargs=2, type=float, default=(509000.0, 4006500.0),
                        metavar=("X", "Y"))
    parser.add_argument("--size", nargs=2, type=float, default=(1500.0, 1000.0),
                        metavar=("W", "H"))
    parser.add_argument("--slope", type=float, default=0.5,
                        help="rise over run of the batters (0.5: one in two)")
    parser.add_argument("--spacing", type=float, default=50.0,
                        help="spacing of the points inside the pad and on its outline")
    args = parser.parse_args()
    if args.size[0] <= 0 or args.size[1] <= 0 or args.slope <= 0 or args.spacing <= 0:
        sys.exit("size, slope and spacing must be positive")

    survey = read_points(args.survey)
    cx, cy = args.centre
    w, h = args.size
    pad = (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2)

    inside = sorted(z for x, y, z in survey if distance_to_pad(x, y, pad) == 0)
    if not inside:
        sys.exit(f"no survey point lies inside the pad {pad}")
    level = round(inside[len(inside) // 2])

    out = []
    for x, y, z in survey:
        d = distance_to_pad(x, y, pad)
        if d == 0:
            continue  # the pad's own grid replaces them
        out.append((x, y, min(max(z, level - args.slope * d), level + args.slope * d)))
    nx = max(1, round(w / args.spacing))
    ny = max(1, round(h / args.spacing))
    for i in range(nx + 1):
        for j in range(ny + 1):
            out.append((pad[0] + i * w / nx, pad[1] + j * h / ny, float(level)))

    with open(args.proposed, "w", encoding="ascii") as f:
        for x, y, z in out:
            f.write(f"{x:.3f} {y:.3f} {z:.3f}\n")
    print(f"pad {w:g} x {h:g} at ({cx:.0f}, {cy:.0f}), level {level} m, batters {args.slope:g}; "
          f"{len(out)} points written to {args.proposed}")


if __name__ == "__main__":
    main()
