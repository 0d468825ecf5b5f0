#!/usr/bin/env python3
"""Draws the custom brush tips shipped with the editor and writes them as RGBA PNG files
brush0.png, brush1.png, ... (32 x 32; the editor scales a tip to the brush size).

The tips are black shapes whose alpha carries the shape, so they paint darkening dabs over any
picture: a soft round tip, a five-pointed star, a scatter of dots and a square of crossing hatches.
Shapes are sampled 8 x 8 times per pixel, so their edges are smooth.

Usage: make_brushes.py <output folder>
"""
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icons import png_bytes, in_polygon  # noqa: E402

SIZE = 32
SS = 8


def render(coverage):
    """coverage(x, y) -> 0..1 at a point of the tip; returns the RGBA pixels."""
    pixels = []
    for py in range(SIZE):
        for px in range(SIZE):
            total = 0.0
            for sy in range(SS):
                for sx in range(SS):
                    total += coverage(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
            alpha = round(255 * total / (SS * SS))
            pixels.append((0, 0, 0, alpha))
    return pixels


def soft_round(x, y):
    # Full in the middle, fading to nothing at the rim.
    r = math.hypot(x - SIZE / 2, y - SIZE / 2) / (SIZE / 2)
    return max(0.0, min(1.0, (1.0 - r) * 1.6))


def star_points():
    pts = []
    for i in range(10):
        angle = -math.pi / 2 + i * math.pi / 5
        radius = 15.5 if i % 2 == 0 else 6.5
        pts.append((SIZE / 2 + radius * math.cos(angle), SIZE / 2 + 1 + radius * math.sin(angle)))
    return pts


STAR = star_points()


def star(x, y):
    return 1.0 if in_polygon(x, y, STAR) else 0.0


def dots_list():
    rng = random.Random(7)
    dots = []
    while len(dots) < 14:
        cx, cy, r = rng.uniform(3, 29), rng.uniform(3, 29), rng.uniform(1.2, 3.0)
        if math.hypot(cx - 16, cy - 16) + r <= 15.5:
            dots.append((cx, cy, r))
    return dots


DOTS = dots_list()


def scatter(x, y):
    return 1.0 if any(math.hypot(x - cx, y - cy) <= r for cx, cy, r in DOTS) else 0.0


def hatch(x, y):
    inside = 2 <= x <= 30 and 2 <= y <= 30
    on_line = ((x + y) % 6) < 1.5 or ((x - y) % 6) < 1.5
    return 0.8 if inside and on_line else 0.0


TIPS = [soft_round, star, scatter, hatch]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for index, tip in enumerate(TIPS):
        with open(os.path.join(out, "brush%d.png" % index), "wb") as f:
            f.write(png_bytes(SIZE, SIZE, render(tip)))


if __name__ == "__main__":
    main()
