#!/usr/bin/env bash
# Runs "hxconfig log set|get" under Wine: the file logger's settings round-trip through the
# root and an executable's own log.ini, and values outside their range are refused and leave
# the file as it was. The root log.ini is machine-wide: it is put back as it was at the end.
# Usage: hxconfig_log_test.sh WINE_RUN PREFIX HXCONFIG_EXE
set -uo pipefail

wine_run=("$1" "$2")
command=("$1" "$2" "$3")
work=$(mktemp -d)
halvex="$2/drive_c/ProgramData/Halvex"
logs="$halvex/HXLOGS"
root_ini="$logs/log.ini"
exe="hxlogtest$$"
other="hxlogtest$$b"
folder="$logs/_no_group/$exe"
folder_windows="C:\\ProgramData\\Halvex\\HXLOGS\\_no_group\\$exe"

made_folders=()
for each in "$halvex" "$logs" "$logs/_no_group"; do
    [ -d "$each" ] || made_folders=("$each" "${made_folders[@]}")
done
[ -e "$root_ini" ] && cp -p "$root_ini" "$work/root.ini.saved"
cleanup() {
    rm -rf "$folder" "$logs/_no_group/$other"
    if [ -e "$work/root.ini.saved" ]; then
        cp -p "$work/root.ini.saved" "$root_ini"
    else
        rm -f "$root_ini"
    fi
    for each in "${made_folders[@]}"; do
        rmdir "$each" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/command_check.sh"

# Each setting round-trips in the root file and in the executable's; the two stay apart.
while IFS='|' read -r name value shown; do
    check "root $name $value" 0 '' '' log set "$name" "$value"
    check "exe $name $value" 0 '' '' log set "$name" "$value" --exe "$exe"
    check "root $name reads $shown" 0 "$shown" '' log get "$name"
    check "exe $name reads $shown" 0 "$shown" '' log get "$name" --exe "$exe"
done <<'SETTINGS'
Enable|0|0
Enable|-1|-1
MaxSize|262144|262144
MaxSize|0xA00000|10485760
MaxEntries|2|2
MaxEntries|100|100
Severity|0|0
Severity|6|6
Options|0x3D|61
Options|2147483647|2147483647
maxentries|7|7
SETTINGS
check "root MaxEntries 5" 0 '' '' log set MaxEntries 5
check "exe MaxEntries 9" 0 '' '' log set MaxEntries 9 --exe "$exe.exe"
check "root keeps 5" 0 '5' '' log get MaxEntries
check "exe keeps 9" 0 '9' '' log get MaxEntries --exe "$exe"
check "exe value is the scrambled Config.MaxEntries" 0 '9' '' ini get "$folder_windows\\log.ini" Config MaxEntries

# Refused values name the range and write nothing: the files keep their bytes, and a file
# that was not there is not made.
cp "$root_ini" "$work/root.before"
cp "$folder/log.ini" "$work/exe.before"
while IFS='|' read -r name value range; do
    check "root $name '$value' refused" 64 '' "$name takes a number from $range" log set "$name" "$value"
    check "exe $name '$value' refused" 64 '' "$name takes a number from $range" log set "$name" "$value" --exe "$exe"
    check "fresh exe $name '$value' refused" 64 '' "is refused and nothing was written" \
        log set "$name" "$value" --exe "$other"
    expect "root $name '$value' unchanged" cmp -s "$root_ini" "$work/root.before"
    expect "exe $name '$value' unchanged" cmp -s "$folder/log.ini" "$work/exe.before"
    expect "fresh exe $name '$value' has no folder" test ! -e "$logs/_no_group/$other"
done <<'REFUSED'
MaxEntries|1|2 to 100
MaxEntries|101|2 to 100
MaxEntries|0x65|2 to 100
MaxSize|262143|262144 to 10485760
MaxSize|10485761|262144 to 10485760
Severity|-1|0 to 6
Severity|7|0 to 6
Enable|2147483648|-2147483648 to 2147483647
Options|-2147483649|-2147483648 to 2147483647
MaxEntries|three|2 to 100
MaxEntries||2 to 100
MaxEntries| 5|2 to 100
REFUSED

check "unknown setting" 64 '' '"LastLogIdx" is no logging setting; the settings are Enable, MaxSize, MaxEntries, Severity, Options' \
    log set LastLogIdx 1
check "unknown setting to get" 64 '' 'is no logging setting' log get Colour
check "--exe with a folder" 64 '' '--exe takes an executable' log get MaxEntries --exe 'C:\Apps\app.exe'
check "--exe of .exe alone" 64 '' '--exe takes an executable' log get MaxEntries --exe .exe
check "--exe twice" 64 '' '--exe is given twice' log get MaxEntries --exe a --exe b
check "--exe without a name" 64 '' '--exe needs a value' log get MaxEntries --exe
check "unknown option" 64 '' 'unknown option --all' log get MaxEntries --all
check "set without a value" 64 '' 'usage:' log set MaxEntries
check "no verb" 64 '' 'usage:' log
check "absent value" 1 '' 'no scrambled value Config.Severity in' log get Severity --exe "$other"
check "out of range on disk" 0 '' '' ini set "$folder_windows\\log.ini" Config Severity int 9
check "is shown with a warning" 0 '9' 'Severity is outside 0 to 6; the logger replaces it with 3' \
    log get Severity --exe "$exe"

finish
