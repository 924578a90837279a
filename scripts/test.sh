#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"

"$root/scripts/setup.sh"
configure_and_build
start_wineserver
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
