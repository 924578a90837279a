#!/usr/bin/env bash
# Fails when a DLL or EXE under the build tree imports anything but Windows system DLLs,
# i.e. when a runtime library (libstdc++, libgcc, libwinpthread, ...) was linked dynamically.
# Usage: check-imports.sh OBJDUMP BUILD_DIR
set -euo pipefail

objdump=$1
build=$2

system_dlls=" kernel32.dll msvcrt.dll user32.dll advapi32.dll ole32.dll oleaut32.dll rpcrt4.dll shell32.dll "
system_dlls+=" shlwapi.dll version.dll bcrypt.dll wintrust.dll crypt32.dll ws2_32.dll userenv.dll ntdll.dll "

status=0
checked=0
# Wine prefixes (the tests' one, the demo's) hold Wine's own binaries, not ours.
while IFS= read -r -d '' binary; do
    checked=$((checked + 1))
    while IFS= read -r dll; do
        lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
        if [[ "$system_dlls" != *" $lower "* ]]; then
            echo "${binary#"$build"/} imports $dll, which is not a Windows system DLL"
            status=1
        fi
    done < <("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$build" -type d -name drive_c -prune -o -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)

if [ "$checked" -eq 0 ]; then
    echo "no DLL or EXE found under $build"
    exit 1
fi
echo "checked $checked binaries"
exit $status
