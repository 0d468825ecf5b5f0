#!/bin/bash
# End-to-end tool keys under a window manager (openbox on Xvfb) with real input: on a red
# picture opened from the command line, E then a stroke erases, B then a stroke paints black
# (the brush key ends the eraser), Ctrl+S saves; ImageMagick reads the saved pixels.
#   e2e_toolkeys.sh <morvane binary>
# Needs xvfb-run, openbox, xdotool, xwininfo and ImageMagick (convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_keys_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$self" "$binary"
fi

export XDG_CONFIG_HOME="$work/config"
pid=""
wm=""
fail() {
    echo "FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    exit 1
}

convert -size 200x150 xc:'#FF0000' "$work/pic.png" || fail "cannot make the test picture"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$binary" pic.png &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled ... Morvane"
sleep 1
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+g  # no grid lines over the picture
sleep 0.5
read -r mx my mw < <(xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width:/{w=$NF} END{print x, y, w}')

# The picture's top-left corner on screen: the first red pixel of a row through it.
import -window root "$work/shot.png" || fail "screenshot"
row=$((my + 50 + 25 + 60))  # the canvas shows at (30, 25) of the scroll area at first
rx=$(convert "$work/shot.png" -crop "${mw}x1+$mx+$row" +repage txt:- | awk 'NR > 1' | grep -n '#FF0000' | head -n 1 | cut -d: -f1)
[ -n "$rx" ] || fail "no red picture on row $row"
ox=$((mx + rx - 1))
oy=$((row - 60))
echo "picture at $ox,$oy"

# A stroke along document row $1 from column 40 to 160.
stroke() {
    xdotool mousemove --sync $((ox + 40)) $((oy + $1)) mousedown 1
    for x in 60 80 100 120 140 160; do
        xdotool mousemove --sync $((ox + x)) $((oy + $1))
        sleep 0.05
    done
    xdotool mouseup 1
    sleep 0.3
}
xdotool key e
sleep 0.3
stroke 40
xdotool key b
sleep 0.3
stroke 100
xdotool key --clearmodifiers ctrl+s
sleep 1

# Alpha and red of a saved pixel, as "alpha,red" in 0..255.
pixel() { convert "$work/pic.png" -format "%[fx:round(255*p{$1,$2}.a)],%[fx:round(255*p{$1,$2}.r)]" info:; }
[ "$(pixel 100 40)" = "0,255" ] || fail "E then a stroke: pixel (100, 40) is $(pixel 100 40), expected erased"
[ "$(pixel 100 100)" = "255,0" ] || fail "E, B then a stroke: pixel (100, 100) is $(pixel 100 100), expected black"
[ "$(pixel 100 70)" = "255,255" ] || fail "pixel (100, 70) between the strokes is $(pixel 100 70)"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
echo "PASS: E erases, B after E paints with the brush, Ctrl+S saves the pixels"
