#!/usr/bin/python3
"""morvane-tileset run as a user runs it: its pictures read back with Pillow and compared
with pixels computed here, its JSON parsed, its TSX read back by Tiled, its refusals checked.

Usage: cli_test.py PATH_TO_MORVANE_TILESET
"""
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

CLI = None


def random_picture(path, w, h, seed, clear_every=8):
    rnd = random.Random(seed)
    im = Image.new("RGBA", (w, h))
    px = []
    for _ in range(w * h):
        a = 0 if rnd.randrange(clear_every) == 0 else rnd.randrange(1, 256)
        px.append((rnd.randrange(256), rnd.randrange(256), rnd.randrange(256), a))
    im.putdata(px)
    im.save(path)
    return im


def shown(p):
    """A pixel as the tile set holds it: a transparent pixel is transparent black."""
    return (0, 0, 0, 0) if p[3] == 0 else p


class Cli(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="morvane_tileset_cli_")
        self.old = os.getcwd()
        os.chdir(self.dir)

    def tearDown(self):
        os.chdir(self.old)
        shutil.rmtree(self.dir, ignore_errors=True)

    def run_cli(self, *args):
        r = subprocess.run([CLI, *args], capture_output=True, text=True, timeout=120)
        return r.returncode, r.stdout, r.stderr

    def ok(self, *args):
        status, _, err = self.run_cli(*args)
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "", "nothing on standard error when it is not a terminal")

    def test_refusals(self):
        random_picture("in.png", 100, 64, 1)
        random_picture("big.png", 200, 200, 2)
        with open("notes.txt", "w") as f:
            f.write("not a picture")
        open("empty.png", "wb").close()
        with open("in.png", "rb") as f, open("cut.png", "wb") as cut:
            cut.write(f.read()[:60])
        os.mkdir("folder.png")
        cases = [
            (["nothere.png", "o.png"], 1, "morvane-tileset: cannot read nothere.png: no such file"),
            (["notes.txt", "o.png"], 1,
             "morvane-tileset: cannot read notes.txt: not a picture in a format read here (PNG, JPEG or BMP)"),
            (["empty.png", "o.png"], 1, "morvane-tileset: cannot read empty.png: the file is empty"),
            (["cut.png", "o.png"], 1, "morvane-tileset: cannot read cut.png: the picture is truncated or damaged"),
            (["folder.png", "o.png"], 1, "morvane-tileset: cannot read folder.png: it is a folder"),
            (["--tile", "200x2", "in.png", "o.png"], 2, "tiles of 200x2 leave no whole tile in the 100x64 picture"),
            (["--layout", "grid", "--in-margin", "70", "in.png", "o.png"], 2, "with input margin 70"),
            (["--columns", "x", "in.png", "o.png"], 2, "--columns: 'x' is not a whole number"),
            (["--columns", "0", "in.png", "o.png"], 2, "--columns: 0 is out of range (1 to 32767)"),
            (["--spacing", "-1", "in.png", "o.png"], 2, "--spacing: -1 is out of range (0 to 32767)"),
            (["--tile", "-5x32", "in.png", "o.png"], 2, "--tile: -5 is out of range (1 to 32767)"),
            (["--tile", "32x-0", "in.png", "o.png"], 2, "--tile: -0 is out of range (1 to 32767)"),
            (["--columns", "-2", "in.png", "o.png"], 2, "--columns: -2 is out of range (1 to 32767)"),
            (["--columns", "99999999999999999999", "in.png", "o.png"], 2,
             "--columns: 99999999999999999999 is out of range (1 to 32767)"),
            (["--layout", "grid", "--margin=-3", "in.png", "o.png"], 2, "--margin: -3 is out of range (0 to 32767)"),
            (["--in-margin", "-1", "in.png", "o.png"], 2, "--in-margin: -1 is out of range (0 to 32767)"),
            (["--quality", "-10", "in.png", "o.jpg"], 2, "--quality: -10 is out of range (0 to 100)"),
            (["--columns", "-", "in.png", "o.png"], 2, "--columns: '-' is not a whole number"),
            (["--quality", "101", "in.png", "o.jpg"], 2, "--quality: 101 is out of range (0 to 100)"),
            (["--quality", "75", "in.png", "o.jpg"], 2, "--quality: 75 is not a step of 10 (0, 10, 20 ... 100)"),
            (["--tile", "16", "in.png", "o.png"], 2, "--tile: '16' is not a size like 32x32"),
            (["--tile", "0x16", "in.png", "o.png"], 2, "--tile: 0 is out of range"),
            (["--layout", "rows", "in.png", "o.png"], 2, "--layout: 'rows' is neither classic nor grid"),
            (["--extrude", "1", "in.png", "o.png"], 2, "the classic layout takes no extrusion"),
            (["--frobnicate", "in.png", "o.png"], 2, "unknown option --frobnicate"),
            (["in.png"], 2, "expected INPUT and OUTPUT"),
            (["--list"], 2, "--list needs a value"),
            (["in.png", "in.png"], 2, "the output in.png is the input"),
            (["in.png", "o.png", "--tsx", "./in.png"], 2, "the output ./in.png is the input"),
            (["in.png", "o.png", "--list", "o.png"], 2, "the output o.png is named twice"),
            (["in.png", "o.gif"], 2, "the output o.gif has no .png, .bmp, .jpg or .jpeg extension"),
            (["in.png", "o.png", "--map", "m.txt"], 2, "the map m.txt has no .csv or .json extension"),
            (["in.png", "nowhere/o.png"], 1, "cannot write nowhere/o.png: no folder"),
            (["in.png", "o.png", "--json", "nowhere/o.json"], 1, "cannot write nowhere/o.json: no folder"),
            (["in.png", "folder.png"], 1, "cannot write folder.png: it is a folder"),
            (["--tile", "1x1", "--columns", "1", "big.png", "o.png"], 2,
             "The tile set would be 1x40000 pixels, larger than 32767 on a side: choose more columns or larger tiles."),
        ]
        before = sorted(os.listdir("."))
        for args, status, message in cases:
            with self.subTest(args=args):
                got, out, err = self.run_cli(*args)
                self.assertEqual(got, status, err)
                self.assertEqual(out, "")
                lines = err.splitlines()
                self.assertEqual(len(lines), 1, err)
                self.assertTrue(lines[0].startswith("morvane-tileset: "), err)
                self.assertIn(message, lines[0])
                self.assertEqual(sorted(os.listdir(".")), before, "no output file is left")

    def test_all_outputs_or_none(self):
        random_picture("in.png", 64, 64, 3)
        with open("o.png", "wb") as f:
            f.write(b"old picture")
        # The map's folder is missing: nothing is written, the old picture stays.
        status, _, _ = self.run_cli("in.png", "o.png", "--list", "o.txt", "--map", "gone/m.csv")
        self.assertEqual(status, 1)
        with open("o.png", "rb") as f:
            self.assertEqual(f.read(), b"old picture")
        self.assertFalse(os.path.exists("o.txt"))
        self.ok("in.png", "o.png", "--list", "o.txt", "--tsx", "o.tsx", "--json", "o.json", "--map", "m.csv")
        self.assertEqual(Image.open("o.png").size, (320, 32))  # four tiles need one row
        self.assertEqual(sorted(os.listdir(".")), ["in.png", "m.csv", "o.json", "o.png", "o.tsx", "o.txt"])

    def expect_grid(self, src, out, tw, th, cols, margin, spacing, extrude, in_margin, in_spacing, tiles):
        """Every output pixel against the source pixel it should show."""
        cw, ch = tw + 2 * extrude, th + 2 * extrude
        src_cols = (src.width - in_margin + in_spacing) // (tw + in_spacing)
        rows = (tiles + cols - 1) // cols
        self.assertEqual(out.size, (2 * margin + cols * cw + (cols - 1) * spacing,
                                    2 * margin + rows * ch + (rows - 1) * spacing))
        sp, op = src.load(), out.load()
        for y in range(out.height):
            for x in range(out.width):
                want = (0, 0, 0, 0)
                ux, uy = x - margin, y - margin
                if ux >= 0 and uy >= 0:
                    col, row = ux // (cw + spacing), uy // (ch + spacing)
                    ix, iy = ux % (cw + spacing), uy % (ch + spacing)
                    t = row * cols + col
                    if col < cols and ix < cw and iy < ch and t < tiles:
                        tx = min(max(ix - extrude, 0), tw - 1)
                        ty = min(max(iy - extrude, 0), th - 1)
                        want = shown(sp[in_margin + (t % src_cols) * (tw + in_spacing) + tx,
                                        in_margin + (t // src_cols) * (th + in_spacing) + ty])
                self.assertEqual(op[x, y], want, f"pixel {x},{y}")

    def test_grid_margins_spacing_extrusion(self):
        src = random_picture("in.png", 61, 47, 4)
        for tw, th, cols, margin, spacing, extrude, in_margin, in_spacing in [
            (8, 8, 4, 0, 0, 0, 0, 0), (8, 6, 3, 2, 1, 1, 0, 0), (5, 7, 5, 1, 3, 2, 2, 1), (4, 4, 7, 0, 2, 3, 1, 3)]:
            with self.subTest(tile=(tw, th), cols=cols, margin=margin, spacing=spacing, extrude=extrude):
                self.ok("--layout", "grid", "--tile", f"{tw}x{th}", "--columns", str(cols), "--margin", str(margin),
                        "--spacing", str(spacing), "--extrude", str(extrude), "--in-margin", str(in_margin),
                        "--in-spacing", str(in_spacing), "in.png", "out.png")
                tiles = ((61 - in_margin + in_spacing) // (tw + in_spacing)) * ((47 - in_margin + in_spacing) // (th + in_spacing))
                self.expect_grid(src, Image.open("out.png").convert("RGBA"), tw, th, cols, margin, spacing, extrude,
                                 in_margin, in_spacing, tiles)

    def test_extruded_corners_and_edges(self):
        # One 3x3 tile with nine different colours, extruded by 2: each corner block of 2x2 is
        # the corner pixel, each edge strip repeats its edge row or column.
        im = Image.new("RGBA", (3, 3))
        colours = [(10 * i, 255 - 10 * i, 7 * i, 255) for i in range(9)]
        im.putdata(colours)
        im.save("one.png")
        self.ok("--layout", "grid", "--tile", "3x3", "--extrude", "2", "--margin", "1", "--columns", "1",
                "one.png", "e.png")
        e = Image.open("e.png").convert("RGBA")
        self.assertEqual(e.size, (9, 9))
        px = e.load()
        c = lambda x, y: colours[y * 3 + x]
        expected = {(1, 1): c(0, 0), (2, 2): c(0, 0), (7, 1): c(2, 0), (6, 2): c(2, 0), (1, 7): c(0, 2),
                    (7, 7): c(2, 2), (4, 1): c(1, 0), (4, 2): c(1, 0), (1, 4): c(0, 1), (7, 4): c(2, 1),
                    (4, 7): c(1, 2), (4, 4): c(1, 1), (3, 3): c(0, 0), (0, 0): (0, 0, 0, 0), (8, 4): (0, 0, 0, 0)}
        for (x, y), want in expected.items():
            self.assertEqual(px[x, y], want, f"pixel {x},{y}")

    def test_spaced_sheet_round_trip(self):
        src = random_picture("in.png", 48, 30, 5)
        self.ok("--layout", "grid", "--tile", "8x6", "--columns", "5", "--margin", "3", "--spacing", "2",
                "in.png", "spaced.png")
        self.assertEqual(Image.open("spaced.png").size, (54, 52))  # 6 + 5 x 8 + 4 x 2, 6 + 6 x 6 + 5 x 2
        self.ok("--layout", "grid", "--tile", "8x6", "--columns", "6", "--in-margin", "3", "--in-spacing", "2",
                "spaced.png", "back.png")
        back = Image.open("back.png").convert("RGBA")
        self.assertEqual(back.size, (48, 30))
        self.assertEqual(list(back.getdata()), [shown(p) for p in src.getdata()])

    def test_dedup_flips_skip_empty_and_map(self):
        n = 8
        rnd = random.Random(6)
        bases = []
        for _ in range(3):
            t = Image.new("RGBA", (n, n))
            t.putdata([(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256), 255) for _ in range(n * n)])
            bases.append(t)
        empty = Image.new("RGBA", (n, n), (50, 60, 70, 0))
        T = Image.Transpose
        H, V, D = 0x80000000, 0x40000000, 0x20000000
        # Source tiles: (picture, map value with --dedup, map value with --dedup-flips).
        tiles = [
            (bases[0], 1, 1),
            (empty, 0, 0),
            (bases[1], 2, 2),
            (bases[0], 1, 1),
            (bases[0].transpose(T.FLIP_LEFT_RIGHT), 3, 1 | H),
            (bases[1].transpose(T.ROTATE_270), 4, 2 | D | H),    # a quarter turn clockwise
            (bases[1].transpose(T.ROTATE_90), 5, 2 | D | V),     # a quarter turn counter-clockwise
            (bases[2], 6, 3),
            (bases[2].transpose(T.ROTATE_180), 7, 3 | H | V),
            (bases[2].transpose(T.TRANSPOSE), 8, 3 | D),
            (bases[0].transpose(T.TRANSVERSE), 9, 1 | D | H | V),
            (bases[1].transpose(T.FLIP_TOP_BOTTOM), 10, 2 | V),
        ]
        sheet = Image.new("RGBA", (4 * n, 3 * n))
        for i, (t, _, _) in enumerate(tiles):
            sheet.paste(t, ((i % 4) * n, (i // 4) * n))
        sheet.save("in.png")
        for flag, column, kept in (("--dedup", 1, 10), ("--dedup-flips", 2, 3)):
            with self.subTest(flag=flag):
                self.ok("--layout", "grid", "--tile", f"{n}x{n}", "--columns", "4", flag, "--skip-empty",
                        "in.png", "out.png", "--map", "m.csv", "--tsx", "out.tsx")
                with open("m.csv") as f:
                    rows = [[int(v) for v in line.split(",")] for line in f.read().splitlines()]
                values = [t[column] for t in tiles]
                self.assertEqual(rows, [values[0:4], values[4:8], values[8:12]])
                out = Image.open("out.png").convert("RGBA")
                self.assertEqual(out.size, (4 * n, (kept + 3) // 4 * n))
                # Kept tiles are the first copies, unflipped, in reading order.
                firsts = []
                for t, ex, fl in tiles:
                    v = (ex if column == 1 else fl) & 0x0FFFFFFF
                    if v and v > len(firsts):
                        firsts.append(t)
                for k, t in enumerate(firsts):
                    cell = out.crop(((k % 4) * n, (k // 4) * n, (k % 4) * n + n, (k // 4) * n + n))
                    self.assertEqual(list(cell.getdata()), list(t.getdata()), f"tile {k}")
        self.ok("--layout", "grid", "--tile", f"{n}x{n}", "--columns", "4", "--dedup-flips", "--skip-empty",
                "in.png", "out.png", "--map", "m.json")
        with open("m.json") as f:
            m = json.load(f)
        self.assertEqual((m["columns"], m["rows"], m["tilecount"]), (4, 3, 3))
        self.assertEqual(m["tiles"][1]["tile"], -1)
        self.assertEqual(m["tiles"][5], {"tile": 1, "flip_horizontal": True, "flip_vertical": False,
                                         "flip_diagonal": True, "gid": 2 | D | H})

    def test_power_of_two(self):
        src = random_picture("in.png", 40, 24, 7)
        self.ok("--layout", "grid", "--tile", "8x8", "--columns", "3", "--spacing", "1", "in.png", "plain.png")
        self.ok("--layout", "grid", "--tile", "8x8", "--columns", "3", "--spacing", "1", "--pot", "in.png", "pot.png")
        plain, pot = Image.open("plain.png").convert("RGBA"), Image.open("pot.png").convert("RGBA")
        self.assertEqual(plain.size, (26, 44))  # 15 tiles: 3 x 9 - 1, 5 x 9 - 1
        self.assertEqual(pot.size, (32, 64))
        pp, qq = plain.load(), pot.load()
        for y in range(64):
            for x in range(32):
                self.assertEqual(qq[x, y], pp[x, y] if x < 26 and y < 44 else (0, 0, 0, 0))

    def test_formats_and_metadata(self):
        random_picture("in.png", 100, 64, 8)
        os.mkdir("meta")
        self.ok("--layout", "grid", "--tile", "16x16", "--columns", "4", "--margin", "2", "--spacing", "1",
                "--extrude", "1", "in.png", "art.png", "--json", "meta/art.json", "--list", "art.txt")
        with open("meta/art.json") as f:
            doc = json.load(f)
        frames = doc["frames"]
        self.assertEqual(len(frames), 24)  # 6 x 4 whole tiles
        self.assertEqual(frames["art__000.png"], {"frame": {"x": 3, "y": 3, "w": 16, "h": 16}, "rotated": False,
                                                  "trimmed": False,
                                                  "spriteSourceSize": {"x": 0, "y": 0, "w": 16, "h": 16},
                                                  "sourceSize": {"w": 16, "h": 16}})
        self.assertEqual(frames["art__005.png"]["frame"], {"x": 22, "y": 22, "w": 16, "h": 16})  # pitch 19
        self.assertEqual(doc["meta"]["image"], "../art.png")
        self.assertEqual(doc["meta"]["size"], {"w": 79, "h": 117})  # 4 + 4 x 18 + 3, 4 + 6 x 18 + 5
        with open("art.txt", "rb") as f:
            lines = f.read().split(b"\r\n")
        self.assertEqual(len(lines), 25)
        self.assertEqual(lines[5], b"art__005.png:22:22:16:16")
        for name, fmt in (("o.jpg", "JPEG"), ("o.jpeg", "JPEG"), ("o.bmp", "BMP"), ("o.PNG", "PNG")):
            self.ok("--quality", "90", "in.png", name)
            self.assertEqual(Image.open(name).format, fmt)
            self.assertEqual(Image.open(name).size, (320, 32))

    def test_tiled_reads_the_tileset(self):
        tiled = shutil.which("tiled")
        if not tiled:
            self.skipTest("tiled is not installed")
        random_picture("in.png", 100, 64, 9)
        os.mkdir("tsx")
        cases = [
            # options, tile size, margin, spacing, columns, tile count, image size (worked by hand)
            (["--tile", "32x32"], 32, 32, 0, 0, 10, 10, (320, 32)),
            # 24 tiles need 3 rows: 48 + 3 x 2
            (["--tile", "16x16", "--spacing", "2"], 16, 16, 2, 2, 10, 10 * 3, (180, 54)),
            (["--layout", "grid", "--tile", "16x16", "--columns", "4", "--margin", "2", "--spacing", "1",
              "--extrude", "1"], 16, 16, 3, 3, 4, 24, (79, 117)),
            (["--layout", "grid", "--tile", "20x16", "--columns", "5", "--pot"], 20, 16, 0, 0, 6, 6 * 4, (128, 64)),
        ]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        for opts, tw, th, margin, spacing, cols, count, size in cases:
            with self.subTest(opts=opts):
                self.ok(*opts, "in.png", "set.png", "--tsx", "tsx/set.tsx")
                r = subprocess.run([tiled, "--export-tileset", "json", "tsx/set.tsx", "back.json"],
                                   capture_output=True, text=True, env=env, timeout=120)
                self.assertEqual(r.returncode, 0, r.stderr)
                with open("back.json") as f:
                    back = json.load(f)
                self.assertEqual((back["tilewidth"], back["tileheight"]), (tw, th))
                self.assertEqual((back.get("margin", 0), back.get("spacing", 0)), (margin, spacing))
                self.assertEqual((back["columns"], back["tilecount"]), (cols, count))
                self.assertEqual((back["imagewidth"], back["imageheight"]), size)
                self.assertEqual(back["image"], "set.png")  # relative to back.json, beside set.png
                self.assertEqual(Image.open("set.png").size, size)

    def test_tiled_draws_the_map(self):
        """Tiled's own renderer draws the exported map; it must give back the input's tiles."""
        raster = shutil.which("tmxrasterizer")
        if not raster:
            self.skipTest("tmxrasterizer is not installed")
        n = 8
        rnd = random.Random(12)
        T = Image.Transpose

        def tile(holes):
            t = Image.new("RGBA", (n, n))
            t.putdata([(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256),
                        0 if rnd.randrange(holes) == 0 else 255) for _ in range(n * n)])
            return t

        a, b = tile(6), tile(1000)
        # Every mirror and turn of a, repeats, a fully transparent cell and one with colour
        # under alpha 0 (both become empty cells), and an unrelated tile.
        cells = [a, a.transpose(T.FLIP_LEFT_RIGHT), a.transpose(T.FLIP_TOP_BOTTOM), a.transpose(T.ROTATE_90),
                 a.transpose(T.ROTATE_180), a.transpose(T.ROTATE_270), a.transpose(T.TRANSPOSE),
                 a.transpose(T.TRANSVERSE), Image.new("RGBA", (n, n)), b,
                 Image.new("RGBA", (n, n), (200, 10, 10, 0)), a, b, b.transpose(T.ROTATE_90), a, b]
        src = Image.new("RGBA", (4 * n, 4 * n))
        for i, t in enumerate(cells):
            src.paste(t, ((i % 4) * n, (i // 4) * n))
        src.save("in.png")
        expected = [shown(p) for p in src.getdata()]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        os.mkdir("maps")
        cases = [
            # options, distinct tiles the map uses (worked by hand), TSX beside or embedded
            (["--layout", "grid", "--columns", "4"], 14, False),
            (["--layout", "grid", "--columns", "3", "--dedup"], 10, True),  # 8 of a, b, b turned
            (["--layout", "grid", "--columns", "2", "--dedup-flips", "--skip-empty", "--spacing", "2",
              "--margin", "1", "--extrude", "1"], 2, False),
            (["--layout", "grid", "--columns", "5", "--dedup-flips", "--pot"], 2, True),
            (["--tile", "8x8", "--columns", "3", "--spacing", "1"], 14, True),  # classic
        ]
        for opts, kept, with_tsx in cases:
            with self.subTest(opts=opts):
                extra = ["--tsx", "set.tsx"] if with_tsx else []
                self.ok("--tile", f"{n}x{n}", *opts, "in.png", "set.png", "--tmx", "maps/m.tmx", *extra)
                with open("maps/m.tmx") as f:
                    text = f.read()
                self.assertIn('source="../set.tsx"' if with_tsx else 'source="../set.png"', text)
                gids = [int(v) & 0x0FFFFFFF for v in
                        text.split('<data encoding="csv">')[1].split("</data>")[0].replace(",", " ").split()]
                self.assertEqual((len(gids), gids[8], gids[10]), (16, 0, 0), "transparent cells are empty")
                self.assertEqual(len({g for g in gids if g}), kept)
                r = subprocess.run([raster, "maps/m.tmx", "drawn.png"], capture_output=True, text=True,
                                   env=env, timeout=120)
                self.assertEqual(r.returncode, 0, r.stderr)
                drawn = Image.open("drawn.png").convert("RGBA")
                self.assertEqual(drawn.size, src.size)
                self.assertEqual([shown(p) for p in drawn.getdata()], expected)
        # The same cells read with an input margin and spacing (opaque pixels there, which no
        # cell holds): the map is of the cells, drawn edge to edge.
        spaced = Image.new("RGBA", (2 + 4 * (n + 1), 2 + 4 * (n + 1)), (9, 9, 9, 255))
        for i in range(16):
            spaced.paste(src.crop(((i % 4) * n, (i // 4) * n, (i % 4 + 1) * n, (i // 4 + 1) * n)),
                         (2 + (i % 4) * (n + 1), 2 + (i // 4) * (n + 1)))
        spaced.save("spaced.png")
        self.ok("--tile", f"{n}x{n}", "--in-margin", "2", "--in-spacing", "1", "--layout", "grid", "--dedup-flips",
                "spaced.png", "set.png", "--tmx", "maps/m.tmx")
        r = subprocess.run([raster, "maps/m.tmx", "drawn.png"], capture_output=True, text=True, env=env, timeout=120)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual([shown(p) for p in Image.open("drawn.png").convert("RGBA").getdata()], expected)
        # A map that cannot be written leaves the sheet and its TSX unwritten too.
        os.remove("set.png")
        code, _, _ = self.run_cli("--tile", "8x8", "in.png", "set.png", "--tsx", "set.tsx", "--tmx", "gone/m.tmx")
        self.assertEqual((code, os.path.exists("set.png")), (1, False))
        code, _, err = self.run_cli("--tile", "8x8", "in.png", "set.png", "--tmx", "m.csv")
        self.assertEqual((code, err.strip()), (2, "morvane-tileset: the map m.csv has no .tmx extension"))

    def test_progress_only_on_a_terminal(self):
        import pty
        random_picture("in.png", 64, 64, 10)
        for quiet, shown_progress in (([], True), (["--quiet"], False)):
            main, child = pty.openpty()
            r = subprocess.run([CLI, *quiet, "in.png", "o.png"], stderr=child, stdout=subprocess.DEVNULL, timeout=60)
            os.close(child)
            text = b""
            try:
                while True:
                    chunk = os.read(main, 4096)
                    if not chunk:
                        break
                    text += chunk
            except OSError:
                pass
            os.close(main)
            self.assertEqual(r.returncode, 0)
            self.assertEqual(b"writing 1 file" in text, shown_progress, text)

    def test_optimize(self):
        """--optimize: IHDR colour type and bit depth worked by hand; Pillow reads the very
        pixels of the 8-bit RGBA file written without it, which stays what it always was."""
        def grey(v, a=255):
            return (v, v, v, a)

        def series(n, translucent=False):
            return [(i % 256, i * 7 % 256, i // 256 + 1, 128 if translucent and i % 3 == 0 else 255) for i in range(n)]

        cases = [  # name, colours, colour type, bit depth, tRNS length (None: no chunk)
            ("2 colours", [(255, 0, 0, 255), (0, 0, 255, 255)], 3, 1, None),
            ("4 colours", series(4), 3, 2, None),
            ("16 colours with alpha", series(15, True) + [(0, 0, 0, 0)], 3, 4, 6),
            ("256 colours", series(256, True), 3, 8, 86),
            ("257 opaque colours", series(257), 2, 8, None),
            ("257 colours with alpha", series(257, True), 6, 8, None),
            ("black and white", [grey(0), grey(255)], 0, 1, None),
            ("16 grey levels", [grey(17 * i) for i in range(16)], 0, 4, None),
            ("256 grey levels", [grey(v) for v in range(256)], 0, 8, None),
            ("grey with a transparent key", [grey(17 * i) for i in range(1, 16)] + [(0, 0, 0, 0)], 0, 4, 2),
            ("grey with alpha", [grey(v, 255 if v % 2 else 60) for v in range(256)] + [(0, 0, 0, 0)], 4, 8, None),
            ("RGB with a transparent key", series(300) + [(0, 0, 0, 0)], 2, 8, 6),
        ]

        def header_and_trns(path):
            with open(path, "rb") as f:
                data = f.read()
            at, trns = 8, None
            while at < len(data):
                length = int.from_bytes(data[at:at + 4], "big")
                if data[at + 4:at + 8] == b"tRNS":
                    trns = length
                at += 12 + length
            return data[25], data[24], trns, len(data)

        w, h = 67, 41
        for name, colours, color_type, bits, trns in cases:
            with self.subTest(name):
                rnd = random.Random(12)
                im = Image.new("RGBA", (w, h))
                im.putdata([colours[i] if i < len(colours) else rnd.choice(colours) for i in range(w * h)])
                im.save("in.png")
                args = ["--layout", "grid", "--tile", f"{w}x{h}", "--columns", "1", "in.png"]
                self.ok(*args, "plain.png")
                self.ok("--optimize", *args, "small.png")
                plain = Image.open("plain.png").convert("RGBA")
                self.assertEqual(list(plain.getdata()), list(im.getdata()))
                self.assertEqual(list(Image.open("small.png").convert("RGBA").getdata()), list(plain.getdata()))
                self.assertEqual(header_and_trns("plain.png")[:3], (6, 8, None))
                got = header_and_trns("small.png")
                self.assertEqual(got[:3], (color_type, bits, trns))
                self.assertLess(got[3], header_and_trns("plain.png")[3])

        # Tiled's 41-colour beach sheet re-gridded: an 8-bit palette, a third smaller.
        beach = "/usr/share/doc/tiled/examples/rpg/beach_tileset.png"
        if os.path.exists(beach):
            self.ok("--layout", "grid", "--columns", "18", beach, "plain.png")
            self.ok("--optimize", "--layout", "grid", "--columns", "18", beach, "small.png")
            self.assertEqual(list(Image.open("small.png").convert("RGBA").getdata()),
                             list(Image.open("plain.png").convert("RGBA").getdata()))
            self.assertEqual(header_and_trns("small.png")[:3], (3, 8, 1))
            self.assertLess(header_and_trns("small.png")[3], header_and_trns("plain.png")[3] * 2 // 3)

        # Without --optimize the bytes are those of the writer before the option existed.
        random_picture("fixed.png", 64, 48, 11)
        self.ok("--layout", "grid", "--tile", "16x16", "--columns", "4", "fixed.png", "plain.png")
        with open("plain.png", "rb") as f:
            self.assertEqual(hashlib.sha256(f.read()).hexdigest(),
                             "3d41ec49cffa12cc5c783f1218a3fc1ae5ed6f91c841efad4b39a385cc61095a")

    def test_help_and_version(self):
        version = os.environ["MORVANE_VERSION"]
        for flag, text in (("--help", "Usage: morvane-tileset [options] INPUT OUTPUT"),
                           ("--version", "morvane-tileset %s\n" % version)):
            status, out, err = self.run_cli(flag)
            self.assertEqual((status, err), (0, ""))
            self.assertTrue(out.startswith(text), out)
        self.assertEqual(out, "morvane-tileset %s\n" % version)

    def run_as_user(self, *args):
        """The tool as an ordinary user with umask 027: as nobody when the test runs as root."""
        command = [CLI, *args]
        if os.geteuid() == 0:
            command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", *command]
        r = subprocess.run(command, capture_output=True, text=True, timeout=120,
                           preexec_fn=lambda: os.umask(0o027))
        return r.returncode, r.stderr

    def test_outputs_respect_the_file_system(self):
        if os.geteuid() == 0 and not shutil.which("setpriv"):
            self.skipTest("setpriv is not installed")
        random_picture("in.png", 64, 32, 5)
        os.mkdir("sub")
        old = b"old bytes"
        rows = [
            # name, outputs {path: old mode or None}, links {link: target}, status, message,
            # modes afterwards {path: mode}, replaced (else all kept)
            ("read-only picture refused", {"o.png": 0o444}, {}, ["o.png"], 1,
             "cannot write o.png: the file is read-only (permission denied)", {"o.png": 0o444}, False),
            ("read-only list: nothing written", {"p.png": 0o644, "p.txt": 0o444}, {}, ["p.png", "--list", "p.txt"], 1,
             "cannot write p.txt: the file is read-only (permission denied)", {"p.png": 0o644, "p.txt": 0o444}, False),
            ("private files keep their mode", {"q.png": 0o600, "q.json": 0o600}, {}, ["q.png", "--json", "q.json"], 0,
             "", {"q.png": 0o600, "q.json": 0o600}, True),
            ("new files from the umask", {}, {}, ["n.png", "--tsx", "n.tsx"], 0, "", {"n.png": 0o640, "n.tsx": 0o640},
             True),
            ("links followed and kept", {"sub/real.png": 0o604, "sub/end.txt": 0o600},
             {"l.png": "sub/real.png", "l.txt": "sub/mid.txt", "sub/mid.txt": "end.txt"}, ["l.png", "--list", "l.txt"],
             0, "", {"sub/real.png": 0o604, "sub/end.txt": 0o600}, True),
        ]
        for name, existing, links, args, status, message, modes, replaced in rows:
            with self.subTest(name):
                for path, mode in existing.items():
                    with open(path, "wb") as f:
                        f.write(old)
                    os.chmod(path, mode)
                for link, target in links.items():
                    os.symlink(target, link)
                if os.geteuid() == 0:
                    for root, dirs, files in os.walk("."):
                        for entry in [root] + [os.path.join(root, e) for e in dirs + files]:
                            os.lchown(entry, 65534, 65534)
                got, err = self.run_as_user("--quiet", "in.png", *args)
                self.assertEqual(got, status, err)
                self.assertIn(message, err)
                for path, mode in modes.items():
                    self.assertFalse(os.path.islink(path))
                    self.assertEqual(os.stat(path).st_mode & 0o7777, mode, path)
                    with open(path, "rb") as f:
                        data = f.read()
                    self.assertEqual(data != old, replaced, path)
                    if replaced and path.endswith(".png"):
                        with Image.open(path) as im:
                            self.assertEqual(im.size, (320, 32))
                for link in links:
                    self.assertTrue(os.path.islink(link), link)
                left = [f for _, _, files in os.walk(".") for f in files if ".XXXXXX" in f or len(f.split(".")) > 2]
                self.assertEqual(left, [], "no temporary file is left")


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=1)
