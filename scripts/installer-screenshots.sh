#!/usr/bin/env bash
# Screenshots of the Windows installer's pages, for a look by eye: the x86-64 installer under
# Wine in a virtual X server, on a German system, from the welcome page to "Reelstand starten",
# then the uninstaller's pages; the welcome page once more on an English system. The PNGs go to
# BUILD_DIR/installer-shots/ (a Wine prefix of their own beside them, made once, about 20 s).
# usage: scripts/installer-screenshots.sh [BUILD_DIR]   (default build-win-x86_64; `make
#        windows` or `make test-windows` builds its installer)
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=$(realpath "${1:-build-win-x86_64}")
setup=$(echo "$build"/reelstand-*-windows-x86_64-setup.exe)
out=$build/installer-shots
prefix=$build/wine-shots
[ -f "$setup" ] || { echo "installer-screenshots: no installer in $build; build first" >&2; exit 1; }

if [ -z "${SHOTS_INSIDE_X:-}" ]; then
    exec env SHOTS_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$self" "$@"
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
rm -rf "$out"
mkdir -p "$out"
if [ ! -f "$prefix/.booted" ]; then
    rm -rf "$prefix"
    "$wine" wineboot -i >/dev/null 2>&1
    "$server" -w
    touch "$prefix/.booted"
fi
# Wine takes the system's language from the locale; build a German one when none is installed.
german=de_DE.UTF-8
if ! locale -a | grep -qix 'de_DE.utf-\?8'; then
    mkdir -p "$out/locale"
    localedef -i de_DE -f UTF-8 "$out/locale/$german"
    export LOCPATH=$out/locale
fi

fail() {
    echo "installer-screenshots: $*" >&2
    exit 1
}
trap '"$server" -k 2>/dev/null || true' EXIT

window() { # the first visible window whose title matches $1, within 30 s
    local w
    for _ in $(seq 1 300); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -z "$w" ] || { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

shot() { # WINDOW NAME: the window as it is on screen now
    sleep 1 # painted
    import -window root "$out/screen.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    convert "$out/screen.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$out/$2.png"
    echo "$out/$2.png"
}

# pages LOCALE PROGRAM NAME...: starts PROGRAM on a system of LOCALE and photographs one page
# per NAME, going on with its default button (Weiter, Installieren, Fertigstellen ...) each time.
pages() {
    local locale=$1 program=$2 win
    shift 2
    LC_ALL=$locale "$wine" "$program" &
    win=$(window "Reelstand") || fail "no window of $program"
    for name in "$@"; do
        shot "$win" "$name"
        xdotool windowfocus --sync "$win" key Return
    done
}

# The installer, step by step. "Reelstand starten" is ticked on the last page: the program
# starts as the installer ends.
pages "$german" "$setup" 1-willkommen 2-benutzer 3-zielordner 4-fertig
player=$(window "Tavrin Reelstand") || fail "Reelstand did not start from the last page"
shot "$player" 5-reelstand-gestartet
"$server" -k 2>/dev/null || true
"$server" -w

# The uninstaller of the install just made (for the current user, the default).
uninstall=$(find "$prefix/drive_c" -path '*/Reelstand/uninstall.exe' | head -n 1)
[ -n "$uninstall" ] || fail "no uninstaller installed"
pages "$german" "$uninstall" 6-deinstallieren 7-deinstalliert
"$server" -w

# Any other language gets English.
pages C "$setup" 8-welcome-english
"$server" -k 2>/dev/null || true
"$server" -w
rm -f "$out/screen.png"
