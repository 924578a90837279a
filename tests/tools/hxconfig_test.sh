#!/usr/bin/env bash
# Runs hxconfig under Wine: scrambled registry and INI values round-trip, plain values stay
# invisible, every write reads back through the product's readers or is refused, and the
# library block list can be set, listed and cleared.
# Usage: hxconfig_test.sh WINE_RUN PREFIX HXCONFIG_EXE
set -uo pipefail

wine_run=("$1" "$2")
command=("$1" "$2" "$3")
work=$(mktemp -d)
key="HKCU\\Software\\PelmoraTests\\hxconfig-$$"
library="HxConfigTest$$.dll"
cleanup() {
    "${wine_run[@]}" reg delete "$key" /f >/dev/null 2>&1
    "${wine_run[@]}" reg delete "HKLM\\SOFTWARE\\Halvex\\Tamrok\\List\\hxconfigtest$$.dll" /f >/dev/null 2>&1
    "${wine_run[@]}" reg delete "HKLM\\SOFTWARE\\Halvex\\Tamrok\\List\\eventrelay.dll" /v "9.$$" /f >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/command_check.sh"

check "set dword" 0 '' '' reg set "$key" "Logging Mechanism" dword 1
check "get dword" 0 '1' '' reg get "$key" "Logging Mechanism"
check "set hex dword" 0 '' '' reg set "$key" big dword 0xFFFFFFFF
check "get hex dword" 0 '4294967295' '' reg get "$key" big
check "set qword" 0 '' '' reg set "$key" q qword 18446744073709551615
check "get qword" 0 '18446744073709551615' '' reg get "$key" q
check "set sz" 0 '' '' reg set "$key" "Log Path" sz 'C:\Logs\é€'
check "get sz" 0 'C:\Logs\é€' '' reg get "$key" "Log Path"
check "set multi_sz" 0 '' '' reg set "$key" list multi_sz one "two words" three
check "get multi_sz" 0 $'one\ntwo words\nthree' '' reg get "$key" list
check "delete" 0 '' '' reg delete "$key" list
check "get deleted" 1 '' "cannot read" reg get "$key" list
check "dword with two values" 1 '' 'needs exactly one value' reg set "$key" x dword 1 2
check "unknown type" 64 '' 'usage:' reg set "$key" x binary 00
check "unknown root" 64 '' 'usage:' reg get "HKXX\\Software" x

"${wine_run[@]}" reg add "$key" /v plain /t REG_DWORD /d 1 /f >/dev/null 2>&1
check "plain value is invalid data" 1 '' '(13)' reg get "$key" plain

# An empty item would end the stored list there.
for items in "a '' b" "'' a" "a ''"; do
    eval "list=($items)"
    check "multi_sz $items" 64 '' 'items cannot be empty' reg set "$key" holes multi_sz "${list[@]}"
done
check "refused list is not written" 1 '' 'cannot read' reg get "$key" holes

# Numbers are decimal or 0x-hexadecimal, never octal; only an INI integer takes a sign. A
# refused number writes nothing.
numbers="$work/numbers.ini"
row=0
while IFS='|' read -r type text shown; do
    row=$((row + 1))
    if [ "$type" = int ]; then
        group=ini
        where=("$numbers" Numbers "n$row")
        absent='no scrambled value'
    else
        group=reg
        where=("$key" "n$row")
        absent='cannot read'
    fi
    if [ "$shown" = refused ]; then
        check "$type '$text' refused" 1 '' "\"$text\" is not a" "$group" set "${where[@]}" "$type" "$text"
        check "$type '$text' not written" 1 '' "$absent" "$group" get "${where[@]}"
    else
        check "$type '$text'" 0 '' '' "$group" set "${where[@]}" "$type" "$text"
        check "$type '$text' reads $shown" 0 "$shown" '' "$group" get "${where[@]}"
    fi
done <<'NUMBERS'
dword|010|10
dword|08|8
dword|0x1F|31
dword|0XfF|255
dword|4294967295|4294967295
dword|4294967296|refused
dword|0x100000000|refused
dword| 1|refused
dword|1 |refused
dword|-1|refused
dword|+1|refused
dword|0x|refused
dword||refused
dword|one|refused
dword|1e3|refused
qword|010|10
qword|0xFFFFFFFFFFFFFFFF|18446744073709551615
qword|18446744073709551616|refused
qword|-1|refused
qword| 5|refused
int|010|10
int|-5|-5
int|+5|5
int|-2147483648|-2147483648
int|0x7FFFFFFF|2147483647
int|2147483648|refused
int|0x80000000|refused
int| 5|refused
int|5 |refused
int|-0x5|refused
int||refused
int|2x|refused
NUMBERS

ini="$work/log.ini"
check "ini set int" 0 '' '' ini set "$ini" Config Severity int 2
check "ini set text" 0 '' '' ini set "$ini" Config Note text 'hello world'
check "ini get int" 0 '2' '' ini get "$ini" Config Severity
check "ini get text" 0 'hello world' '' ini get "$ini" Config Note
printf '[Plain]\r\nSeverity=2\r\n' >>"$ini"
check "ini plain value is invisible" 1 '' 'no scrambled value Plain.Severity' ini get "$ini" Plain Severity
check "ini missing file" 1 '' 'no scrambled value' ini get "$work/absent.ini" Config Severity

# The product reads INI files as ANSI text: a UTF-16 file is refused and left as it was.
while read -r file bom encoding; do
    { [ "$bom" = - ] || printf "$bom"; printf '[Config]\r\nSeverity=1\r\n' | iconv -t "$encoding"; } >"$work/$file"
    cp "$work/$file" "$work/$file.before"
    check "UTF-16 $file refused" 1 '' 'is UTF-16 text' ini set "$work/$file" Config Severity int 2
    expect "UTF-16 $file unchanged" cmp -s "$work/$file" "$work/$file.before"
done <<'ENCODINGS'
le-bom.ini \xFF\xFE UTF-16LE
be-bom.ini \xFE\xFF UTF-16BE
le.ini - UTF-16LE
be.ini - UTF-16BE
ENCODINGS

# Names the product's reader cannot find again: the file is left as it was, or not made.
for name in 'a=b' ';note'; do
    cp "$ini" "$work/before.ini"
    check "ini name $name does not read back" 1 '' 'does not read back' ini set "$ini" Config "$name" text x
    expect "ini name $name leaves the file" cmp -s "$ini" "$work/before.ini"
    check "ini name $name in a new file" 1 '' 'does not read back' ini set "$work/new.ini" Config "$name" int 1
    expect "ini name $name makes no file" test ! -e "$work/new.ini"
done

check "block" 0 '' '' block "$library" 2.1.0.7
check "block another" 0 '' '' block "$library" 3.0.0.1
check "blocked lists both" 0 $'2.1.0.7\n3.0.0.1' '' blocked "$library"
check "unblock" 0 '' '' unblock "$library" 2.1.0.7
check "blocked after unblock" 0 '3.0.0.1' '' blocked "$library"
check "unblock unknown version" 1 '' 'cannot unblock' unblock "$library" 9.9
check "blocked of an unknown library" 0 '' '' blocked "NeverBlocked$$.dll"
check "block without a name" 64 '' 'usage:' block '' 1.0
check "block a path" 64 '' 'usage:' block 'C:\Bus\Lib.dll' 1.0
for known in EventRelay.dll EVENTRELAY.DLL; do
    check "block $known" 1 '' 'is never checked against the block list' block "$known" "9.$$"
done
"${command[@]}" blocked EventRelay.dll >"$work/listed" 2>&1
not_listed() { ! tr -d '\r' <"$work/listed" | grep -qx "$1"; }
expect "refused entry is not written" not_listed "9.$$"
check "no command" 64 '' 'usage:'

finish
