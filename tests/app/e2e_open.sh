#!/bin/bash
# End-to-end run of the real editor with a file on its command line, on an X server:
# a picture is opened at start (it joins the Open Recent list in the XDG configuration
# folder), an unreadable file gives the load message.
#   e2e_open.sh <morvane binary>
# Needs xvfb-run, xdotool and ImageMagick's convert.
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_open_XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$binary"
fi

export XDG_CONFIG_HOME="$work/config"
pid=""
fail() {
    echo "FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    exit 1
}
stop() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
}

convert -size 40x30 xc:'#3080C0' "$work/tiles.png" || fail "cannot make the test picture"
printf 'not a picture' > "$work/notes.png"

# A picture named by a relative path: opened, and listed by its absolute path.
"$binary" tiles.png &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
[ -z "$(xdotool search --onlyvisible --name '^Canvas$' 2>/dev/null)" ] || fail "load message for a good picture"
[ "$(cat "$XDG_CONFIG_HOME/morvane/recent" 2>/dev/null)" = "$work/tiles.png" ] ||
    fail "tiles.png was not opened (recent list: $(cat "$XDG_CONFIG_HOME/morvane/recent" 2>/dev/null))"
stop

# An unreadable file: the message names it, the editor goes on with the blank document.
"$binary" notes.png &
pid=$!
message=$(timeout 20 xdotool search --sync --onlyvisible --name '^Canvas$' | head -n 1)
[ -n "$message" ] || fail "no load message for an unreadable file"
xdotool windowfocus --sync "$message" 2>/dev/null
xdotool key --clearmodifiers Return
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the editor ended after the message"
[ -n "$(xdotool search --onlyvisible --name 'Morvane$' 2>/dev/null)" ] || fail "no main window after the message"
[ "$(cat "$XDG_CONFIG_HOME/morvane/recent")" = "$work/tiles.png" ] || fail "the unreadable file joined the list"
stop
echo "PASS: picture opened from the command line, unreadable file reported"
