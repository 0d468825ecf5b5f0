#!/bin/bash
# Tile-set conversion of a 2048 x 2048 picture of random pixels into 16 x 16 tiles in 128
# columns with spacing 2: our whole command (load, grab, assemble, PNG save, TileList) against
# ImageMagick's crop and montage of the same file, in the same session.
#   tileset_vs_imagemagick.sh <path to morvane_bench_tileset>
set -eu

bench=$(readlink -f "$1")
convert_tool=$(command -v /usr/bin/convert || command -v convert)
montage_tool=$(command -v /usr/bin/montage || command -v montage)
work=$(mktemp -d /tmp/morvane_tileset_vs_im_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Ours; the benchmark writes tileset_in_2048.png (random bytes in all four channels) first.
"$bench" --benchmark_filter='BM_Tileset2048_Command' --benchmark_format=json > ours.json
read -r ours_ms ours_cpu_ms < <(python3 -c '
import json
b = json.load(open("ours.json"))["benchmarks"][0]
print(b["real_time"], b["cpu_time"])')
[ -f tileset_in_2048.png ] || { echo "the benchmark wrote no input picture" >&2; exit 1; }

# ImageMagick on the same picture.
start=$(date +%s%N)
"$convert_tool" tileset_in_2048.png -crop 16x16 +repage miff:- |
    "$montage_tool" - -tile 128x -geometry 16x16+2+2 -background none im_out.png
end=$(date +%s%N)
im_ms=$(( (end - start) / 1000000 ))

python3 - "$ours_ms" "$ours_cpu_ms" "$im_ms" <<'PY'
import sys
ours, ours_cpu, im = (float(v) for v in sys.argv[1:])
print(f"Morvane tile-set command, 2048x2048 random, 16x16 tiles, 128 columns, spacing 2:")
print(f"  ours: {ours:.0f} ms wall ({ours_cpu:.0f} ms CPU) per run")
print(f"  ImageMagick convert -crop | montage: {im:.0f} ms wall")
print(f"  ImageMagick / ours: {im / ours:.1f}x")
PY
