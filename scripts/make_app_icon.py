#!/usr/bin/python3
"""Draws the application icon: a rounded dark tile sheet holding a 3 x 3 grid of coloured
tiles, one of them picked out by a light frame. Writes data/icons/morvane.svg and the PNG
sizes of the hicolor theme (data/icons/<size>.png). Needs Pillow."""
import os
import sys

from PIL import Image, ImageDraw

SIZES = (16, 24, 32, 48, 64, 128, 256)
BACK = (38, 50, 56, 255)
TILES = [(0x66, 0xbb, 0x6a), (0x42, 0xa5, 0xf5), (0xff, 0xca, 0x28),
         (0x8d, 0x6e, 0x63), (0x66, 0xbb, 0x6a), (0x42, 0xa5, 0xf5),
         (0xef, 0x53, 0x50), (0x8d, 0x6e, 0x63), (0x66, 0xbb, 0x6a)]
FRAME = (250, 250, 250, 255)
PICKED = 2  # the tile with the frame

# Geometry on a 256-unit square: margin, gap between tiles, corner radius.
MARGIN, GAP, RADIUS = 20, 10, 36
CELL = (256 - 2 * MARGIN - 4 * GAP) / 3


def tile_box(i):
    col, row = i % 3, i // 3
    x = MARGIN + GAP + col * (CELL + GAP)
    y = MARGIN + GAP + row * (CELL + GAP)
    return x, y, x + CELL, y + CELL


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
             f'<rect x="{MARGIN - 12}" y="{MARGIN - 12}" width="{256 - 2 * MARGIN + 24}" '
             f'height="{256 - 2 * MARGIN + 24}" rx="{RADIUS}" fill="#263238"/>']
    for i, c in enumerate(TILES):
        x0, y0, x1, y1 = tile_box(i)
        parts.append(f'<rect x="{x0:.2f}" y="{y0:.2f}" width="{x1 - x0:.2f}" height="{y1 - y0:.2f}" '
                     f'rx="6" fill="#{c[0]:02x}{c[1]:02x}{c[2]:02x}"/>')
    x0, y0, x1, y1 = tile_box(PICKED)
    parts.append(f'<rect x="{x0 - 4:.2f}" y="{y0 - 4:.2f}" width="{x1 - x0 + 8:.2f}" height="{y1 - y0 + 8:.2f}" '
                 f'rx="9" fill="none" stroke="#fafafa" stroke-width="6"/>')
    parts.append('</svg>')
    return '\n'.join(parts) + '\n'


def png(size):
    # Drawn at 4x and reduced, for smooth edges at every size.
    big = size * 4
    s = big / 256
    img = Image.new('RGBA', (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([(MARGIN - 12) * s, (MARGIN - 12) * s, (256 - MARGIN + 12) * s - 1,
                         (256 - MARGIN + 12) * s - 1], radius=RADIUS * s, fill=BACK)
    for i, c in enumerate(TILES):
        x0, y0, x1, y1 = tile_box(i)
        d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=max(1, 6 * s), fill=c + (255,))
    x0, y0, x1, y1 = tile_box(PICKED)
    d.rounded_rectangle([(x0 - 4) * s, (y0 - 4) * s, (x1 + 4) * s - 1, (y1 + 4) * s - 1],
                        radius=9 * s, outline=FRAME, width=max(4, round(6 * s)))
    return img.resize((size, size), Image.LANCZOS)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'data', 'icons')
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'morvane.svg'), 'w') as f:
        f.write(svg())
    for size in SIZES:
        png(size).save(os.path.join(out, f'{size}.png'), optimize=True)


if __name__ == '__main__':
    main()
