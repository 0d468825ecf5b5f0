#!/bin/bash
# Tile-set conversion of a 2048 x 2048 picture of random pixels into 16 x 16 tiles in 128
# columns with spacing 2, PNG out, all in the same session:
#  - the morvane-tileset process (classic layout), against ImageMagick's crop and montage and
#    against a Pillow script doing the same crops and pastes saved at compress_level=9;
#  - the editor's dialog path (load, grab, assemble, PNG save, TileList: BM_Tileset2048_Command);
#  - the grid layout with and without --extrude 1.
# Each tool runs three times; the median wall time is reported.
#   tileset_vs_imagemagick.sh <path to morvane_bench_tileset> [<path to morvane-tileset>]
set -eu

bench=$(readlink -f "$1")
cli=$(readlink -f "${2:-$(dirname "$bench")/../tileset_cli/morvane-tileset}")
convert_tool=$(command -v /usr/bin/convert || command -v convert)
montage_tool=$(command -v /usr/bin/montage || command -v montage)
python=$(command -v /usr/bin/python3 || command -v python3)
work=$(mktemp -d /tmp/morvane_tileset_vs_im_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The dialog's path; the benchmark writes tileset_in_2048.png (random bytes in all four channels).
"$bench" --benchmark_filter='BM_Tileset2048_Command' --benchmark_format=json > dialog.json
[ -f tileset_in_2048.png ] || { echo "the benchmark wrote no input picture" >&2; exit 1; }

cat > pillow_tiles.py <<'PY'
import sys
from PIL import Image
src = Image.open(sys.argv[1]).convert("RGBA")
tw = th = 16
cols, space = 128, 2
across, down = src.width // tw, src.height // th
count = across * down
rows = -(-count // cols)
out = Image.new("RGBA", (cols * (tw + space), rows * (th + space)), (0, 0, 0, 0))
for i in range(count):
    tile = src.crop(((i % across) * tw, (i // across) * th, (i % across) * tw + tw, (i // across) * th + th))
    c, r = i % cols, i // cols
    out.paste(tile, ((c + 1) * space + c * tw, (r + 1) * space + r * th))
out.save(sys.argv[2], compress_level=9)
PY

# Median of three runs of a command: "wall_ms cpu_ms" (CPU = user + system of all its
# processes and threads; on a shared machine the wall time depends on the other load).
median_ms() {
    local walls=() cpus=()
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %U %S" -o run_time.txt "$@" > /dev/null
        read -r e u s < run_time.txt
        walls+=("$(python3 -c "print(round($e * 1000))")")
        cpus+=("$(python3 -c "print(round(($u + $s) * 1000))")")
    done
    echo "$(printf '%s\n' "${walls[@]}" | sort -n | sed -n 2p) $(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 2p)"
}
run_im() {
    "$convert_tool" tileset_in_2048.png -crop 16x16 +repage miff:- |
        "$montage_tool" - -tile 128x -geometry 16x16+2+2 -background none im_out.png
}
export -f run_im
export convert_tool montage_tool

common=(--quiet --tile 16x16 --columns 128 --spacing 2 tileset_in_2048.png)
ours_ms=$(median_ms "$cli" "${common[@]}" ours.png)
im_ms=$(median_ms bash -c run_im)
pil_ms=$(median_ms "$python" pillow_tiles.py tileset_in_2048.png pil_out.png)
grid_ms=$(median_ms "$cli" --layout grid "${common[@]}" grid.png)
extrude_ms=$(median_ms "$cli" --layout grid --extrude 1 "${common[@]}" extrude.png)

"$python" - $ours_ms $im_ms $pil_ms $grid_ms $extrude_ms "$(cut -d' ' -f1-3 /proc/loadavg)" <<'PY'
import json, sys
v = [float(x) for x in sys.argv[1:11]]
(ours, ours_c), (im, im_c), (pil, pil_c), (grid, grid_c), (ext, ext_c) = zip(v[0::2], v[1::2])
dialog = json.load(open("dialog.json"))["benchmarks"][0]["real_time"]
print(f"2048x2048 random, 16x16 tiles, 128 columns, spacing 2, PNG; median of 3; load {sys.argv[11]}")
print("                                      wall ms  CPU ms   wall ratio  CPU ratio")
print(f"  morvane-tileset (classic):          {ours:7.0f} {ours_c:7.0f}")
print(f"  ImageMagick convert -crop | montage:{im:7.0f} {im_c:7.0f}   {im / ours:5.1f}x     {im_c / ours_c:5.1f}x  (target wall >= 6x)")
print(f"  Pillow crops/pastes, level 9:       {pil:7.0f} {pil_c:7.0f}   {pil / ours:5.1f}x     {pil_c / ours_c:5.1f}x  (target wall >= 2x)")
print(f"  editor dialog path (in-process):    {dialog:7.0f}       -   {dialog / ours:5.2f}x             (target >= 1x)")
print(f"  grid:                               {grid:7.0f} {grid_c:7.0f}")
print(f"  grid --extrude 1:                   {ext:7.0f} {ext_c:7.0f}   {100 * (ext / grid - 1):+5.1f} %   {100 * (ext_c / grid_c - 1):+5.1f} %  (target <= +15 %)")
PY
