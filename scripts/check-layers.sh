#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer it may not use: the core's
# layers are built as libraries linked only downward, and this keeps their
# includes the same way round. Usage: scripts/check-layers.sh [source folder]
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"

# The layers each folder may include, besides its own.
declare -A below=(
    [base]=""
    [kernels]="base"
    [settings]="base"
    [neuron]="base settings"
    [data]="base"
    [train]="base kernels settings neuron data"
    [netfile]="base settings data train"
    [recall]="base kernels settings neuron data train netfile"
    [notes]="base kernels settings neuron data train netfile recall"
    [wizard]="base settings"
    [display]="base settings neuron data train"
    [import]="base settings neuron data"
    [cli]="base kernels settings neuron data train netfile recall notes wizard display import"
    [ui]="base kernels settings neuron data train netfile recall notes wizard display import"
    [app]="base settings ui"
)

status=0
for folder in "$src"/*/; do
    layer=$(basename "$folder")
    if [[ ! -v below[$layer] ]]; then
        echo "src/$layer: a folder the layer order does not know; add it to $0" >&2
        status=1
        continue
    fi
    allowed=" $layer ${below[$layer]} "
    while IFS=: read -r file line include; do
        used=${include%%/*}
        if [[ "$allowed" != *" $used "* ]]; then
            echo "${file#"$src"/}:$line: the $layer layer includes \"$include\" from the $used layer above it" >&2
            status=1
        fi
    done < <(grep -HnoE '^#include "[a-z_]+/[a-z_.]+"' -r "$folder" | sed -E 's/#include "(.*)"/\1/')
done
[ $status -eq 0 ] && echo "Every layer includes only itself and the layers below it."
exit $status
