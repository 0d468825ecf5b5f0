#!/bin/bash
# End-to-end wheel and key habits under a window manager (openbox on Xvfb) with real input:
# a picture opened from the command line is zoomed in by Ctrl+wheel around the pointer,
# scrolled by the wheel, painted on, and Ctrl+Z, Ctrl+Y and Ctrl+S undo, redo and save the
# stroke; the saved file's pixels are read back with ImageMagick.
#   e2e_navigate.sh <morvane binary>
# Needs xvfb-run, openbox, xdotool, xwininfo and ImageMagick (convert, import).
set -u

self=$(readlink -f "$0")
binary=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_e2e_nav_XXXXXX)
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
    [ -n "${E2E_KEEP_SHOT:-}" ] && cp "$work/shot.png" "$E2E_KEEP_SHOT" 2>/dev/null
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    exit 1
}

shot() { import -window root "$work/shot.png" || fail "screenshot"; }

# The colour names of screen row $1 from column $2, $3 pixels long (one per line: B, G, R, Y,
# or . for anything else), read from the last screenshot.
row_colours() {
    convert "$work/shot.png" -crop "${3}x1+$2+$1" +repage txt:- | awk -F'[#() ]+' 'NR > 1 { print $0 }' |
        sed -E 's/.*#0000FF.*/B/; s/.*#00FF00.*/G/; s/.*#FF0000.*/R/; s/.*#FFFF00.*/Y/; /^[BGRY]$/!s/.*/./'
}
column_colours() {
    convert "$work/shot.png" -crop "1x${3}+$2+$1" +repage txt:- | awk 'NR > 1' |
        sed -E 's/.*#0000FF.*/B/; s/.*#00FF00.*/G/; s/.*#FF0000.*/R/; s/.*#FFFF00.*/Y/; /^[BGRY]$/!s/.*/./'
}
# Index of the first line equal to $1 on stdin (from 0), -1 when none.
first() { awk -v c="$1" '$0 == c { print NR - 1; found = 1; exit } END { if (!found) print -1 }'; }
# Length of the run of $1 that starts at the first one.
run_of() { awk -v c="$1" '$0 == c { n++; on = 1; next } on { exit } END { print n + 0 }'; }
near() { [ $(( $1 - $2 )) -ge -"$3" ] && [ $(( $1 - $2 )) -le "$3" ]; }

# 400 x 300: the top half blue left of column 200, green from 200 to 209, red from 210;
# the bottom half (rows 150 on) yellow.
convert -size 400x300 xc:'#FFFF00' -fill '#0000FF' -draw 'rectangle 0,0 199,149' \
    -fill '#00FF00' -draw 'rectangle 200,0 209,149' -fill '#FF0000' -draw 'rectangle 210,0 399,149' \
    "$work/pic.png" || fail "cannot make the test picture"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
"$binary" pic.png &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name 'Morvane$' | head -n 1)
[ -n "$main" ] || fail "no window titled ... Morvane"
sleep 1
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+g  # no grid lines over the colours
sleep 0.5
read -r mx my mw mh < <(xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}')
echo "main window at $mx,$my size ${mw}x${mh}"

# At 100 %: the green band's left edge on a row through the top half of the picture. The
# picture, smaller than the view, is in its middle: its top is the first blue pixel of a
# column through the blue part.
shot
top=$(column_colours "$my" $((mx + mw / 2 - 100)) "$mh" | first B)
[ "$top" -ge 0 ] || fail "no picture in the middle of the view at 100 %"
row=$((my + top + 60))
gx=$(row_colours "$row" "$mx" "$mw" | first G)
[ "$gx" -ge 0 ] || fail "no green band on row $row at 100 %"
gx=$((mx + gx))
width=$(row_colours "$row" "$gx" 40 | run_of G)
near "$width" 10 1 || fail "green band $width pixels wide at 100 %, expected 10"

# Ctrl+wheel up with the pointer on the band's left edge: 200 %, the edge stays put.
xdotool mousemove --sync "$gx" "$row"
sleep 0.3
xdotool keydown ctrl click 4 keyup ctrl
sleep 0.8
shot
gx2=$(row_colours "$row" "$mx" "$mw" | first G)
[ "$gx2" -ge 0 ] || fail "no green band after Ctrl+wheel"
gx2=$((mx + gx2))
width=$(row_colours "$row" "$gx2" 60 | run_of G)
near "$width" 20 1 || fail "green band $width pixels wide after Ctrl+wheel up, expected 20 (200 %)"
near "$gx2" "$gx" 1 || fail "the pixel under the pointer moved from $gx to $gx2"
echo "Ctrl+wheel: 200 %, band edge at $gx2 (was $gx)"

# The wheel down scrolls the view 48 pixels: the yellow half's top edge moves up by 48.
col=$((gx2 - 20))
yy=$(column_colours "$my" "$col" "$mh" | first Y)
[ "$yy" -ge 0 ] || fail "no yellow half in column $col"
xdotool click 5
sleep 0.8
shot
yy2=$(column_colours "$my" "$col" "$mh" | first Y)
near "$yy2" $((yy - 48)) 1 || fail "the wheel moved the yellow edge from $yy to $yy2, expected 48 up"
echo "wheel: edge from $yy to $yy2"

# Canvas origin on screen (200 %): document column 200 at the band's edge, row 150 at the
# yellow edge.
ox=$((gx2 - 400))
oy=$((my + yy2 - 300))
# A stroke across the red part, document row 120 (20 pixels brush, black).
sy=$((oy + 240))
xdotool mousemove --sync $((ox + 460)) "$sy" mousedown 1
for x in 500 540 580; do
    xdotool mousemove --sync $((ox + x)) "$sy"
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
black_at() {
    shot
    convert "$work/shot.png" -crop "1x1+$1+$2" +repage txt:- | grep -q '#000000'
}
black_at $((ox + 520)) "$sy" || fail "no stroke painted"
xdotool key --clearmodifiers ctrl+z
sleep 0.5
black_at $((ox + 520)) "$sy" && fail "Ctrl+Z left the stroke"
xdotool key --clearmodifiers ctrl+y
sleep 0.5
black_at $((ox + 520)) "$sy" || fail "Ctrl+Y did not bring the stroke back"
xdotool key --clearmodifiers ctrl+s
sleep 1

# The file: the stroke (document 260, 120) black and opaque, the rest as it was.
pixel() { convert "$work/pic.png" -format "%[pixel:p{$1,$2}]" info:; }
case "$(pixel 260 120)" in *"(0,0,0"*|black) ;; *) fail "saved stroke pixel is $(pixel 260 120)";; esac
case "$(pixel 390 10)" in *"(255,0,0"*|red) ;; *) fail "saved red pixel is $(pixel 390 10)";; esac
case "$(pixel 100 10)" in *"(0,0,255"*|blue) ;; *) fail "saved blue pixel is $(pixel 100 10)";; esac
case "$(pixel 100 200)" in *"(255,255,0"*|yellow) ;; *) fail "saved yellow pixel is $(pixel 100 200)";; esac
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
kill "$wm" 2>/dev/null
echo "PASS: Ctrl+wheel zooms around the pointer, the wheel scrolls, Ctrl+Z/Y/S undo, redo and save"
