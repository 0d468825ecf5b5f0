#!/bin/bash
# End-to-end Save As under a window manager (openbox on Xvfb) with real input: a stroke is
# drawn on a red picture opened from the command line, Save As is chosen with Ctrl+Shift+S, "x.jpg" is typed while the
# PNG pattern is chosen, and Enter writes x.jpg as a JPEG (read back with ImageMagick).
#   e2e_saveas.sh <morvane binary>
# Needs xvfb-run, openbox, xdotool and ImageMagick (identify, convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_saveas_XXXXXX)
trap '[ -n "${E2E_KEEP:-}" ] && cp "$work"/x.jpg "$E2E_KEEP"; rm -rf "$work"' EXIT
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

convert -size 256x256 xc:'#FF0000' "$work/pic.png" || fail "cannot make the test picture"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$binary" pic.png &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
xdotool windowactivate --sync "$main" 2>/dev/null

xdotool key --clearmodifiers ctrl+g  # no grid lines over the picture
sleep 0.5
# The picture on screen: the box of the red pixels (the view centres a picture it opens).
import -window root "$work/shot.png" || fail "screenshot"
box=$(convert "$work/shot.png" -fill black +opaque '#FF0000' -format '%@' info:)
read -r bw bh ox oy < <(echo "$box" | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\1 \2 \3 \4/')
[ "${bw:-0}x${bh:-0}" = 256x256 ] || fail "the red picture shows as $box, expected 256 x 256"

# A stroke of the default black brush along document row 56 from column 40 to 160.
sy=$((oy + 56))
xdotool mousemove --sync $((ox + 40)) "$sy" mousedown 1
for x in 80 120 160; do
    xdotool mousemove --sync $((ox + x)) "$sy"
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5

# Save As: the dialog opens with the PNG pattern; the typed name keeps its .jpg.
xdotool key --clearmodifiers ctrl+shift+s
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Save Image' | head -n 1)
[ -n "$dialog" ] || fail "no Save Image dialog"
sleep 0.5
xdotool type --delay 30 "$work/x.jpg"
sleep 0.5
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
    [ -s "$work/x.jpg" ] && break
    sleep 0.2
done
sleep 0.5
[ -s "$work/x.jpg" ] || fail "no x.jpg written (folder: $(ls "$work" | tr '\n' ' '))"
[ ! -e "$work/x.jpg.png" ] || fail "x.jpg.png written"
format=$(identify -format '%m' "$work/x.jpg" 2>/dev/null)
[ "$format" = JPEG ] || fail "x.jpg is $format, not a JPEG"
# The stroke is in the file: dark pixels along its row.
dark=$(convert "$work/x.jpg" -crop "60x1+70+56" +repage -format '%[fx:minima.intensity < 0.2 ? 1 : 0]' info:)
[ "$dark" = 1 ] || fail "the stroke is not in x.jpg"
[ -n "$(xdotool search --onlyvisible --name '^x\.jpg - Morvane$' 2>/dev/null)" ] || fail "title is not x.jpg - Morvane"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
echo "PASS: Save As with x.jpg typed and the PNG pattern chosen writes x.jpg as a JPEG"
