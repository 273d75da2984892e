#!/usr/bin/env bash
# Installs and uninstalls the installer silently under Wine, once for the current user (the
# default, no administrator needed) and once for all users (/AllUsers), and checks each: the
# files and the Start-menu entry where they belong, the uninstall entry, "Open with" and Default
# apps for every scene type, nothing written elsewhere in the registry (no default taken over);
# then that the uninstaller leaves the registry and drive C exactly as they were before.
#   installer-test.sh RUNNER PREFIX SETUP.exe VERSION [HOMEPAGE]
# What each install added to the registry is kept in PREFIX.installer/<mode>.added.
set -euo pipefail
run=$1
prefix=$(realpath -m "$2")
setup=$3
version=$4
homepage=${5:-}
work=$prefix.installer
types=(.avi .mp4 .m4v .mov .3gp .mkv .wmv)
user=$(id -un) # Wine's user is the Unix one
fail() {
    echo "installer: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
# A run that failed half-way leaves its install behind: remove it, so that each run starts from
# the same state.
cleanup() {
    for u in "$prefix/drive_c/users/$user/AppData/Local/Programs/Reelstand/uninstall.exe" \
        "$prefix/drive_c/Program Files/Reelstand/uninstall.exe"; do
        [ ! -f "$u" ] || "$run" "$prefix" --wait "$u" /S || true
    done
}
trap cleanup EXIT
winwork="Z:${work//\//\\}"

# snapshot NAME: the user's and the machine's software keys as records "[key]" and
# "[key]|value" (sorted), and every path on drive C.
snapshot() {
    "$run" "$prefix" cmd /c "reg export HKCU\\Software $winwork\\$1-user.reg /y >nul & reg export HKLM\\Software $winwork\\$1-machine.reg /y >nul" ||
        fail "cannot export the registry"
    for half in user machine; do
        iconv -f UTF-16 -t UTF-8 "$work/$1-$half.reg" | tr -d '\r' |
            awk '/^\[/ { key = $0; print key; next } /./ && key != "" { print key "|" $0 }'
    done | LC_ALL=C sort >"$work/$1.records"
    # NSIS runs an uninstaller from a copy in the user's Temp folder and leaves that folder
    # behind, empty, for Windows to clear; it is no part of the install.
    (cd "$prefix/drive_c" && find . ! -path "./users/$user/Temp/~nsu*.tmp" | LC_ALL=C sort) \
        >"$work/$1.files"
}

# value RECORDS KEY NAME: the data of value NAME (@ for the default) under KEY as the export
# writes it: "text" (backslashes and quotes escaped), dword:..., hex(0):
value() {
    local name=$3
    [ "$name" = @ ] || name="\"$name\""
    local line
    line=$(grep -iF -- "[$2]|$name=" "$1" | head -n 1)
    printf '%s' "${line#*|"$name"=}"
}

# sz TEXT: TEXT as the export writes a string.
sz() { printf '"%s"' "$(printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g')"; }

expect() { # RECORDS KEY NAME DATA
    local got
    got=$(value "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$mode: $2 $3 is '$got', not '$4'"
}

# check_install MODE ROOT DIR DIR_UNIX LINK: the install of MODE, against the snapshot before.
check_install() {
    mode=$1
    local root=$2 dir=$3 unix=$4 link=$5
    for f in reelstand.exe uninstall.exe README.txt reelstand-sample.avi; do
        [ -s "$unix/$f" ] || fail "$mode: no $unix/$f"
    done
    [ -f "$link" ] || fail "$mode: no Start-menu entry $link"

    local after=$work/$mode.records
    LC_ALL=C comm -13 "$work/before.records" "$after" >"$work/$mode.added"
    local removed
    removed=$(LC_ALL=C comm -23 "$work/before.records" "$after")
    [ -z "$removed" ] || fail "$mode: the install changed or removed:"$'\n'"$removed"
    # Only the program's own keys, under ROOT: no type's default, no other program's entry.
    local classes="$root\\Software\\Classes" record key stray=
    local own=("$classes\\Applications\\reelstand.exe" "$root\\Software\\Reelstand"
        "$root\\Software\\RegisteredApplications"
        "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Reelstand")
    for ext in "${types[@]}"; do
        own+=("$classes\\Reelstand$ext" "$classes\\$ext\\OpenWithProgids")
    done
    while IFS= read -r record; do
        key=${record%%|*}
        key=${key#[}
        key=${key%]}
        local allowed=
        for a in "${own[@]}"; do
            [[ ${key,,} == "${a,,}" || ${key,,} == "${a,,}\\"* ]] && allowed=1
        done
        # A new key on the way to them, without a value: a type's key, Classes, Uninstall ...
        if [[ $record != *"|"* ]]; then
            for a in "${own[@]}"; do
                [[ ${a,,} == "${key,,}\\"* ]] && allowed=1
            done
        fi
        [ -n "$allowed" ] || stray+=$record$'\n'
    done <"$work/$mode.added"
    [ -z "$stray" ] || fail "$mode: written outside the program's own keys:"$'\n'"$stray"

    local exe="$dir\\reelstand.exe" open
    open=$(sz "\"$dir\\reelstand.exe\" --open \"%1\"")
    local uninstall="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Reelstand"
    expect "$after" "$uninstall" DisplayName '"Reelstand"'
    expect "$after" "$uninstall" DisplayVersion "\"$version\""
    expect "$after" "$uninstall" Publisher '"Reelstand developers"'
    expect "$after" "$uninstall" DisplayIcon "$(sz "\"$exe\",0")"
    expect "$after" "$uninstall" InstallLocation "$(sz "$dir")"
    expect "$after" "$uninstall" UninstallString "$(sz "\"$dir\\uninstall.exe\"")"
    expect "$after" "$uninstall" QuietUninstallString "$(sz "\"$dir\\uninstall.exe\" /S")"
    expect "$after" "$uninstall" URLInfoAbout "$([ -z "$homepage" ] || sz "$homepage")"
    # The size in KiB: the files' (about 1.2 MB), not zero.
    local size
    size=$(value "$after" "$uninstall" EstimatedSize)
    [[ $size =~ ^dword:([0-9a-f]{8})$ ]] && [ $((16#${BASH_REMATCH[1]})) -gt 500 ] ||
        fail "$mode: EstimatedSize is '$size'"

    local capabilities="$root\\Software\\Reelstand\\Capabilities"
    expect "$after" "$root\\Software\\RegisteredApplications" Reelstand \
        '"Software\\Reelstand\\Capabilities"'
    expect "$after" "$capabilities" ApplicationName '"Reelstand"'
    [ -n "$(value "$after" "$capabilities" ApplicationDescription)" ] ||
        fail "$mode: no ApplicationDescription"
    expect "$after" "$classes\\Applications\\reelstand.exe\\shell\\open\\command" @ "$open"
    expect "$after" "$classes\\.mkv" @ '"Other.mkv"'
    expect "$after" "$classes\\.mkv\\OpenWithProgids" Other.mkv '""'
    for ext in "${types[@]}"; do
        expect "$after" "$capabilities\\FileAssociations" "$ext" "\"Reelstand$ext\""
        expect "$after" "$classes\\Reelstand$ext\\shell\\open\\command" @ "$open"
        expect "$after" "$classes\\$ext\\OpenWithProgids" "Reelstand$ext" "hex(0):"
        expect "$after" "$classes\\Applications\\reelstand.exe\\SupportedTypes" "$ext" '""'
    done
}

# round MODE SWITCHES...: install, check, uninstall (the uninstaller without switches: it knows
# its install), and compare with the state before.
round() {
    local mode=$1 root=$2 dir=$3 unix=$4 link=$5
    shift 5
    # Another player that is the default for .mkv and in its "Open with" list: both stay.
    local other="$root\\Software\\Classes\\.mkv"
    "$run" "$prefix" cmd /c "reg add $other /ve /d Other.mkv /f >nul & reg add $other\\OpenWithProgids /v Other.mkv /f >nul" ||
        fail "cannot add the other player"
    snapshot before
    "$run" "$prefix" "$setup" /S "$@" || fail "$mode: the installer failed"
    snapshot "$mode"
    check_install "$mode" "$root" "$dir" "$unix" "$link"
    "$run" "$prefix" --wait "$unix/uninstall.exe" /S || fail "$mode: the uninstaller failed"
    snapshot "$mode-removed"
    diff "$work/before.records" "$work/$mode-removed.records" >&2 ||
        fail "$mode: the registry differs from before the install (above)"
    diff "$work/before.files" "$work/$mode-removed.files" >&2 ||
        fail "$mode: drive C differs from before the install (above)"
    "$run" "$prefix" reg delete "$other" /f >/dev/null || fail "cannot remove the other player"
    echo "installer: $mode: installed in $dir, uninstalled without a trace"
}

profile="$prefix/drive_c/users/$user"
menu="Microsoft/Windows/Start Menu/Programs/Reelstand.lnk"
round current-user HKEY_CURRENT_USER "C:\\users\\$user\\AppData\\Local\\Programs\\Reelstand" \
    "$profile/AppData/Local/Programs/Reelstand" "$profile/AppData/Roaming/$menu"
round all-users HKEY_LOCAL_MACHINE 'C:\Program Files\Reelstand' \
    "$prefix/drive_c/Program Files/Reelstand" "$prefix/drive_c/ProgramData/$menu" /AllUsers
