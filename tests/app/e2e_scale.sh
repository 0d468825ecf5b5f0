#!/bin/bash
# End-to-end run of the real editor at display scales 1, 1.5 and 2 (QT_SCALE_FACTOR) on a
# 1600 x 1200 screen under openbox: the main window with its frame lies on the screen, so
# its status bar at the bottom is visible.
#   e2e_scale.sh <morvane binary> [screenshot folder]
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
shots=${2:+$(readlink -f "$2" 2>/dev/null || echo "$2")}
work=$(mktemp -d /tmp/morvane_scale_XXXXXX)
# Settings and the recent list go to the run's own folder, not the user's.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1600x1200x24" "$self" "$binary" ${shots:+"$shots"}
fi

fail() {
    echo "FAIL: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    exit 1
}

# Where a window's own area lies on the screen, as X Y WIDTH HEIGHT (without the frame that
# the window manager puts around it).
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

for scale in 1 1.5 2; do
    QT_SCALE_FACTOR=$scale "$binary" &
    pid=$!
    main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' | head -n 1)
    [ -n "$main" ] || fail "scale $scale: no window titled Morvane"
    sleep 1.5
    read -r x y w h < <(geometry "$main")
    # Frame extents: left, right, top, bottom.
    read -r fl fr ft fb < <(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo "scale $scale: window at $x,$y size ${w}x${h}, frame $fl $fr $ft $fb"
    [ -n "$fb" ] || fail "scale $scale: the window manager gave no frame extents"
    [ $((x - fl)) -ge 0 ] && [ $((y - ft)) -ge 0 ] || fail "scale $scale: frame starts off the screen"
    [ $((x + w + fr)) -le 1600 ] || fail "scale $scale: frame reaches past the right edge"
    [ $((y + h + fb)) -le 1200 ] || fail "scale $scale: frame reaches past the bottom (status bar hidden)"
    # At scale 1 the window keeps its 800-pixel client width.
    [ "$scale" != 1 ] || [ "$w" -eq 800 ] || fail "scale 1: width $w"
    if [ -n "$shots" ]; then
        mkdir -p "$shots"
        import -window root "$shots/scale_$scale.png"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null
    pid=""
done
kill "$wm" 2>/dev/null
echo "PASS: the main window lies on the screen at scales 1, 1.5 and 2"
