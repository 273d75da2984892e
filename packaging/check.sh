#!/usr/bin/env bash
# Checks what the package installs: desktop entry, AppStream metadata, icons and manual page.
# usage: packaging/check.sh ROOT      the installed files below ROOT (/ after apt-get install)
#        packaging/check.sh FILE.deb  the package's contents and its dependencies
set -euo pipefail
target=${1:?usage: $0 ROOT|FILE.deb}
id=org.reelstand.Reelstand
fail() { echo "check: $*" >&2; exit 1; }

if [ -f "$target" ]; then
    depends=$(dpkg-deb --field "$target" Depends)
    # What dpkg-shlibdeps must have found (any soname), and what it cannot see.
    for dep in libc6 'libstdc\+\+6' libqt6widgets6 libqt6gui6 libqt6core6 'libavformat[0-9]+' \
        'libavcodec[0-9]+' 'libswscale[0-9]+' 'libavutil[0-9]+' qt6-qpa-plugins fonts-liberation2; do
        [[ $depends =~ (^|, )$dep( |,|$) ]] || fail "package does not depend on $dep (Depends: $depends)"
    done
    [ "$(dpkg-deb --field "$target" Section)" = video ] || fail "section is not video"
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb --extract "$target" "$root"
else
    root=$target
fi
share=$root/usr/share

[ -x "$root/usr/bin/reelstand" ] || fail "no executable $root/usr/bin/reelstand"

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry $desktop is not valid"
grep -qx 'Exec=reelstand %f' "$desktop" || fail "desktop entry does not start reelstand %f"

appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" ||
    fail "AppStream metadata is not valid"

for size in 16 32 48 64 128; do
    icon=$share/icons/hicolor/${size}x$size/apps/$id.png
    [ -f "$icon" ] || fail "no icon $icon"
    [[ $(file -b "$icon") == "PNG image data, $size x $size, "* ]] ||
        fail "$icon is not a $size x $size PNG: $(file -b "$icon")"
done

man=$share/man/man1/reelstand.1.gz
[ -f "$man" ] || fail "no manual page $man"
warnings=$(zcat "$man" | groff -k -man -ww -Tutf8 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"

echo "check: ok ($target)"
