#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix private to the build tree.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is booted once (under a lock, since CTest may start several tests at once).
set -euo pipefail

# Wine wants an absolute prefix; a relative one is taken from the current directory.
prefix=$(realpath -m -- "$1")
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
            # The services that wineboot leaves running must inherit neither the lock nor
            # anybody's pipe: they live as long as the prefix's server.
            "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
            touch "$prefix/.booted"
        fi
    ) 9>"$prefix/.lock"
fi

exec "$wine" "$@"
