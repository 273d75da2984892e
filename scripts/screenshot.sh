#!/usr/bin/env bash
# Takes the README's screenshot: the built program playing the sample scene in a virtual X
# server, its window saved as docs/screenshot.png.
# usage: scripts/screenshot.sh [BUILD_DIR]   (relative to the repository, default build;
#        `make run` or `make test` builds it)
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build}
exe=$build/app/reelstand
scene=$build/sample/reelstand-sample.avi
out=docs/screenshot.png

if [ -z "${SCREENSHOT_INSIDE_X:-}" ]; then
    for f in "$exe" "$scene"; do
        [ -e "$f" ] || { echo "screenshot: $f is missing; build first" >&2; exit 1; }
    done
    exec env SCREENSHOT_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$self" "$@"
fi

export QT_QPA_PLATFORM=xcb
"$exe" "$scene" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrin Reelstand$' | head -n 1) || {
    echo "screenshot: no window appeared" >&2
    exit 1
}
sleep 2 # a few ticks into the loop
mkdir -p docs
# Without date chunks, so the same picture gives the same file.
import -window "$win" -define png:exclude-chunks=date,time "$out"
echo "screenshot: $out"
