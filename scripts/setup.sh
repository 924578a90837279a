#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Idempotent: does nothing (and touches no package list) when everything is present.
set -euo pipefail

packages=(cmake make mingw-w64 mingw-w64-tools wine64 libwine-dev rapidjson-dev googletest)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: installed ${missing[*]}"
