#!/bin/sh
# Lists the DLLs each Windows program imports and fails on any that is not part of Windows
# (oleacc.dll, Active Accessibility, is: the drawn controls answer screen readers through it).
#   check-imports.sh OBJDUMP PROGRAM.exe...
set -eu
objdump=$1
shift
status=0
for exe in "$@"; do
    dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
    if [ -z "$dlls" ]; then
        echo "$exe: no import table found" >&2
        status=1
        continue
    fi
    echo "$(basename "$exe"): $(echo $dlls)"
    for dll in $dlls; do
        case $(echo "$dll" | tr '[:upper:]' '[:lower:]') in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | ole32.dll | \
            oleaut32.dll | oleacc.dll | shell32.dll | advapi32.dll | avifil32.dll | msvfw32.dll | \
            version.dll | msvcrt.dll | api-ms-win-crt-*.dll) ;;
        *)
            echo "$exe imports $dll, which is not part of Windows" >&2
            status=1
            ;;
        esac
    done
done
exit $status
