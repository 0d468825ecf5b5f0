#!/usr/bin/env python3
"""Draws the seven tool icons of the editor and writes them as RGBA PNG files.

Shapes are described in icon pixel coordinates and rasterised with 8 x 8 supersampling, so the
edges are anti-aliased; everything outside the shapes stays fully transparent.

Usage: make_icons.py <output folder>
"""
import math
import struct
import sys
import zlib

SS = 8  # samples per pixel along each axis

OUTLINE = (43, 43, 48, 255)


def png_bytes(width, height, pixels):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw.extend(pixels[y * width + x])

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx, ay + t * dy
    return math.hypot(px - qx, py - qy)


def in_polygon(px, py, pts):
    inside = False
    n = len(pts)
    for i in range(n):
        x1, y1 = pts[i]
        x2, y2 = pts[(i + 1) % n]
        if (y1 > py) != (y2 > py):
            xc = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
            if px < xc:
                inside = not inside
    return inside


def polygon(pts):
    return lambda x, y: in_polygon(x, y, pts)


def polygon_edge(pts, width):
    n = len(pts)
    return lambda x, y: min(seg_dist(x, y, *pts[i], *pts[(i + 1) % n]) for i in range(n)) <= width / 2


def capsule(ax, ay, bx, by, r):
    return lambda x, y: seg_dist(x, y, ax, ay, bx, by) <= r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def ring(cx, cy, rx, ry, width):
    outer, inner = ellipse(cx, cy, rx, ry), ellipse(cx, cy, rx - width, ry - width)
    return lambda x, y: outer(x, y) and not inner(x, y)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rotated(points, angle_deg, cx, cy):
    a = math.radians(angle_deg)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


def render(size, layers):
    """layers: list of (inside function, RGBA colour), painted in order with 'over' blending."""
    out = []
    for py in range(size):
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied accumulation
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    cr = cg = cb = ca = 0.0
                    for inside, colour in layers:
                        if inside(x, y):
                            la = colour[3] / 255.0
                            cr = colour[0] * la + cr * (1 - la)
                            cg = colour[1] * la + cg * (1 - la)
                            cb = colour[2] * la + cb * (1 - la)
                            ca = la + ca * (1 - la)
                    r, g, b, a = r + cr, g + cg, b + cb, a + ca
            n = SS * SS
            alpha = a / n
            if alpha <= 0:
                out.append((0, 0, 0, 0))
            else:
                out.append((round(r / n / alpha), round(g / n / alpha), round(b / n / alpha), round(alpha * 255)))
    return png_bytes(size, size, out)


def paint_brush():
    handle = [(21.5, 1.5), (23.0, 3.0), (13.2, 13.8), (10.2, 10.8)]
    ferrule = [(10.2, 10.8), (13.2, 13.8), (11.6, 15.4), (8.6, 12.4)]
    bristles = [(8.6, 12.4), (11.6, 15.4), (9.5, 19.5), (4.5, 22.0), (2.2, 22.2), (3.2, 18.5), (5.0, 14.0)]
    tip = [(6.0, 18.0), (9.5, 19.5), (4.5, 22.0), (2.2, 22.2), (3.2, 18.5)]
    return render(24, [
        (polygon_edge(handle, 1.4), OUTLINE), (polygon(handle), (176, 112, 58, 255)),
        (capsule(20.8, 3.0, 12.0, 11.8, 0.45), (214, 156, 96, 255)),
        (polygon_edge(ferrule, 1.4), OUTLINE), (polygon(ferrule), (190, 196, 206, 255)),
        (polygon_edge(bristles, 1.4), OUTLINE), (polygon(bristles), (120, 80, 48, 255)),
        (polygon(tip), (40, 110, 220, 255)),
    ])


def straight_line():
    return render(24, [
        (capsule(4.5, 19.5, 19.5, 4.5, 1.6), OUTLINE),
        (ellipse(4.5, 19.5, 2.8, 2.8), OUTLINE), (ellipse(4.5, 19.5, 1.7, 1.7), (40, 110, 220, 255)),
        (ellipse(19.5, 4.5, 2.8, 2.8), OUTLINE), (ellipse(19.5, 4.5, 1.7, 1.7), (40, 110, 220, 255)),
    ])


