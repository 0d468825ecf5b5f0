#!/bin/bash
# End-to-end run of the real editor under a window manager (openbox on Xvfb): Shift+P opens
# the Tile Preview window, which stays in front of the main window when the main window is
# clicked and painted on, blocks nothing, and closes with Escape and with Shift+P.
#   e2e_preview.sh <morvane binary> [screenshot folder]
# Needs xvfb-run, openbox, xdotool, xprop and ImageMagick (convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
shots=${2:+$(readlink -f "$2" 2>/dev/null || echo "$2")}
work=$(mktemp -d /tmp/morvane_preview_XXXXXX)
# Settings and the recent list go to the run's own folder, not the user's.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$self" "$binary" ${shots:+"$shots"}
fi

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DEBUG_WINDOWS:-}" ]; then
        for c in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            t=$(xprop -id "$c" _NET_WM_WINDOW_TYPE _NET_WM_PID 2>/dev/null | tr '\n' ' ')
            case "$t" in *"not found. _NET_WM_PID:  not found."*) ;; *) echo "$c $t '$(xdotool getwindowname "$c")' $(geometry "$c")" >&2 ;; esac
        done
    fi
    [ -n "${shots:-}" ] && import -window root "$shots/failure.png" 2>/dev/null
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    exit 1
}

shot() {
    [ -n "${shots:-}" ] && { mkdir -p "$shots"; import -window root "$shots/$1.png"; }
}

# Where a window's own area lies on the screen, as X Y WIDTH HEIGHT (without the frame that
# the window manager puts around it).
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}

# Position of window $1 in the window manager's stacking order (bottom first), -1 when absent.
stack_index() {
    local list i=0 id
    list=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    for id in $list; do
        [ $((id)) -eq "$1" ] && { echo "$i"; return; }
        i=$((i + 1))
    done
    echo -1
}

active() {
    xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //; s/,.*//'
}

# The open drop-down menus of the program: its visible windows that bypass the window
# manager (override-redirect), as pop-up menus do.
popups() {
    local c n=0
    for c in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xprop -id "$c" _NET_WM_PID 2>/dev/null | grep -q "= $pid\$" || continue
        xwininfo -id "$c" 2>/dev/null | grep -q 'Override Redirect State: yes' && n=$((n + 1))
    done
    echo "$n"
}

# Waits up to three seconds for a drop-down menu of the program to open.
popup_opens() {
    for _ in $(seq 1 30); do
        [ "$(popups)" -ge 1 ] && return 0
        sleep 0.1
    done
    return 1
}

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

"$binary" &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
read -r mx my mw mh < <(geometry "$main")
echo "main window $main at $mx,$my size ${mw}x${mh}"
# An empty spot of the main window's client area: under the tool panel, left of the canvas.
spot_x=$((mx + 25)) spot_y=$((my + mh - 60))

gone() {
    for _ in $(seq 1 30); do
        xdotool search --onlyvisible --name '^Tile Preview$' >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

for closing in Escape shift+p; do
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key --clearmodifiers shift+p
    preview=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tile Preview$' | head -n 1)
    [ -n "$preview" ] || fail "Shift+P opened no Tile Preview window"
    sleep 0.5
    # A click and a drag on the main window: it takes them, the preview stays in front.
    xdotool mousemove --sync "$spot_x" "$spot_y" click 1
    sleep 0.8
    shot "preview_after_click_$closing"
    [ $(($(active))) -eq "$main" ] || fail "clicking the main window beside the preview did not activate it"
    a=$(stack_index "$main") b=$(stack_index "$preview")
    echo "stacking: main $a, Tile Preview $b"
    [ "$b" -gt "$a" ] || fail "the Tile Preview dropped behind the main window"
    xdotool key --clearmodifiers alt+v
    popup_opens || fail "the main window's menu did not open beside the preview"
    xdotool key Escape
    sleep 0.3
    [ "$(stack_index "$preview")" -gt "$(stack_index "$main")" ] || fail "the preview dropped behind after a menu"
    if [ "$closing" = Escape ]; then
        xdotool windowactivate --sync "$preview" 2>/dev/null
        sleep 0.3
        xdotool key Escape
    else
        xdotool windowactivate --sync "$main" 2>/dev/null
        xdotool key --clearmodifiers shift+p
    fi
    gone || fail "$closing did not close the Tile Preview"
done

kill "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
wait 2>/dev/null
echo "PASS: the Tile Preview stays in front of the main window without blocking it; Escape and Shift+P close it"
