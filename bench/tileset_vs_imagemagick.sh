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

# Median of three runs of a command, in milliseconds.
median_ms() {
    local times=()
    for _ in 1 2 3; do
        local start end
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 2p
}
run_im() {
    "$convert_tool" tileset_in_2048.png -crop 16x16 +repage miff:- |
        "$montage_tool" - -tile 128x -geometry 16x16+2+2 -background none im_out.png
}

common=(--quiet --tile 16x16 --columns 128 --spacing 2 tileset_in_2048.png)
ours_ms=$(median_ms "$cli" "${common[@]}" ours.png)
im_ms=$(median_ms run_im)
pil_ms=$(median_ms "$python" pillow_tiles.py tileset_in_2048.png pil_out.png)
grid_ms=$(median_ms "$cli" --layout grid "${common[@]}" grid.png)
extrude_ms=$(median_ms "$cli" --layout grid --extrude 1 "${common[@]}" extrude.png)

"$python" - "$ours_ms" "$im_ms" "$pil_ms" "$grid_ms" "$extrude_ms" <<'PY'
import json, sys
ours, im, pil, grid, extrude = (float(v) for v in sys.argv[1:])
dialog = json.load(open("dialog.json"))["benchmarks"][0]["real_time"]
print("2048x2048 random, 16x16 tiles, 128 columns, spacing 2, PNG (median of 3, wall):")
print(f"  morvane-tileset (classic):           {ours:7.0f} ms")
print(f"  ImageMagick convert -crop | montage: {im:7.0f} ms   {im / ours:4.1f}x ours (target >= 6)")
print(f"  Pillow crops/pastes, level 9:        {pil:7.0f} ms   {pil / ours:4.1f}x ours (target >= 2)")
print(f"  editor dialog path (in-process):     {dialog:7.0f} ms   {dialog / ours:4.2f}x ours (target >= 1)")
print(f"  grid:                                {grid:7.0f} ms")
print(f"  grid --extrude 1:                    {extrude:7.0f} ms   {100 * (extrude / grid - 1):+5.1f} % (target <= +15 %)")
PY
