#!/bin/bash
# End-to-end clipboard with another program under a window manager (openbox on Xvfb): a
# picture with half-transparent pixels opened from the command line, Ctrl+A then Ctrl+C, is
# read back by xclip as image/png with its alpha; a PNG that xclip offers is pasted with
# Ctrl+V, put down (Enter, or Deselect), saved with Ctrl+S, and the saved pixels are read by
# ImageMagick.
#   e2e_clipboard.sh <morvane binary>
# Needs xvfb-run, openbox, xdotool, xclip and ImageMagick (convert, compare).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_clip_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$self" "$binary"
fi

export XDG_CONFIG_HOME="$work/config"
pid=""
wm=""
offer=""
fail() {
    echo "FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$offer" ] && kill "$offer" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    exit 1
}

# 40 x 30 opaque red with a 20 x 20 block of half-transparent blue and a fully transparent corner.
convert -size 40x30 xc:'rgba(255,0,0,1)' \( -size 20x20 xc:'rgba(0,0,255,0.5)' \) -geometry +10+5 -compose copy \
    -composite \( -size 4x4 xc:'rgba(0,0,0,0)' \) -geometry +0+0 -compose copy -composite -depth 8 \
    -define png:color-type=6 "$work/pic.png" ||
    fail "cannot make the test picture"
cp "$work/pic.png" "$work/original.png"
# What another program offers: 12 x 8, opaque green on the left half, transparent on the right.
convert -size 12x8 xc:'rgba(0,0,0,0)' \( -size 6x8 xc:'rgba(0,255,0,1)' \) -geometry +0+0 -compose copy \
    -composite -depth 8 -define png:color-type=6 "$work/offer.png" || fail "cannot make the offered picture"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$binary" pic.png &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled ... Morvane"
sleep 1
xdotool windowactivate --sync "$main" 2>/dev/null
sleep 0.5

# Copy: the whole picture through the X clipboard, alpha and colour of every pixel.
xdotool key --clearmodifiers ctrl+a
sleep 0.3
xdotool key --clearmodifiers ctrl+c
sleep 0.5
timeout 10 xclip -selection clipboard -t TARGETS -o | grep -qx 'image/png' || fail "image/png is not offered"
timeout 10 xclip -selection clipboard -t image/png -o >"$work/copied.png" || fail "xclip cannot read image/png"
[ "$(identify -format '%wx%h' "$work/copied.png")" = 40x30 ] || fail "copied picture is $(identify -format '%wx%h' "$work/copied.png")"
differ=$(compare -metric AE "$work/original.png" "$work/copied.png" null: 2>&1)
[ "$differ" = 0 ] || fail "the copied picture differs from the opened one in $differ pixels"
alpha=$(convert "$work/copied.png" -format '%[fx:round(255*p{15,10}.a)]' info:)
[ "$alpha" = 128 ] || fail "copied alpha at (15, 10) is $alpha, expected 128"

# Paste: another program's PNG, put down at the top-left corner, saved.
xdotool key --clearmodifiers ctrl+shift+a
sleep 0.3
xclip -selection clipboard -t image/png -i "$work/offer.png" &
offer=$!
sleep 0.5
xdotool key --clearmodifiers ctrl+v
sleep 0.5
xdotool key --clearmodifiers Return
sleep 0.3
xdotool key --clearmodifiers ctrl+shift+a
sleep 0.3
xdotool key --clearmodifiers ctrl+s
sleep 1

# Alpha, red, green and blue of a saved pixel in 0..255.
pixel() { convert "$work/pic.png" -format "%[fx:round(255*p{$1,$2}.a)],%[fx:round(255*p{$1,$2}.r)],%[fx:round(255*p{$1,$2}.g)],%[fx:round(255*p{$1,$2}.b)]" info:; }
[ "$(pixel 5 5)" = "255,0,255,0" ] || fail "pasted green at (5, 5) saved as $(pixel 5 5)"
[ "$(pixel 0 0)" = "255,0,255,0" ] || fail "pasted green over the transparent corner saved as $(pixel 0 0)"
[ "$(pixel 8 5)" = "255,255,0,0" ] || fail "the paste's transparent half changed (8, 5) to $(pixel 8 5)"
[ "$(pixel 5 9)" = "255,255,0,0" ] || fail "below the paste (5, 9) saved as $(pixel 5 9)"
[ "$(pixel 20 15 | cut -d, -f1)" = 128 ] || fail "half-transparent (20, 15) saved as $(pixel 20 15)"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
kill "$offer" 2>/dev/null
kill "$wm" 2>/dev/null
echo "PASS: Ctrl+C offers image/png with alpha to xclip; Ctrl+V takes xclip's PNG; Ctrl+S saves it"
