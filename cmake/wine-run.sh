#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix private to the build tree.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is booted once (under a lock, since CTest may start several tests at once).
set -euo pipefail

prefix=$1
shift

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

wine=${WINE:-/usr/lib/wine/wine64}

if [ ! -f "$prefix/.booted" ]; then
    mkdir -p "$prefix"
    (
        flock 9
        if [ ! -f "$prefix/.booted" ]; then
            # The services that wineboot leaves running must not inherit the lock.
            "$wine" wineboot -i >/dev/null 2>&1 9>&-
            touch "$prefix/.booted"
        fi
    ) 9>"$prefix/.lock"
fi

exec "$wine" "$@"
