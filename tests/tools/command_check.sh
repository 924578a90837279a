# Shared by the command-line tests. Set the array `command` (the program to run, under Wine)
# and the folder `work`, then call:
#   check NAME EXPECTED_STATUS EXPECTED_STDOUT EXPECTED_STDERR_PART ARGS...
# Standard input comes from the file named by check_stdin (default: nothing). Carriage
# returns are dropped from standard output. `expect NAME COMMAND...` counts as a check that
# passes when the command succeeds. `finish` prints the tally and fails on any failure.
passed=0
failures=0

check() {
    local name=$1 want_status=$2 want_out=$3 want_err=$4
    shift 4
    local out err status
    "${command[@]}" "$@" <"${check_stdin:-/dev/null}" >"$work/out" 2>"$work/err"
    status=$?
    out=$(tr -d '\r' <"$work/out")
    err=$(cat "$work/err")
    if [ "$status" != "$want_status" ] || [ "$out" != "$want_out" ] || [[ "$err" != *"$want_err"* ]]; then
        echo "FAILED: $name"
        echo "  status $status (want $want_status)"
        echo "  stdout: $out"
        echo "  want:   $want_out"
        echo "  stderr: $err"
        echo "  want part: $want_err"
        failures=$((failures + 1))
    else
        passed=$((passed + 1))
    fi
}

expect() {
    local name=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $name"
        failures=$((failures + 1))
    fi
}

finish() {
    echo "$passed passed, $failures failed"
    [ "$failures" -eq 0 ]
}
