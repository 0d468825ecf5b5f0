#!/bin/bash
# End-to-end run of the real editor under a window manager (openbox on Xvfb): each dialog,
# opened from its menu item or shortcut, closes on Escape pressed through the X server, and
# the main window stays.
#   e2e_dialogs.sh <morvane binary> [screenshot folder]
# Needs xvfb-run, openbox, xdotool, xprop, xwininfo and ImageMagick (convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
shots=${2:+$(readlink -f "$2" 2>/dev/null || echo "$2")}
work=$(mktemp -d /tmp/morvane_dialogs_XXXXXX)
# Settings and the recent list go to the run's own folder, not the user's.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$self" "$binary" ${shots:+"$shots"}
fi

fail() {
    echo "FAIL: $*" >&2
    [ -n "${shots:-}" ] && { mkdir -p "$shots"; import -window root "$shots/failure.png" 2>/dev/null; }
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
    exit 1
}

# The program's managed top-level windows that are shown (menus bypass the window manager).
program_windows() {
    local c
    for c in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xprop -id "$c" _NET_WM_PID 2>/dev/null | grep -q "= $pid\$" || continue
        xwininfo -id "$c" 2>/dev/null | grep -q 'Override Redirect State: no' || continue
        xwininfo -id "$c" 2>/dev/null | grep -q 'Map State: IsViewable' && echo $((c))
    done | sort -u
}

# Waits up to thirty seconds for a program window besides the main window; prints its id.
new_window() {
    local c
    for _ in $(seq 1 300); do
        for c in $(program_windows); do
            [ "$c" -ne $((main)) ] && { echo "$c"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds for a shown window whose name matches $1; prints its id. One search
# at a time: a search that meets a window going away fails, and is tried again.
find_window() {
    local id
    for _ in $(seq 1 $(($2 * 5))); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# True when window $1 is still shown.
shown() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# The open drop-down menus of the program (override-redirect windows).
popup_opens() {
    local c
    for _ in $(seq 1 30); do
        for c in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            xprop -id "$c" _NET_WM_PID 2>/dev/null | grep -q "= $pid\$" || continue
            xwininfo -id "$c" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
        done
        sleep 0.1
    done
    return 1
}

# Escape in dialog $2 (named $1): the dialog goes, the main window stays and is active again.
escape_closes() {
    local name=$1 dialog=$2
    sleep 0.5
    [ -n "${shots:-}" ] && { mkdir -p "$shots"; import -window root "$shots/$name.png"; }
    xdotool windowactivate --sync "$dialog" 2>/dev/null
    xdotool key Escape
    for _ in $(seq 1 150); do
        shown "$dialog" || break
        sleep 0.1
    done
    shown "$dialog" && fail "Escape did not close $name"
    shown "$main" || fail "the main window went with $name"
    kill -0 "$pid" 2>/dev/null || fail "the editor ended with $name"
    echo "Escape closed $name"
}

# Types a path into the file chooser titled $1 and confirms it.
choose_file() {
    local chooser
    chooser=$(find_window "$1" 30)
    [ -n "$chooser" ] || fail "no file chooser $1"
    sleep 0.8
    xdotool windowactivate --sync "$chooser" 2>/dev/null
    xdotool type --delay 20 "$2"
    # The chooser completes the typed name from its folder listing first.
    sleep 1
    xdotool key Return
    # A completion list shown over the name field may take the first Return.
    for _ in $(seq 1 50); do
        shown "$chooser" || return 0
        sleep 0.1
    done
    xdotool windowactivate --sync "$chooser" 2>/dev/null && xdotool key Return
}

menu_keys() {
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool key --clearmodifiers "$1"
    popup_opens || fail "$1 opened no menu"
    shift
    xdotool key --delay 150 "$@"
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
main=$(find_window '^Morvane$' 60)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1

# New Image: Ctrl+N.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+n
dialog=$(find_window '^New Image$' 30)
[ -n "$dialog" ] || fail "Ctrl+N opened no New Image dialog"
escape_closes "New Image" "$dialog"

# Resize Image (Edition menu: Up goes to its last item, Preferences, then to Replace Colour...
# and Resize Image). Its window has no title of its own: the platform shows the program's name.
menu_keys alt+e Up Up Up Return
dialog=$(new_window) || fail "the Edition menu opened no Resize dialog"
name=$(xdotool getwindowname "$dialog")
case "$name" in "" | morvane) ;; *) fail "the Edition menu opened $name, not Resize Image" ;; esac
escape_closes "Resize Image" "$dialog"

# Preferences (the Edition menu's last item).
menu_keys alt+e Up Return
dialog=$(find_window '^Preferences$' 30)
[ -n "$dialog" ] || fail "Alt+E, Up opened no Preferences window"
escape_closes "Preferences" "$dialog"

# Convert to TileSet (File menu, fourth item), after its picture is chosen.
menu_keys alt+f Down Down Down Return
choose_file '^Load Image' "$work/pic.png"
dialog=$(find_window '^Convert to TileSet$' 30)
[ -n "$dialog" ] || fail "no tile-set dialog after choosing the picture"
escape_closes "Convert to TileSet" "$dialog"

# Re-grid a Tile Set: Ctrl+T, then the sheet.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+t
choose_file '^Load a Tile Set' "$work/pic.png"
dialog=$(find_window '^Re-grid a Tile Set$' 30)
[ -n "$dialog" ] || fail "no re-grid window after choosing the sheet"
escape_closes "Re-grid a Tile Set" "$dialog"

# The main window still answers: its File menu opens.
menu_keys alt+f Escape
[ "$(program_windows | wc -l)" -eq 1 ] || fail "windows left open: $(program_windows | tr '\n' ' ')"

kill "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
wait 2>/dev/null
echo "PASS: Escape closes New Image, Resize Image, Preferences, Convert to TileSet and Re-grid"
