#!/usr/bin/env bash
# Fails when a file of a src/ folder includes another folder that its layer does not declare
# (headers-only use included), or when the README's layer table differs from the build's.
# Usage: check-layers.sh SOURCE_DIR LAYER_TABLE
#   LAYER_TABLE: lines "layer: used used ..." as the build declares them.
set -euo pipefail

source_dir=$1
table=$2

declare -A uses
while IFS=: read -r layer used; do
    uses[$layer]=" $(echo $used) "
done <"$table"

status=0
for folder in "$source_dir"/src/*/; do
    layer=$(basename "$folder")
    if [ -z "${uses[$layer]+set}" ]; then
        echo "src/$layer is no layer of the build"
        status=1
        continue
    fi
    while IFS= read -r line; do
        file=${line%%:*}
        included=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
        if [ "$included" != "$layer" ] && [ -n "${uses[$included]+set}" ] && [[ "${uses[$layer]}" != *" $included "* ]]; then
            echo "${file#"$source_dir"/}: includes $included/, which layer $layer does not use"
            status=1
        fi
    done < <(grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^/"]+/' "$folder"* 2>/dev/null || true)
done

# "layer:used used", single spaces, sorted by layer.
normalised() {
    sed -E 's/[[:space:]]+/ /g; s/: ?/:/; s/ $//' | sort
}

# The README's table: rows "| `layer/` | `used/`, `used/` | ... |".
readme=$(sed -nE 's/^\| `([A-Za-z]+)\/` \| ([^|]*)\|.*/\1:\2/p' "$source_dir/README.md" |
    sed -E 's/`([A-Za-z]+)\/`,?/\1/g; s/—//' | normalised)
build=$(normalised <"$table")
if [ "$readme" != "$build" ]; then
    echo "README.md's layer table differs from the build's:"
    diff <(echo "$build") <(echo "$readme") | sed 's/^</  build: /; s/^>/  README:/' | grep -E 'build|README'
    status=1
fi

[ "$status" -eq 0 ] && echo "every include stays within its layer's uses; README table matches"
exit "$status"
