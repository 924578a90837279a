#!/usr/bin/env bash
# Installs what is missing, builds, and shows the product's main job as far as it goes:
# the analytics record that client events become.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$root/scripts/setup.sh"
echo "building (log: /tmp/pelmora-demo-build.log) ..."
configure_and_build >/tmp/pelmora-demo-build.log 2>&1 || { tail -40 /tmp/pelmora-demo-build.log; exit 1; }
start_wineserver

hxreport=$build/tools/hxreport/hxreport.exe
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
    echo
done
