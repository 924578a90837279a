#!/usr/bin/env bash
# Runs "hxconfig log set|get|show" under Wine: the file logger's settings round-trip through
# the root and an executable's own log.ini, values outside their range are refused and leave
# the file as it was, and show prints a ring of hand-made UTF-16 log files oldest first. The
# root log.ini is machine-wide: it is put back as it was at the end.
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
check "--lines with get" 64 '' '--lines goes with log show only' log get MaxEntries --lines 2
check "set without a value" 64 '' 'usage:' log set MaxEntries
check "no verb" 64 '' 'usage:' log
check "absent value" 1 '' 'no scrambled value Config.Severity in' log get Severity --exe "$other"
check "out of range on disk" 0 '' '' ini set "$folder_windows\\log.ini" Config Severity int 9
check "is shown with a warning" 0 '9' 'Severity is outside 0 to 6; the logger replaces it with 3' \
    log get Severity --exe "$exe"

# Log files as the logger writes them: the byte-order mark FF FE, then UTF-16 LE lines ended
# by CR LF (or by the message's own LF).
log_file() { echo "$1/$2__no_host$3.log"; }
make_log() { # FOLDER EXE INDEX TEXT
    mkdir -p "$1"
    { printf '\xFF\xFE'; printf '%b' "$4" | iconv -f UTF-8 -t UTF-16LE; } >"$(log_file "$1" "$2" "$3")"
}
last_index() {
    "${command[@]}" ini set "$folder_windows\\log.ini" Config LastLogIdx int "$1" >/dev/null 2>&1
}

check "no logs yet" 1 '' "no logs for $exe in $folder_windows" log show --exe "$exe"
check "show needs --exe" 64 '' 'log show needs --exe NAME' log show
check "--lines 0" 64 '' '--lines takes a number from 1 to 1000000' log show --exe "$exe" --lines 0
check "--lines not a number" 64 '' '--lines takes a number' log show --exe "$exe" --lines x

check "ring of three" 0 '' '' log set MaxEntries 3 --exe "$exe"
make_log "$folder" "$exe" 000 'a0 é€\r\na1\r\n'
make_log "$folder" "$exe" 001 'b0\n'
make_log "$folder" "$exe" 002 'c0\r\nc1 😀\r\n'
check "no index is index 0" 0 $'b0\nc0\nc1 😀\na0 é€\na1' '' log show --exe "$exe"
expect "no carriage returns" bash -c "! grep -q $'\r' '$work/out'"
while IFS='|' read -r index shown; do
    last_index "$index"
    check "last written $index" 0 "$(printf '%b' "$shown")" '' log show --exe "$exe.exe"
done <<'RING'
0|b0\nc0\nc1 😀\na0 é€\na1
1|c0\nc1 😀\na0 é€\na1\nb0
2|a0 é€\na1\nb0\nc0\nc1 😀
7|a0 é€\na1\nb0\nc0\nc1 😀
-1|a0 é€\na1\nb0\nc0\nc1 😀
RING

last_index 1
check "last 2 lines" 0 $'a1\nb0' '' log show --exe "$exe" --lines 2
check "last line" 0 'b0' '' log show --lines 1 --exe "$exe"
check "more lines than there are" 0 $'c0\nc1 😀\na0 é€\na1\nb0' '' log show --exe "$exe" --lines 1000

# Missing files are skipped; files beyond the ring are left from a larger one.
rm "$(log_file "$folder" "$exe" 002)"
make_log "$folder" "$exe" 005 'stale\r\n'
check "missing file skipped" 0 $'a0 é€\na1\nb0' '' log show --exe "$exe"
last_index 5
check "beyond the ring, written last" 0 $'a0 é€\na1\nb0\nstale' '' log show --exe "$exe"

# A last line without its end yet, and a file just made.
last_index 1
make_log "$folder" "$exe" 001 'b0\r\nb1 half'
printf '\xFF\xFE' >"$(log_file "$folder" "$exe" 000)"
check "unended last line" 0 $'b0\nb1 half' '' log show --exe "$exe"
: >"$(log_file "$folder" "$exe" 000)"
check "empty file" 0 $'b0\nb1 half' '' log show --exe "$exe"

# Not a log of this logger: said so, the other files still shown.
printf 'plain\r\n' >"$(log_file "$folder" "$exe" 000)"
check "file without the mark" 1 $'b0\nb1 half' "__no_host000.log does not start with the byte-order mark FF FE" \
    log show --exe "$exe"

# Without a MaxEntries of its own the executable takes the root file's.
check "root ring of two" 0 '' '' log set MaxEntries 2
for index in 000 001 002; do
    make_log "$logs/_no_group/$other" "$other" "$index" "$index\r\n"
done
check "root MaxEntries counts" 0 $'001\n000' '' log show --exe "$other"

finish
