#!/usr/bin/env bash
# Reports events through COM with hxreport under Wine, against the registered Pelmora.dll and
# the development bus library, and compares its output and the records in the bus's message log.
# Usage: hxreport_com_test.sh WINE_RUN PREFIX HXREPORT_EXE PELMORA_DLL EVENTRELAY_DLL
set -uo pipefail

wine_run=("$1" "$2")
hxreport=$3
pelmora=$4
relay_copy=$(dirname "$hxreport")/EventRelay.dll
work=$(mktemp -d)
cleanup() {
    "${wine_run[@]}" regsvr32 /s /u "$pelmora" >/dev/null 2>&1
    rm -f "$relay_copy"
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
passed=0

fail() {
    echo "FAILED: $1"
    shift
    printf '  %s\n' "$@"
    failures=$((failures + 1))
}

# The bus client finds the library beside the executable; the log goes where we read it.
cp "$5" "$relay_copy" || exit 1
log=$work/messages.jsonl
: >"$log"
EVENTRELAY_LOG=$("${wine_run[@]}" winepath -w "$log" | tr -d '\r')
export EVENTRELAY_LOG

# What a person would check of each record: its name, alias and payload, in log order.
records_since() {
    tail -n +"$(($1 + 1))" "$log" | sed -E 's/^\{"time":"[^"]*","pid":[0-9]+,(.*),"flags":.*$/\1/'
}

record() { printf '"name":"Analytics.v1.AddRecord","alias":"Strivan.LegacyCOM","payload":"%s"' "$1"; }

times() {
    local i
    for ((i = 0; i < $1; i++)); do echo "$2"; done
}

# check NAME EXPECTED_STATUS EXPECTED_STDOUT_GLOB EXPECTED_STDERR_PART EXPECTED_RECORDS ARGS...
# (standard input from $work/stdin; the records are the lines the call adds to the log)
check() {
    local name=$1 want_status=$2 want_out=$3 want_err=$4 want_records=$5
    shift 5
    local before out err status records
    before=$(wc -l <"$log")
    "${wine_run[@]}" "$hxreport" "$@" <"$work/stdin" >"$work/out" 2>"$work/err"
    status=$?
    out=$(tr -d '\r' <"$work/out")
    err=$(tr -d '\r' <"$work/err")
    records=$(records_since "$before")
    # shellcheck disable=SC2053 # the expected output is a pattern
    if [ "$status" != "$want_status" ] || [[ "$out" != $want_out ]] || [[ "$err" != *"$want_err"* ]] ||
        [ "$records" != "$want_records" ]; then
        fail "$name" "status $status (want $want_status)" "stdout: $out" "want:   $want_out" \
            "stderr: $err" "want part: $want_err" "records: $records" "want:    $want_records"
    else
        passed=$((passed + 1))
    fi
}

: >"$work/stdin"
if ! "${wine_run[@]}" regsvr32 /s "$pelmora"; then
    fail "regsvr32 /s Pelmora.dll" "exit status $?"
fi

check "through IHxClientAnalytics" 0 'ReportEventData: S_OK (0x00000000)' '' \
    "$(record '{\"type\":\"t1\",\"unique_id\":\"u1\",\"data\":[{\"UniqueId\":\"u1\"},{\"Type\":\"t1\"},{\"i\":\"2\"},{\"a\":\"1\"}]}')" \
    '{"UniqueId":"u1","Type":"t1","a":"1","i":"2"}'
check "through IDispatch, non-ASCII text" 0 'Invoke: S_OK (0x00000000)' '' \
    "$(record '{\"type\":\"Install\",\"unique_id\":\"é€😀\",\"data\":[{\"UniqueIdentifier\":\"é€😀\"},{\"Tracker.Type\":\"Install\"}]}')" \
    --dispatch '{"UniqueIdentifier":"é€😀","Tracker.Type":"Install"}'
printf '{"UniqueId":"f","Type":"file","Path":"C:\\\\x \\"y\\""}' >"$work/event.json"
check "from a file, in the MTA" 0 'ReportEventData: S_OK (0x00000000)' '' \
    "$(record '{\"type\":\"file\",\"unique_id\":\"f\",\"data\":[{\"UniqueId\":\"f\"},{\"Type\":\"file\"},{\"Path\":\"C:\\\\x \\\"y\\\"\"}]}')" \
    --mta --file "$work/event.json"
printf '{"UniqueId":"s","Type":"in"}' >"$work/stdin"
check "from standard input, through IDispatch in the MTA" 0 'Invoke: S_OK (0x00000000)' '' \
    "$(record '{\"type\":\"in\",\"unique_id\":\"s\",\"data\":[{\"UniqueId\":\"s\"},{\"Type\":\"in\"}]}')" \
    --dispatch --mta
: >"$work/stdin"

check "event without a type publishes nothing" 0 'ReportEventData: S_OK (0x00000000)' '' '' '{"UniqueId":"u1"}'
check "event that is not JSON publishes nothing" 0 'Invoke: S_OK (0x00000000)' '' '' --dispatch 'not json'
check "empty event" 1 'ReportEventData: E_INVALIDARG (0x80070057)' '' '' ''
check "empty event through IDispatch" 1 'Invoke: E_INVALIDARG (0x80070057)' '' '' --dispatch ''
check "unreadable file" 1 '' 'hxreport: cannot open' '' --file "$work/absent.json"

speed='[0-9]* reports/s, latency p50 [0-9]*.[0-9][0-9][0-9] ms, p99 [0-9]*.[0-9][0-9][0-9] ms'
check "two threads, each its own STA" 0 \
    "2 threads x 5 reports, one object per thread (STA), through IHxClientAnalytics
ReportEventData: S_OK (0x00000000) for all 10 reports
$speed" '' \
    "$(times 10 "$(record '{\"type\":\"t\",\"unique_id\":\"sta\",\"data\":[{\"UniqueId\":\"sta\"},{\"Type\":\"t\"}]}')")" \
    --threads 2 --count 5 '{"UniqueId":"sta","Type":"t"}'
check "two threads, one MTA object, through IDispatch" 0 \
    "2 threads x 5 reports, one object shared by all threads (MTA), through IDispatch
Invoke: S_OK (0x00000000) for all 10 reports
$speed" '' \
    "$(times 10 "$(record '{\"type\":\"t\",\"unique_id\":\"mta\",\"data\":[{\"UniqueId\":\"mta\"},{\"Type\":\"t\"}]}')")" \
    --mta --dispatch --threads 2 --count 5 '{"UniqueId":"mta","Type":"t"}'
check "threads reporting an empty event" 1 \
    "3 threads x 1 reports, one object per thread (STA), through IHxClientAnalytics
3 of 3 reports failed, the first with ReportEventData: E_INVALIDARG (0x80070057)
$speed" '' '' --threads 3 ''

if ! "${wine_run[@]}" regsvr32 /s /u "$pelmora"; then
    fail "regsvr32 /s /u Pelmora.dll" "exit status $?"
fi
hint='hxreport: CLSID_AnalyticsAPI is not registered; run regsvr32 Pelmora.dll'
check "class not registered" 1 'CoCreateInstance: REGDB_E_CLASSNOTREG (0x80040154)' "$hint" '' \
    '{"UniqueId":"u1","Type":"t1"}'
check "class not registered, threads in the MTA" 1 'CoCreateInstance: REGDB_E_CLASSNOTREG (0x80040154)' \
    "$hint" '' --mta --threads 2 '{"UniqueId":"u1","Type":"t1"}'
check "class not registered, threads in their STAs" 1 'CoCreateInstance: REGDB_E_CLASSNOTREG (0x80040154)' \
    "$hint" '' --dispatch --threads 2 '{"UniqueId":"u1","Type":"t1"}'

for usage in "--threads 0" "--threads 257" "--count 1000001" "--threads x" "--count" "--record --dispatch" \
    "--record --threads 2" "--bogus" "{} {}"; do
    # shellcheck disable=SC2086 # each entry is a command line
    check "usage: $usage" 64 '' 'usage: hxreport' '' $usage
done

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