def rectangle():
    outer, inner = rect(1.5, 3.0, 14.5, 13.0), rect(3.0, 4.5, 13.0, 11.5)
    return render(16, [
        (outer, OUTLINE), (inner, (150, 196, 250, 255)),
        (rect(3.0, 4.5, 13.0, 6.0), (196, 224, 255, 255)),
    ])


def ellipse_icon():
    return render(16, [
        (ellipse(8.0, 8.0, 7.0, 5.5), OUTLINE), (ellipse(8.0, 8.0, 5.5, 4.0), (150, 196, 250, 255)),
        (ellipse(7.0, 6.6, 3.0, 1.6), (196, 224, 255, 255)),
    ])


def paint_bucket():
    # Bucket tipped to the right, paint running from its mouth.
    body = rotated([(3.0, 5.0), (11.0, 5.0), (10.0, 14.5), (4.0, 14.5)], 35, 6.5, 9.0)
    mouth = rotated([(3.0, 4.3), (11.0, 4.3), (11.0, 6.0), (3.0, 6.0)], 35, 6.5, 9.0)
    handle = ring(9.2, 6.0, 4.6, 4.6, 1.1)
    up_x, up_y = math.sin(math.radians(35)), -math.cos(math.radians(35))
    return render(16, [
        (lambda x, y: handle(x, y) and (x - 9.2) * up_x + (y - 6.0) * up_y > 0, OUTLINE),
        (polygon_edge(body, 1.3), OUTLINE), (polygon(body), (200, 206, 216, 255)),
        (polygon_edge(mouth, 1.2), OUTLINE), (polygon(mouth), (40, 110, 220, 255)),
        (capsule(12.9, 8.6, 13.6, 12.0, 1.1), (40, 110, 220, 255)),
        (ellipse(13.7, 13.4, 1.7, 1.9), (40, 110, 220, 255)),
    ])


def waste_bin():
    body = [(5.0, 7.5), (19.0, 7.5), (17.5, 22.0), (6.5, 22.0)]
    layers = [
        (rect(9.0, 1.5, 15.0, 4.5), OUTLINE), (rect(10.5, 3.0, 13.5, 4.5), (0, 0, 0, 0)),
        (polygon_edge(body, 1.5), OUTLINE), (polygon(body), (150, 160, 176, 255)),
        (rect(3.0, 4.0, 21.0, 7.5), OUTLINE), (rect(4.2, 5.2, 19.8, 6.3), (190, 198, 210, 255)),
    ]
    for x in (9.0, 12.0, 15.0):
        layers.append((capsule(x, 10.5, x - (x - 12.0) * 0.08, 19.0, 0.7), (70, 78, 92, 255)))
    # cut the handle's inside back to transparent
    layers[1] = (rect(10.5, 3.0, 13.5, 4.0), (0, 0, 0, 0))
    hole = rect(10.5, 3.0, 13.5, 3.99)
    return render(24, [(lambda x, y, f=f: f(x, y) and not hole(x, y), c) for f, c in layers if c[3] > 0])


def eraser():
    block = rotated([(2.0, 5.5), (14.0, 5.5), (14.0, 10.5), (2.0, 10.5)], -35, 8.0, 8.0)
    sleeve = rotated([(2.0, 5.5), (7.5, 5.5), (7.5, 10.5), (2.0, 10.5)], -35, 8.0, 8.0)
    return render(16, [
        (polygon_edge(block, 1.3), OUTLINE), (polygon(block), (240, 120, 140, 255)),
        (polygon(sleeve), (90, 140, 230, 255)),
        (polygon_edge(sleeve, 1.0), OUTLINE),
    ])


ICONS = [
    ("paint_brush.png", paint_brush), ("line.png", straight_line), ("rectangle.png", rectangle),
    ("ellipse.png", ellipse_icon), ("paint_bucket.png", paint_bucket), ("waste_bin.png", waste_bin),
    ("eraser.png", eraser),
]

if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    for name, draw in ICONS:
        with open(f"{folder}/{name}", "wb") as f:
            f.write(draw())
