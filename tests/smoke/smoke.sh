#!/usr/bin/env bash
# Starts the real program in a virtual X server (no window manager), checks a screenshot of its
# window and clicks "schließen", which must end it with exit code 0.
# usage: smoke.sh EXE [SCENE] ; WORK (env) names a folder for the screenshots.
set -euo pipefail
exe=$1
scene=${2:-}
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"

if [ -z "${SMOKE_INSIDE_X:-}" ]; then
    exec env SMOKE_INSIDE_X=1 WORK="$work" xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@"
fi

fail() { echo "smoke: $*" >&2; exit 1; }
pixel() { convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
expect_pixel() { # x y r,g,b description
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || fail "$4: pixel ($1,$2) is $got, expected $3"
}

export QT_QPA_PLATFORM=xcb
"$exe" ${scene:+"$scene"} &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrin Reelstand$' | head -n 1) ||
    fail "no window appeared"
sleep 1 # let the first ticks paint
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root "$work/shot.png"

# Centred on the 1024 x 768 screen with the definition's 560 x 660.
[ "$WIDTH" = 560 ] && [ "$HEIGHT" = 660 ] || fail "window is ${WIDTH}x${HEIGHT}, expected 560x660"
[ "$X" = 232 ] && [ "$Y" = 54 ] || fail "window at ($X,$Y), expected centred at (232,54)"

# Panel1 sits at (11, 8) in the window; Panel3 is white with the picture area at (9, 7) in it.
px=$((X + 11))
py=$((Y + 8))
expect_pixel $((X + 3)) $((Y + 3)) 0,0,0 "black window background"
expect_pixel $((px + 5)) $((py + 560)) 255,255,255 "white transport panel"
if [ -z "$scene" ]; then
    expect_pixel $((px + 9 + 256)) $((py + 7 + 256)) 255,255,255 "empty white picture area"
else
    got=$(pixel $((px + 9 + 256)) $((py + 7 + 256)))
    [ "$got" != 255,255,255 ] || fail "picture area is still empty with a scene"
fi
# The labels are white text on the black strip below the panel.
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
echo "smoke: ok (${scene:-no scene})"
