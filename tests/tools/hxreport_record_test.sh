#!/usr/bin/env bash
# Runs hxreport --record under Wine over a table of cases and compares its exact output.
# Usage: hxreport_record_test.sh WINE_RUN PREFIX HXREPORT_EXE
set -uo pipefail

command=("$1" "$2" "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check_stdin="$work/stdin"
source "$(dirname "$0")/command_check.sh"

: >"$work/stdin"
check "example record" 0 \
    '{"type":"t1","unique_id":"u1","data":[{"UniqueId":"u1"},{"Type":"t1"},{"i":"2"},{"a":"1"}]}' '' \
    --record '{"UniqueId":"u1","Type":"t1","a":"1","i":"2"}'
check "non-ASCII text goes out as UTF-8" 0 \
    '{"type":"t","unique_id":"é€😀","data":[{"UniqueId":"é€😀"},{"Type":"t"}]}' '' \
    --record '{"UniqueId":"é€😀","Type":"t"}'
check "escaped value" 0 \
    '{"type":"t","unique_id":"C:\\Program Files\\\"x\"","data":[{"UniqueId":"C:\\Program Files\\\"x\""},{"Type":"t"}]}' '' \
    --record '{"UniqueId":"C:\\Program Files\\\"x\"","Type":"t"}'

check "invalid JSON" 2 '' 'hxreport: no record: the event text is not valid JSON: Missing a comma or' \
    --record '{"UniqueId":"u1" "Type":"t1"}'
check "offset of the error" 2 '' '(offset 17)' --record '{"UniqueId":"u1" "Type":"t1"}'
for root in '["a"]' '"a"' 5 -2.5e3 null true false; do
    check "root $root" 2 '' 'hxreport: no record: the root of the event text is not an object' --record "$root"
done
check "member not a string" 2 '' 'hxreport: no record: member "n" is not a string' \
    --record '{"UniqueId":"u1","Type":"t1","n":5}'
check "no identifier" 2 '' 'hxreport: no record: the event has no "UniqueIdentifier" or "UniqueId" member' \
    --record '{"uniqueid":"u1","Type":"t1"}'
check "no type" 2 '' 'hxreport: no record: the event has no "Tracker.Type" or "Type" member' \
    --record '{"UniqueId":"u1","type":"t1"}'
check "empty text" 2 '' 'hxreport: no record: the event text is empty' --record ''

printf '{"UniqueId":"s","Type":"in"}' >"$work/stdin"
check "standard input by dash" 0 '{"type":"in","unique_id":"s","data":[{"UniqueId":"s"},{"Type":"in"}]}' '' --record -
check "standard input by default" 0 '{"type":"in","unique_id":"s","data":[{"UniqueId":"s"},{"Type":"in"}]}' '' --record
: >"$work/stdin"

printf '\xEF\xBB\xBF{"UniqueId":"f","Type":"file"}' >"$work/event.json"
check "file with byte-order mark" 0 '{"type":"file","unique_id":"f","data":[{"UniqueId":"f"},{"Type":"file"}]}' '' \
    --record --file "$(cd "$work" && pwd)/event.json"
printf '{"UniqueId":"\xff","Type":"t"}' >"$work/bad.json"
check "file not UTF-8" 2 '' 'is not valid UTF-8' --record --file "$work/bad.json"
check "missing file" 2 '' 'hxreport: cannot open' --record --file "$work/absent.json"

check "record with a reporting option" 64 '' 'usage: hxreport' --record --dispatch '{"UniqueId":"u1","Type":"t1"}'
check "unknown option" 64 '' 'usage: hxreport' --record --bogus
check "two events" 64 '' 'usage: hxreport' --record '{}' '{}'
check "file without path" 64 '' 'usage: hxreport' --record --file

finish
