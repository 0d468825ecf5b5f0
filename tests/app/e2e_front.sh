#!/bin/bash
# End-to-end run of the real editor under a window manager (openbox on Xvfb): the
# Preferences window and the tile-set dialog stay in front of the main window when the main
# window is clicked; the main window stays usable beside Preferences and takes no input
# while the tile-set dialog is open.
#   e2e_front.sh <morvane binary> [screenshot folder]
# Needs xvfb-run, openbox, xdotool, xprop and ImageMagick (convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
shots=${2:+$(readlink -f "$2" 2>/dev/null || echo "$2")}
work=$(mktemp -d /tmp/morvane_front_XXXXXX)
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

convert -size 96x64 xc:'#3080c0' "$work/pic.png" || fail "no test picture"

"$binary" &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
read -r mx my mw mh < <(geometry "$main")
echo "main window $main at $mx,$my size ${mw}x${mh}"
# An empty spot of the main window's client area: under the tool panel, left of the canvas.
spot_x=$((mx + 25)) spot_y=$((my + mh - 60))

# 1. Preferences (Alt+E, then Up to the menu's last item): the main window stays usable, the
# window stays in front.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+e
popup_opens || fail "Alt+E opened no menu"
xdotool key --delay 150 Up Return
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Preferences$' | head -n 1)
[ -n "$dialog" ] || fail "Alt+E, Up opened no Preferences window"
sleep 0.5
xdotool mousemove --sync "$spot_x" "$spot_y" click 1
sleep 1
shot preferences_after_click
[ $(($(active))) -eq "$main" ] || fail "clicking the main window beside Preferences did not activate it"
a=$(stack_index "$main") b=$(stack_index "$dialog")
echo "stacking: main $a, Preferences $b"
[ "$b" -gt "$a" ] || fail "Preferences dropped behind the main window"
# Still usable: Alt+V opens the View menu of the main window.
xdotool key --clearmodifiers alt+v
popup_opens || fail "the main window's menu did not open beside Preferences"
xdotool key Escape
sleep 0.3
xdotool windowactivate --sync "$dialog" 2>/dev/null
xdotool key --clearmodifiers alt+F4
for _ in $(seq 1 30); do
    xdotool search --onlyvisible --name '^Preferences$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Preferences$' >/dev/null 2>&1 && fail "Preferences did not close"
dialog=""

# 2. The tile-set dialog (File, third item): it blocks the main window.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers alt+f
popup_opens || fail "Alt+F opened no menu"
xdotool key --delay 100 Down Down Down Return
chooser=$(timeout 10 xdotool search --sync --onlyvisible --name '^Load Image' | head -n 1)
[ -n "$chooser" ] || fail "no file chooser for the tile-set command"
sleep 0.8
xdotool windowactivate --sync "$chooser" 2>/dev/null
xdotool type --delay 20 "$work/pic.png"
# The chooser completes the typed name from its folder listing first, and a completion list
# shown over the name field may take the first Return.
sleep 1
xdotool key Return
dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '^Convert to TileSet$' | head -n 1)
if [ -z "$dialog" ]; then
    xdotool windowactivate --sync "$chooser" 2>/dev/null && xdotool key Return
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Convert to TileSet$' | head -n 1)
fi
[ -n "$dialog" ] || fail "no tile-set dialog after choosing the picture"
sleep 0.5
read -r dx dy dw dh < <(geometry "$dialog")
echo "tile-set dialog $dialog at $dx,$dy size ${dw}x${dh}"
xdotool mousemove --sync "$spot_x" "$spot_y" click 1
sleep 1
shot tileset_after_click
a=$(stack_index "$main") b=$(stack_index "$dialog")
echo "stacking: main $a, tile-set dialog $b"
[ "$b" -gt "$a" ] || fail "the tile-set dialog dropped behind the main window"
# Blocked: clicking the File title opens nothing.
xdotool mousemove --sync $((mx + 18)) $((my + 10)) click 1
sleep 0.8
[ "$(popups)" -eq 0 ] || fail "the main window's menu opened while the tile-set dialog runs"
b=$(stack_index "$dialog")
[ "$b" -gt "$(stack_index "$main")" ] || fail "the tile-set dialog dropped behind after a menu click"
# Cancel (230, 270 in the dialog, 60 x 20) closes it and gives the main window back.
xdotool mousemove --sync $((dx + 260)) $((dy + 280)) click 1
for _ in $(seq 1 30); do
    xdotool search --onlyvisible --name '^Convert to TileSet$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Convert to TileSet$' >/dev/null 2>&1 && fail "Cancel did not close the dialog"
dialog=""
xdotool mousemove --sync $((mx + 18)) $((my + 10)) click 1
popup_opens || fail "the main window takes no clicks after the tile-set dialog closed"
xdotool key Escape

kill "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
wait 2>/dev/null
echo "PASS: Preferences and the tile-set dialog stay in front; only the tile-set dialog blocks"
