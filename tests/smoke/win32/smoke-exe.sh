#!/usr/bin/env bash
# reelstand.exe as its portable zip gives it, under Wine in a virtual X server (no window
# manager): the window "Tavrin Reelstand" appears, the sample beside the program plays (its
# picture area changes between two screenshots), a missing scene shows its box and its line on
# standard error, and „schließen“ ends the program with exit code 0 each time.
#   smoke-exe.sh RUNNER PREFIX CMAKE ZIP WORK
# WORK keeps the screenshots; playing.png is the playing window.
set -euo pipefail
if [ -z "${SMOKE_INSIDE_X:-}" ]; then
    exec env SMOKE_INSIDE_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
run=$(realpath "$1")
prefix=$(realpath -m "$2")
cmake=$3
zip=$(realpath "$4")
work=$(realpath -m "$5")
fail() {
    echo "smoke-exe: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && "$cmake" -E tar xf "$zip")
dir=$(echo "$work"/unpacked/reelstand-*)
for f in reelstand.exe README.txt reelstand-sample.avi; do
    [ -s "$dir/$f" ] || fail "the zip holds no $f"
done

pid=
stop() { # ends whatever of the program is left
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
}
trap stop EXIT

# start NAME ARGS...: the program from the unpacked folder (scene names relative to it), its
# standard error in WORK/NAME.err.
start() {
    local name=$1
    shift
    (cd "$dir" && exec "$run" "$prefix" "$dir/reelstand.exe" "$@") 2>"$work/$name.err" &
    pid=$!
}

window() { # the first visible window titled exactly $1, within a minute, while the program runs
    local w
    for _ in $(seq 1 600); do
        w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -z "$w" ] || { echo "$w"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Panel1's place on the screen: the top-left corner of the white panel it starts with (its
# labels, also white, lie lower than the 560 rows searched). Sets px, py; the window's X, Y too.
shoot_and_locate() { # window screenshot
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root "$2"
    local box
    box=$(convert "$2" -crop "${WIDTH}x560+$X+$Y" +repage -fill black +opaque white \
        -format '%@' info:)
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no white panel in the window"
    [ "${BASH_REMATCH[1]}" -ge 520 ] || fail "the white panel is only ${BASH_REMATCH[1]} wide"
    px=$((X + BASH_REMATCH[3])) py=$((Y + BASH_REMATCH[4]))
}

# „schließen“ at (460, 600) in Panel1; the program must end with 0.
close_with_schliessen() {
    xdotool mousemove $((px + 470)) $((py + 607)) click 1
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "$1: still running after schließen"
    local rc=0
    wait "$pid" || rc=$?
    pid=
    [ $rc -eq 0 ] || fail "$1: exit code $rc after schließen"
}

# The picture area (512 x 512 at (9, 7) in Panel1) of a screenshot.
area() { convert "$1" -crop "512x512+$((px + 9))+$((py + 7))" +repage "$2"; }

# 1. The sample beside the program plays.
start playing reelstand-sample.avi
win=$(window "Tavrin Reelstand") || true
[ -n "$win" ] || fail "no window \"Tavrin Reelstand\""
sleep 1 # the first ticks paint
shoot_and_locate "$win" "$work/first.png"
sleep 0.5 # six frames on, not a whole loop (six seconds)
import -window root "$work/second.png"
convert "$work/second.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$work/playing.png"
area "$work/first.png" "$work/first-area.png"
area "$work/second.png" "$work/second-area.png"
white=$(convert "$work/second-area.png" -fill black +opaque white -format '%[fx:int(w*h*mean)]' info:)
[ "$white" -lt 100000 ] || fail "the picture area is empty ($white white pixels)"
changed=$(compare -metric AE "$work/first-area.png" "$work/second-area.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || fail "the picture did not change ($changed pixels)"
close_with_schliessen "playing"
echo "smoke-exe: the sample plays ($changed pixels changed in 0.5 s), schließen ends it with 0"

# 2. A missing scene, named as the installer's "Open with" passes it (--open: a bare FEHLT.AVI
# would not count as a scene): its box, its line on standard error.
start missing --open FEHLT.AVI
box=$(window reelstand) || true # xdotool matches without case
[ -n "$box" ] || fail "no box for a missing scene"
# Titled by the program's file name, like on Linux.
title=$(xdotool getwindowname "$box")
[ "$title" = reelstand ] || fail "the box is titled \"$title\", not \"reelstand\""
grep -q "FEHLT.AVI: Diese Szene ist nicht vorhanden" "$work/missing.err" ||
    fail "no line on standard error for the missing scene: $(cat "$work/missing.err")"
import -window root "$work/missing-box.png"
xdotool windowfocus --sync "$box" key Return
win=$(window "Tavrin Reelstand") || true
[ -n "$win" ] || fail "no window after the box"
sleep 0.5
shoot_and_locate "$win" "$work/missing.png"
close_with_schliessen "missing scene"
echo "smoke-exe: a missing scene shows its box, schließen ends the program with 0"
