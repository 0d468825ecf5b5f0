#!/bin/bash
# End-to-end painting on an X server with real input: hide the grid (Ctrl+G), choose
# View > Zoom > Zoom 400% with the keyboard in the menus, drag a stroke of the default
# 20-pixel black brush across the middle of the view, and check on the screen that the
# stroke is about 4 x 19 pixels thick (the tip is in document pixels, shown at 400 %).
#   e2e_paint.sh <morvane binary>
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_XXXXXX)
# Settings and the recent list go to the run's own folder, not the user's.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$binary"
fi

fail() {
    echo "FAIL: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

geometry() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}'
}

# Length of the run of dark pixels in screen column x that contains row y.
dark_run() {
    import -window root "$work/shot.png" || fail "screenshot"
    [ -n "${E2E_KEEP_SHOT:-}" ] && cp "$work/shot.png" "$E2E_KEEP_SHOT"
    convert "$work/shot.png" -crop "1x400+$1+$(($2 - 200))" +repage -colorspace gray txt:- |
        awk -v mid=200 -F'[,: ]+' 'NR > 1 { v[$2] = ($0 ~ /gray\(0\)|#000000/) } END {
            if (!v[mid]) { print 0; exit }
            a = mid; while (a > 0 && v[a - 1]) a--
            b = mid; while (b < 399 && v[b + 1]) b++
            print b - a + 1 }'
}

"$binary" &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
read -r mx my mw mh < <(geometry "$main")
echo "main window $main at $mx,$my size ${mw}x${mh}"

# The middle of the scroll area (60, 50, width - 120, height - 100 in the window).
cx=$((mx + 60 + (mw - 120) / 2))
cy=$((my + 50 + (mh - 100) / 2))

xdotool key --clearmodifiers ctrl+g
sleep 0.3
# "View" is the third title of the menu bar; in its menu Zoom is the fifth item (after Grid,
# Snap to Grid, Zoom + and Zoom -) and Zoom 400% the fifth item of Zoom's (after 3200, 1600,
# 800 and 500 %).
xdotool mousemove --sync $((mx + 101)) $((my + 8)) click 1
sleep 0.5
xdotool key Down Down Down Down Down Right
sleep 0.3
xdotool key Down Down Down Down Return
sleep 0.8

# A horizontal stroke 240 screen pixels long (60 document pixels at 400 %), 60 pixels below
# the first dab.
y=$((cy + 60))
xdotool mousemove --sync $((cx - 120)) "$y" mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove --sync $((cx - 120 + step * 60)) "$y"
    sleep 0.05
done
xdotool mouseup 1
sleep 0.8

run=$(dark_run "$cx" "$y")
echo "stroke thickness at the middle: $run screen pixels"
# A 19-pixel circle tip at 400 % is 76 screen pixels thick; at 100 % it would be 19.
[ "$run" -ge 68 ] && [ "$run" -le 84 ] || fail "stroke $run pixels thick, expected about 76"
# The stroke is joined: no gap along it.
for dx in -100 -50 0 50 100; do
    r=$(dark_run $((cx + dx)) "$y")
    [ "$r" -ge 60 ] || fail "gap in the stroke at $dx: $r"
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "PASS: stroke painted at 400 % in document pixels, joined"
