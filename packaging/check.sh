#!/usr/bin/env bash
# Checks what the package installs: desktop entry, AppStream metadata, icons, manual page,
# licence and changelog, and that the program was built hardened; a package file also passes
# lintian without errors.
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
        'libavcodec[0-9]+' 'libswscale[0-9]+' 'libavutil[0-9]+' qt6-qpa-plugins fonts-liberation2 \
        qt6-translations-l10n; do
        [[ $depends =~ (^|, )$dep( |,|$) ]] || fail "package does not depend on $dep (Depends: $depends)"
    done
    [[ $(dpkg-deb --field "$target" Recommends) =~ (^|, )qt6-wayland( |,|$) ]] ||
        fail "package does not recommend qt6-wayland"
    [ "$(dpkg-deb --field "$target" Section)" = video ] || fail "section is not video"
    version=$(dpkg-deb --field "$target" Version)
    # Errors fail; warnings are shown (the ones we keep are explained in packaging/lintian-overrides).
    lintian --fail-on error --display-info "$target" || fail "lintian reports errors"
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb --extract "$target" "$root"
else
    root=$target
fi
share=$root/usr/share

exe=$root/usr/bin/reelstand
[ -x "$exe" ] || fail "no executable $exe"
# Debian's hardening flags: position-independent, read-only relocations bound at start-up,
# stack protector.
[[ $(readelf -hW "$exe") =~ Type:\ +DYN ]] || fail "$exe is not position-independent"
[[ $(readelf -lW "$exe") =~ GNU_RELRO ]] || fail "$exe has no read-only relocations (relro)"
[[ $(readelf -dW "$exe") =~ BIND_NOW|FLAGS_1[^$'\n']*\ NOW ]] || fail "$exe is not linked with -z now"
[[ $(readelf --dyn-syms -W "$exe") =~ __stack_chk_fail ]] || fail "$exe has no stack protector"

doc=$share/doc/reelstand
[ "$(sed -n 1p "$doc/copyright")" = 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ] ||
    fail "no machine-readable copyright file $doc/copyright"
# The changelog's newest entry, the package and the metadata's newest release name one version.
changelog=$(zcat "$doc/changelog.Debian.gz" | sed -n 1p) || fail "no changelog $doc/changelog.Debian.gz"
[[ $changelog =~ ^reelstand\ \(([^\)]+)\) ]] || fail "changelog does not start with an entry: $changelog"
[ "${version:-${BASH_REMATCH[1]}}" = "${BASH_REMATCH[1]}" ] ||
    fail "package version $version, newest changelog entry ${BASH_REMATCH[1]}"
version=${BASH_REMATCH[1]}

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry $desktop is not valid"
grep -qx 'Exec=reelstand --open %f' "$desktop" || fail "desktop entry does not start reelstand --open %f"
grep -qx 'StartupNotify=true' "$desktop" || fail "desktop entry has no StartupNotify=true"

metainfo=$share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata is not valid"
# Software centres and file managers must offer the program for the same files.
types_desktop=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d' | sort)
types_metainfo=$(grep -o '<mediatype>[^<]*' "$metainfo" | sed 's/<mediatype>//' | sort)
[ "$types_desktop" = "$types_metainfo" ] ||
    fail "desktop entry and metadata list different media types:"$'\n'"$(diff <(echo "$types_desktop") <(echo "$types_metainfo"))"
release=$(grep -o '<release version="[^"]*"' "$metainfo" | sed -n 1p | cut -d'"' -f2)
[ "$release" = "${version%-*}" ] || fail "newest release in the metadata is '$release', package version $version"

for size in 16 22 24 32 48 64 128 256; do
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
