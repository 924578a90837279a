#!/usr/bin/env bash
# Runs "hxconfig log mechanism" under Wine: the machine's "Logging Mechanism" is written
# scrambled, reads back through the product's reader, and a plain value counts as none. The
# key is machine-wide: what was there before is put back at the end.
# Usage: hxconfig_log_mechanism_test.sh WINE_RUN PREFIX HXCONFIG_EXE
set -uo pipefail

wine_run=("$1" "$2")
command=("$1" "$2" "$3")
work=$(mktemp -d)
key='HKLM\SOFTWARE\Halvex\Logging'
saved="$work/logging.reg"
"${wine_run[@]}" reg export "$key" "Z:$(sed 's|/|\\|g' <<<"$saved")" /y >/dev/null 2>&1
cleanup() {
    "${wine_run[@]}" reg delete "$key" /f >/dev/null 2>&1
    if [ -s "$saved" ]; then
        "${wine_run[@]}" reg import "Z:$(sed 's|/|\\|g' <<<"$saved")" >/dev/null 2>&1
    fi
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/command_check.sh"

"${wine_run[@]}" reg delete "$key" /f >/dev/null 2>&1
check "none set reads as trace" 0 'trace' '' log mechanism show
check "file" 0 '' '' log mechanism file
check "shows file" 0 'file' '' log mechanism show
check "file is a scrambled 1" 0 '1' '' reg get "$key" "Logging Mechanism"
check "trace" 0 '' '' log mechanism trace
check "shows trace" 0 'trace' '' log mechanism show
check "trace is a scrambled 0" 0 '0' '' reg get "$key" "Logging Mechanism"
check "file again" 0 '' '' log mechanism file

# A value anybody could type in is not the product's: it reads as none.
"${wine_run[@]}" reg add "$key" /v "Logging Mechanism" /t REG_DWORD /d 1 /f >/dev/null 2>&1
check "plain 1 reads as trace" 0 'trace' '' log mechanism show
check "the scrambled 2 reads as trace" 0 '' '' reg set "$key" "Logging Mechanism" dword 2
check "shows 2 as trace" 0 'trace' '' log mechanism show

check "unknown word" 64 '' 'takes file, trace or show, not "etw"' log mechanism etw
check "no word" 64 '' 'usage:' log mechanism
check "two words" 64 '' 'usage:' log mechanism file trace
check "with --exe" 64 '' '--exe does not go with it' log mechanism file --exe dllhost
check "refused words leave the value" 0 '2' '' reg get "$key" "Logging Mechanism"

finish
