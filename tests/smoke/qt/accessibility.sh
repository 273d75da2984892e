#!/usr/bin/env bash
# The running program as a screen reader meets it: in a virtual X server with the accessibility
# bus, accessibility.py reads the window's tree through AT-SPI, presses buttons through their
# actions and with the keyboard, and ends the program through "schließen".
# usage: accessibility.sh EXE SCENE
# env:   WORK (folder for the tree dump and the screenshots of the focus mark)
set -euo pipefail
exe=$1
scene=$2
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"

if [ -z "${A11Y_INSIDE_X:-}" ]; then
    exec env A11Y_INSIDE_X=1 WORK="$work" xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
        dbus-run-session -- "$0" "$exe" "$scene"
fi

# Qt serves AT-SPI only when asked to or when a screen reader runs.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
"$exe" "$scene" &
pid=$!
trap 'kill $pid $bus 2>/dev/null || true' EXIT

win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrin Reelstand$' | head -n 1) ||
    { echo "accessibility: no window appeared" >&2; exit 1; }
# The system's Python: the one on PATH may lack the AT-SPI bindings.
/usr/bin/python3 "$(dirname "$0")/accessibility.py" "$pid" "$win" "$work"
for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
    echo "accessibility: program still running after schließen" >&2
    exit 1
fi
trap 'kill $bus 2>/dev/null || true' EXIT
wait $pid || { echo "accessibility: exit code $?" >&2; exit 1; }
echo "accessibility: ok"
