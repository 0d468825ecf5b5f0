#!/bin/bash
# End-to-end tool keys under a window manager (openbox on Xvfb) with real input: on a red
# picture opened from the command line, E then a stroke erases, B then a stroke paints black
# (the brush key ends the eraser), Ctrl+S saves; ImageMagick reads the saved pixels.
#   e2e_toolkeys.sh <morvane binary>
# Needs xvfb-run, openbox, xdotool and ImageMagick (convert, import).
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

# The picture on screen: the box of the red pixels (the view centres a picture it opens).
import -window root "$work/shot.png" || fail "screenshot"
box=$(convert "$work/shot.png" -fill black +opaque '#FF0000' -format '%@' info:)
read -r bw bh ox oy < <(echo "$box" | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/')
[ "${bw:-0}x${bh:-0}" = 200x150 ] || fail "the red picture shows as $box, expected 200 x 150"
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
[ "$(pixel 100 40 | cut -d, -f1)" = 0 ] || fail "E then a stroke: pixel (100, 40) is $(pixel 100 40), expected erased"
[ "$(pixel 100 100)" = "255,0" ] || fail "E, B then a stroke: pixel (100, 100) is $(pixel 100 100), expected black"
[ "$(pixel 100 70)" = "255,255" ] || fail "pixel (100, 70) between the strokes is $(pixel 100 70)"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
echo "PASS: E erases, B after E paints with the brush, Ctrl+S saves the pixels"
