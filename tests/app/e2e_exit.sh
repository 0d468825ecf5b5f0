#!/bin/bash
# End-to-end run of the real editor on an X server: wait for the "Morvane" window, open
# File and choose "Exit" with the mouse, answer Yes, then check the exit code and the
# settings file written at exit.
#   e2e_exit.sh <morvane binary> [screenshot.png]
# With a screenshot path the screen is also captured once the editor runs. Needs xvfb-run,
# xdotool and (for the screenshot) ImageMagick's import.
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
shot=${2:+$(readlink -f "$2" 2>/dev/null || echo "$2")}
work=$(mktemp -d /tmp/morvane_e2e_XXXXXX)
# Settings and the recent list go to the run's own folder, not the user's.
export XDG_CONFIG_HOME="$work/config"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

if [ -z "${DISPLAY_READY:-}" ]; then
    # Run this script again inside a fresh X server.
    DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$binary" ${shot:+"$shot"}
fi

fail() {
    echo "FAIL: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

# Geometry of a window as X Y WIDTH HEIGHT.
geometry() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}'
}

"$binary" &
pid=$!

main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled Morvane"
sleep 1
read -r mx my mw mh < <(geometry "$main")
echo "main window $main at $mx,$my size ${mw}x${mh}"
[ "$mw" -ge 800 ] || fail "main window narrower than 800: $mw"

if [ -n "$shot" ]; then
    # The whole screen, cut to the main window.
    import -window root -crop "${mw}x${mh}+${mx}+${my}" +repage "$shot" || fail "screenshot"
fi

# "File" is the first title of the menu bar at the top-left of the window.
xdotool mousemove --sync $((mx + 18)) $((my + 10)) click 1
sleep 1
# The open menu is a new visible window of the program; "Exit" is its last item.
popup=""
for candidate in $(xdotool search --onlyvisible --pid "$pid" '' 2>/dev/null); do
    [ "$candidate" = "$main" ] && continue
    read -r px py pw ph < <(geometry "$candidate")
    if [ "$ph" -gt 40 ] && [ "$ph" -lt 400 ] && [ "$pw" -lt 600 ]; then popup=$candidate; fi
done
[ -n "$popup" ] || fail "the File menu did not open"
read -r px py pw ph < <(geometry "$popup")
echo "File menu $popup at $px,$py size ${pw}x${ph}"
xdotool mousemove --sync $((px + pw / 2)) $((py + ph - 12))
sleep 0.3
xdotool click 1

# The close question; Yes is its default button.
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Info$' | head -n 1)
[ -n "$question" ] || fail "no close question after Exit"
sleep 0.5
read -r qx qy qw qh < <(geometry "$question")
echo "question $question at $qx,$qy size ${qw}x${qh}"
xdotool windowfocus --sync "$question" 2>/dev/null
xdotool key --clearmodifiers Return

for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the editor did not end after Yes"
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "exit code $code"

[ -f pref.ini ] || fail "no pref.ini written"
# Keys and values in order, blank lines and the byte-order mark aside.
got=$(sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' pref.ini | grep -v '^$')
want=$'grid = 1\ngridW = 32\ngridH = 32\ngridColor = 0\nbrushdir = Quillrat\nbrushsize = 20\nbrushalpha = 255\nbrushtype = 0\nbrushtool = 0'
[ "$got" = "$want" ] || fail "pref.ini holds:"$'\n'"$got"
echo "PASS: exit code 0, pref.ini with the nine keys in order"
