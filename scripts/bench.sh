#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark under Wine in the build's prefix.
# Each prints ratios against a baseline it measures in the same run.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$root/scripts/setup.sh"
configure_and_build
start_wineserver
for bench in record_bench bus_bench report_bench filelog_bench; do
    printf '\n== %s\n' "$bench"
    "${wine_run[@]}" "$build/bench/$bench.exe"
done
