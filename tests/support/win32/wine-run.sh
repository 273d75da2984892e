#!/bin/sh
# Runs a Windows test program under 64-bit Wine and returns its exit code.
#   wine-run.sh PREFIX [--display] [--unmanaged] [--wait] PROGRAM.exe [ARGS...]
# PREFIX is made once (wineboot, stamped) and kept. --display runs the program in a headless X
# server; --unmanaged gives its windows no window manager's frame: with no window manager in the
# headless server, Wine waits two seconds for each managed top-level window that goes away. Runs are serialised per prefix: each one ends the prefix's Wine processes afterwards,
# or with --wait lets the processes it started finish first (an uninstaller hands over to a copy
# of itself and returns at once).
set -eu
prefix=$(realpath -m "$1")
shift
display=
unmanaged=
wait=
while :; do
    case "${1:-}" in
    --display) display=1 ;;
    --unmanaged) unmanaged=1 ;;
    --wait) wait=1 ;;
    *) break ;;
    esac
    shift
done

wine=/usr/lib/wine/wine64 # Debian's `wine` would pick the 32-bit loader when it is installed
server=/usr/lib/wine/wineserver
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko download dialogs while the prefix is made; no menu entries or file types of
# the machine itself for what an installer registers (Wine's menu builder would make them, now
# or a moment later).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.booted" ]; then
    rm -rf "$prefix"
    "$wine" wineboot -i >/dev/null 2>&1
    "$server" -w
    touch "$prefix/.booted"
fi

program=$(basename "$1")
if [ -n "$unmanaged" ] && [ ! -f "$prefix/.unmanaged-$program" ]; then
    "$wine" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f \
        >/dev/null 2>&1
    # A session started without the display would keep the program's windows off it.
    "$server" -k 2>/dev/null
    "$server" -w
    touch "$prefix/.unmanaged-$program"
fi

set +e
if [ -n "$display" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$@"
else
    "$wine" "$@"
fi
rc=$?
if [ -n "$wait" ]; then
    "$server" -w
else
    "$server" -k 2>/dev/null
fi
exit $rc
