#!/usr/bin/env bash
# Starts the real program in a virtual X server (no window manager), checks a screenshot of its
# window and clicks "schließen", which must end it with exit code 0.
# usage: smoke.sh EXE [-vollbild] [SCENE]
# env:   WORK (folder for the screenshot), SCREEN (Xvfb screen, default 1024x768x24)
set -euo pipefail
exe=$1
shift
full=
scene=
for a in "$@"; do
    if [ "$a" = -vollbild ]; then full=1; else scene=$a; fi
done
work=${WORK:-$(mktemp -d)}
screen=${SCREEN:-1024x768x24}
mkdir -p "$work"

if [ -z "${SMOKE_INSIDE_X:-}" ]; then
    exec env SMOKE_INSIDE_X=1 WORK="$work" xvfb-run -a -s "-screen 0 $screen -dpi 96" "$0" "$exe" "$@"
fi

fail() { echo "smoke: $*" >&2; exit 1; }
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
expect_pixel() { # x y r,g,b description
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || fail "$4: pixel ($1,$2) is $got, expected $3"
}

export QT_QPA_PLATFORM=xcb
"$exe" ${full:+-vollbild} ${scene:+"$scene"} &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrin Reelstand$' | head -n 1) ||
    fail "no window appeared"
sleep 1 # let the load finish and the first ticks paint
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root "$work/shot.png"

sw=${screen%%x*}
rest=${screen#*x}
sh=${rest%%x*}
if [ -n "$full" ]; then
    # Frameless over the whole screen; the minimum size 560 x 660 still holds.
    ew=$((sw > 560 ? sw : 560)) eh=$((sh > 660 ? sh : 660)) ex=0 ey=0
else
    ew=560 eh=660 ex=$(((sw - 560) / 2)) ey=$(((sh - 660) / 2))
    [ $ey -ge 0 ] || ey=0
fi
[ "$WIDTH" = $ew ] && [ "$HEIGHT" = $eh ] || fail "window is ${WIDTH}x${HEIGHT}, expected ${ew}x${eh}"
[ "$X" = $ex ] && [ "$Y" = $ey ] || fail "window at ($X,$Y), expected ($ex,$ey)"

# Panel1 is centred in the window; Panel3 is white with the picture area at (9, 7) in it.
px=$((X + ew / 2 - 269))
py=$((Y + eh / 2 - 322))
expect_pixel $((X + 3)) $((Y + 3)) 0,0,0 "black window background"
expect_pixel $((px + 5)) $((py + 560)) 255,255,255 "white transport panel"
if [ -z "$scene" ]; then
    expect_pixel $((px + 9 + 256)) $((py + 7 + 256)) 255,255,255 "empty white picture area"
else
    got=$(pixel $((px + 9 + 256)) $((py + 7 + 256)))
    [ "$got" != 255,255,255 ] || fail "picture area is still empty with a scene"
fi
# The labels are white text on the black strip below the panel. On a screen smaller than the
# minimum window they lie beyond its bottom edge; the check ends there.
if [ $((py + 616)) -gt "$sh" ]; then
    echo "smoke: ok (${full:+full screen, }${scene:-no scene}, screen $screen; labels off screen)"
    exit 0
fi
white=$(convert "$work/shot.png" -crop "130x16+$((px + 404))+$((py + 600))" +repage \
    -fill black -opaque white -format '%[fx:int(w*h*(1-mean))]' info: 2>/dev/null || echo 0)
[ "$white" -gt 20 ] || fail "no white label text under the panel"

# "schließen" at (460, 600) in Panel1.
xdotool mousemove $((px + 470)) $((py + 607)) click 1
for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then fail "program still running after schließen"; fi
trap - EXIT
wait $pid || fail "exit code $?"
echo "smoke: ok (${full:+full screen, }${scene:-no scene}, screen $screen)"
