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
start_wineserver() {
    mkdir -p "$prefix"
    WINEPREFIX=$prefix "$wineserver" -p
    trap stop_wineserver EXIT
}

stop_wineserver() {
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
}
