#!/usr/bin/env bash
# Installs what is missing, builds, and runs the product's main job on a fresh Wine machine:
# a client reports events through COM and the development bus records what it receives.
set -euo pipefail
source "$(dirname "$0")/common.sh"

# A machine of the demo's own, never the tests' prefix; made anew on every run.
prefix=$build/demo-prefix
wine_run=("$root/cmake/wine-run.sh" "$prefix")
hxreport=$build/tools/hxreport/hxreport.exe
hxconfig=$build/tools/hxconfig/hxconfig.exe
pelmora=$build/src/com/Pelmora.dll
install_dir='C:\Program Files\Halvex\Tamrok'
message_log=$prefix/drive_c/ProgramData/EventRelay/messages.jsonl

step() { printf '\n== %s\n' "$*"; }

# The message log's payload is a JSON string; this undoes its escapes for reading.
print_messages() {
    perl -CS -ne '
        my ($time, $pid, $name, $alias, $payload) =
            /^\{"time":"([^"]*)","pid":(\d+),"name":"((?:\\.|[^"\\])*)","alias":"((?:\\.|[^"\\])*)","payload":"((?:\\.|[^"\\])*)"/
            or next;
        my %short = ("b" => "\b", "f" => "\f", "n" => "\n", "r" => "\r", "t" => "\t");
        for ($name, $alias, $payload) {
            s/\\(?:u([0-9a-fA-F]{4})|(.))/defined $1 ? chr(hex $1) : ($short{$2} \/\/ $2)/ge;
        }
        printf "message %d  %s  (process %d)\n  name:    %s\n  alias:   %s\n  payload: %s\n",
            $., $time, $pid, $name, $alias, $payload;
    ' "$1"
}

"$root/scripts/setup.sh"
echo "building (log: /tmp/pelmora-demo-build.log) ..."
configure_and_build >/tmp/pelmora-demo-build.log 2>&1 || { tail -40 /tmp/pelmora-demo-build.log; exit 1; }

step "a fresh Wine machine in build/demo-prefix (booting takes a few seconds)"
stop_wineserver
rm -rf "$prefix"
start_wineserver
"${wine_run[@]}" cmd /c ver | tr -d '\r' | grep .

step "what client events become: the record each would be published as (hxreport --record)"
events=(
    '{"UniqueId":"u1","Type":"t1","a":"1","i":"2"}'
    '{"UniqueIdentifier":"3f2c9a","Tracker.Type":"Install","Product":"Viewer","Path":"C:\\Program Files\\Viewer"}'
    '{"UniqueId":"u2","Type":"PageView","Page":"Settings","Note":"said \"hi\""}'
    '{"UniqueId":"u3","Count":7}'
)
for event in "${events[@]}"; do
    echo "event:  $event"
    printf 'record: '
    "${wine_run[@]}" "$hxreport" --record "$event" || echo "        (exit status $?: no record)"
done

step "regsvr32 /s Pelmora.dll"
"${wine_run[@]}" regsvr32 /s "$pelmora"
"${wine_run[@]}" reg query 'HKCR\CLSID\{E782BE15-9936-4A7F-8DF9-9AB95D229DF1}\InprocServer32' | tr -d '\r' | grep .

step "the development bus library in its install folder, $install_dir"
mkdir -p "$prefix/drive_c/Program Files/Halvex/Tamrok"
cp "$build/tools/eventrelay/EventRelay.dll" "$prefix/drive_c/Program Files/Halvex/Tamrok/"
"${wine_run[@]}" reg add 'HKLM\SOFTWARE\HALVEX\TAMROK' /v 'Install Dir' /t REG_SZ /d "$install_dir" /f >/dev/null
"${wine_run[@]}" reg query 'HKLM\SOFTWARE\HALVEX\TAMROK' /v 'Install Dir' | tr -d '\r' | grep .
if [ -e "$(dirname "$hxreport")/EventRelay.dll" ]; then
    echo "note: an EventRelay.dll beside hxreport.exe is found first and used instead"
fi

step "the product's own diagnostics into log files (hxconfig log ...)"
"${wine_run[@]}" "$hxconfig" log mechanism file
echo "Logging Mechanism: $("${wine_run[@]}" "$hxconfig" log mechanism show | tr -d '\r')"
# Severity 1 lets the Normal and Warning lines through, not only errors.
"${wine_run[@]}" "$hxconfig" log set Severity 1 --exe hxreport
echo "Severity for hxreport.exe: $("${wine_run[@]}" "$hxconfig" log get Severity --exe hxreport | tr -d '\r')"

step "hxreport reports three events through COM"
# The bus then logs to its default place, EventRelay\messages.jsonl under ProgramData.
unset EVENTRELAY_LOG
rm -f "$message_log"
report() {
    echo "\$ hxreport $*"
    "${wine_run[@]}" "$hxreport" "$@" || echo "(exit status $?)"
}
report '{"UniqueId":"u1","Type":"t1","a":"1","i":"2"}'
report --dispatch '{"UniqueIdentifier":"3f2c9a","Tracker.Type":"Install","Product":"Viewer","Path":"C:\\Program Files\\Viewer"}'
echo "(the next event has no type: the object logs a warning, publishes nothing and returns S_OK)"
report '{"UniqueId":"u3","Count":"7"}'

step "what the bus received: C:\\ProgramData\\EventRelay\\messages.jsonl"
if [ -s "$message_log" ]; then
    print_messages "$message_log"
else
    echo "(no message)"
fi

step "what the product logged in hxreport.exe (hxconfig log show --exe hxreport)"
echo "(C:\\ProgramData\\Halvex\\HXLOGS\\_no_group\\hxreport\\, UTF-16 files shown as UTF-8)"
"${wine_run[@]}" "$hxconfig" log show --exe hxreport | tr -d '\r' || echo "(no log lines)"
