#!/usr/bin/env bash
# The benchmark's measurements that need an X server, each in its own Xvfb (no window manager).
#   xvfb.sh tick BENCH SCENE TICKS    the tick probe on the xcb platform, window shown
#   xvfb.sh play PLAYER SCENE SECONDS "cpu=S seconds=S": CPU time the real player used while it
#                                     looped the scene, counted from after the load
#   xvfb.sh realload BENCH PLAYER SCENE WxH FRAMES RUNS
#                                     the real program's load against the floor (rs_bench)
set -euo pipefail

if [ -z "${BENCH_INSIDE_X:-}" ]; then
    exec env BENCH_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb

case "$1" in
tick)
    exec "$2" --tick "$3" --ticks "$4"
    ;;
realload)
    exec "$2" --real-load "$4" --player "$3" --size "$5" --frames "$6" --runs "$7"
    ;;
play)
    "$2" "$3" &
    pid=$!
    trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true' EXIT
    # The window appears only once the scene given on the command line has been loaded.
    timeout 120 xdotool search --sync --onlyvisible --name '^Tavrin Reelstand$' >/dev/null
    sleep 2 # the first paints and the window's setup are not playback
    hz=$(getconf CLK_TCK)
    # utime + stime: fields 14 and 15, counted after "pid (comm) ".
    cputicks() { sed 's/^.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
    c0=$(cputicks)
    t0=$(date +%s.%N)
    sleep "$4"
    c1=$(cputicks)
    t1=$(date +%s.%N)
    awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$hz" \
        'BEGIN { printf "cpu=%.3f seconds=%.3f\n", (c1 - c0) / hz, t1 - t0 }'
    ;;
*)
    echo "usage: $0 tick BENCH SCENE TICKS | play PLAYER SCENE SECONDS | realload ..." >&2
    exit 2
    ;;
esac
