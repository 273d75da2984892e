#!/usr/bin/env bash
# Starts the real program in a virtual X server (no window manager), checks a screenshot of its
# window and clicks "schließen", which must end it with exit code 0.
# usage: smoke.sh EXE [-vollbild] [SCENE | --open FILE]
# env:   WORK (folder for the screenshots), SCREEN (Xvfb screen, default 1024x768x24),
#        SCALE (the scale in percent the window must get, default 100; QT_SCALE_FACTOR passes
#        through), DIALOG_TITLE (click "öffnen" first: a dialog of this title must appear; it is
#        saved as dialog.png and closed with Escape)
set -euo pipefail
exe=$1
shift
full=
scene=
for a in "$@"; do
    case $a in
    -vollbild) full=1 ;;
    --open) ;;
    *) scene=$a ;;
    esac
done
work=${WORK:-$(mktemp -d)}
screen=${SCREEN:-1024x768x24}
scale=${SCALE:-100}
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

# Device pixels of a length in the window's own (logical) pixels.
d() { echo $((($1 * scale + 50) / 100)); }

export QT_QPA_PLATFORM=xcb
"$exe" "$@" &
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
# The window's own size and place, in its logical pixels.
lsw=$((sw * 100 / scale)) lsh=$((sh * 100 / scale))
if [ -n "$full" ]; then
    # Frameless over the whole screen; the minimum size 560 x 660 still holds.
    lw=$((lsw > 560 ? lsw : 560)) lh=$((lsh > 660 ? lsh : 660)) lx=0 ly=0
else
    lw=560 lh=660 lx=$(((lsw - 560) / 2)) ly=$(((lsh - 660) / 2))
    [ $ly -ge 0 ] || ly=0
fi
ew=$(d $lw) eh=$(d $lh) ex=$(d $lx) ey=$(d $ly)
[ "$WIDTH" = $ew ] && [ "$HEIGHT" = $eh ] || fail "window is ${WIDTH}x${HEIGHT}, expected ${ew}x${eh}"
[ "$X" = $ex ] && [ "$Y" = $ey ] || fail "window at ($X,$Y), expected ($ex,$ey)"

# Panel1 is centred in the window; Panel3 is white with the picture area at (9, 7) in it.
px=$((X + $(d $((lw / 2 - 269)))))
py=$((Y + $(d $((lh / 2 - 322)))))
expect_pixel $((X + 3)) $((Y + 3)) 0,0,0 "black window background"
expect_pixel $((px + $(d 5))) $((py + $(d 560))) 255,255,255 "white transport panel"
centre_x=$((px + $(d 265))) centre_y=$((py + $(d 263)))
if [ -z "$scene" ]; then
    expect_pixel $centre_x $centre_y 255,255,255 "empty white picture area"
else
    got=$(pixel $centre_x $centre_y)
    [ "$got" != 255,255,255 ] || fail "picture area is still empty with a scene"
fi
# The labels are white text on the black strip below the panel. On a screen smaller than the
# minimum window they lie beyond its bottom edge; the check ends there.
if [ $((py + $(d 616))) -gt "$sh" ]; then
    echo "smoke: ok (${full:+full screen, }${scene:-no scene}, screen $screen; labels off screen)"
    exit 0
fi
white=$(convert "$work/shot.png" -crop "$(d 130)x$(d 16)+$((px + $(d 404)))+$((py + $(d 600)))" \
    +repage -fill black -opaque white -format '%[fx:int(w*h*(1-mean))]' info: 2>/dev/null || echo 0)
[ "$white" -gt 20 ] || fail "no white label text under the panel"

if [ -n "${DIALOG_TITLE:-}" ]; then
    # "öffnen" at (404, 600) in Panel1 opens the file dialog.
    xdotool mousemove $((px + $(d 414))) $((py + $(d 607))) click 1
    dialog=
    for _ in $(seq 1 100); do
        for w in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
            [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$DIALOG_TITLE" ] && dialog=$w
        done
        [ -z "$dialog" ] || break
        sleep 0.1
    done
    [ -n "$dialog" ] || fail "no dialog titled $DIALOG_TITLE"
    sleep 0.5 # let it paint
    import -window root "$work/dialog.png"
    xdotool key Escape
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null |
            grep -qxF "$DIALOG_TITLE" || break
        sleep 0.1
    done
fi

# "schließen" at (460, 600) in Panel1.
xdotool mousemove $((px + $(d 470))) $((py + $(d 607))) click 1
for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then fail "program still running after schließen"; fi
trap - EXIT
wait $pid || fail "exit code $?"
echo "smoke: ok (${full:+full screen, }${scene:-no scene}, screen $screen, scale $scale %)"
