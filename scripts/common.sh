# Shared by the scripts: paths, configure-and-build, and the Wine server of the build's prefix.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
prefix=$build/wineprefix
wine_run=("$root/cmake/wine-run.sh" "$prefix")
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

configure_and_build() {
    cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
}

# One server for the whole run spares every Wine process its start-up; it goes when we do.
# The server and the prefix's services (started here by a trivial Wine process) inherit the
# descriptors of whoever starts them and live as long as the server: they get /dev/null, or a
# reader of a test's output (CTest, a pipe) would wait for them for ever.
start_wineserver() {
    mkdir -p "$prefix"
    local status=0
    quietly env WINEPREFIX="$prefix" "$wineserver" -p || status=$?
    if [ "$status" -eq 2 ]; then
        echo "$(basename "$0"): a Wine server of $prefix was still running (from a run that was stopped); restarting it"
        stop_wineserver
        quietly env WINEPREFIX="$prefix" "$wineserver" -p
    elif [ "$status" -ne 0 ]; then
        echo "$(basename "$0"): cannot start the Wine server of $prefix (exit status $status)" >&2
        exit 1
    fi
    trap stop_wineserver EXIT
    quietly "${wine_run[@]}" cmd /c exit 0
}

# Ends every Wine process of the prefix with its server, and waits until they are gone.
stop_wineserver() {
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null || true
}

quietly() {
    "$@" </dev/null >/dev/null 2>&1
}
