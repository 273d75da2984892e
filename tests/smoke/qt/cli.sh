#!/usr/bin/env bash
# The options that only print: --help, -h and --version write to standard output and exit 0
# without a display; a write error is reported and ends with 1. Then --open with a file that
# looks like an option, on Qt's display-less platform.
# usage: cli.sh EXE VERSION
set -euo pipefail
exe=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "cli: $*" >&2; exit 1; }
# No display of any kind: a window would abort here.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" "$@" >"$work/out" 2>"$work/err"; }

for help in --help -h "scene.avi --help"; do
    # shellcheck disable=SC2086 # the last case is two arguments
    run $help || fail "$help: exit code $?"
    head -n 1 "$work/out" | grep -q '^Aufruf: reelstand ' || fail "$help: no usage line"
    for option in '--open DATEI' '-vollbild' '-h, --help' '--version'; do
        grep -qF -- "$option" "$work/out" || fail "$help: $option is not listed"
    done
    [ ! -s "$work/err" ] || fail "$help: wrote to standard error: $(cat "$work/err")"
done

run --version || fail "--version: exit code $?"
[ "$(head -n 1 "$work/out")" = "reelstand $version" ] || fail "--version: $(head -n 1 "$work/out")"

if env -u DISPLAY "$exe" --help >/dev/full 2>"$work/err"; then
    fail "--help to a full disk succeeded"
fi
grep -q '^reelstand: ' "$work/err" || fail "--help to a full disk: no message"
# The file of --open is the program's, even when it looks like one of Qt's options: it is
# requested (and reported missing on standard error) and Qt does not take it.
QT_QPA_PLATFORM=offscreen "$exe" --open -reverse 2>"$work/err" &
pid=$!
for _ in $(seq 1 100); do
    grep -q '^reelstand: ' "$work/err" && break
    sleep 0.1
done
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
grep -qxF 'reelstand: -reverse: Diese Szene ist nicht vorhanden' "$work/err" ||
    fail "--open -reverse: $(cat "$work/err")"
echo "cli: ok"
