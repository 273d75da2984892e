#!/bin/sh
# Installs and uninstalls an installer silently under Wine and checks what each leaves behind:
# the program, its README, the sample scene and the uninstaller, the Start-menu entry, the "Open
# with" entry for .avi.
#   installer-test.sh RUNNER PREFIX SETUP.exe
set -eu
run=$1
prefix=$(realpath -m "$2")
setup=$3
dir="$prefix/drive_c/Program Files/Reelstand"
link="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Reelstand.lnk"
app='HKLM\Software\Classes\Applications\reelstand.exe'
openWith='HKLM\Software\Classes\.avi\OpenWithList\reelstand.exe'
fail() {
    echo "installer: $*" >&2
    exit 1
}

"$run" "$prefix" "$setup" /S || fail "the installer failed"
[ -f "$dir/reelstand.exe" ] || fail "no $dir/reelstand.exe"
[ -f "$dir/uninstall.exe" ] || fail "no uninstaller"
[ -s "$dir/README.txt" ] || fail "no README.txt"
[ -s "$dir/reelstand-sample.avi" ] || fail "no sample scene"
[ -f "$link" ] || fail "no Start-menu entry"
"$run" "$prefix" reg query "$openWith" >/dev/null || fail "reelstand.exe is not in the .avi list"
"$run" "$prefix" reg query "$app\\shell\\open\\command" /ve |
    grep -qF '"C:\Program Files\Reelstand\reelstand.exe" --open "%1"' || fail "no open command"

"$run" "$prefix" --wait "$dir/uninstall.exe" /S || fail "the uninstaller failed"
[ ! -e "$dir" ] || fail "$dir is still there"
[ ! -e "$link" ] || fail "the Start-menu entry is still there"
if "$run" "$prefix" reg query "$app" >/dev/null 2>&1 ||
    "$run" "$prefix" reg query "$openWith" >/dev/null 2>&1; then
    fail "registry entries are left"
fi
echo "installed and uninstalled cleanly"
