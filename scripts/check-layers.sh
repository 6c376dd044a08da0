#!/usr/bin/env bash
# Checks that the libraries include one another in one direction only: every source and header
# may include headers of its own layer or of layers below it. Prints each include that reaches
# upwards and exits 1 when there is one.
#
# Layers, lowest first: toolkit (with the geometry value types), guilib and 3dkit, the merge
# methods, raster, rasterio, 2dkit, the engine (Engine/, the vector objects of 2dkit/ with their
# text attributes and paint set-up, the app/ parts with headers in app/hdr/engine), app, and the
# top: the translators, the programs (cli, ui, examples) and the filter plug-ins (addons).
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(toolkit guilib 3dkit raster rasterio 2dkit Engine app translators cli ui addons examples)

# Sets `layer` to the layer of the file at $1.
layer_of() {
    local path=$1 base=${1##*/}
    case $path in
    toolkit/* | guilib/hdr/geometry/*) layer=0 ;;
    guilib/* | 3dkit/*) layer=1 ;;
    Engine/hdr/merge/* | Engine/src/yk_composition* | Engine/src/YKAlphaBlend.*) layer=2 ;;
    raster/*) layer=3 ;;
    rasterio/*) layer=4 ;;
    2dkit/*/YKVector* | 2dkit/*/YKTextAttributes* | 2dkit/*/yk_vector_* | 2dkit/*/yk_paint_setup* | \
    2dkit/*/yk_box_corners.* | 2dkit/*/yk_bezier_*) layer=6 ;;
    2dkit/*) layer=5 ;;
    Engine/* | app/hdr/engine/*) layer=6 ;;
    app/src/*) if [[ -e app/hdr/engine/${base%.*}.h ]]; then layer=6; else layer=7; fi ;;
    app/*) layer=7 ;;
    *) layer=8 ;;
    esac
}

# The layer of every header, by the name it is included with.
declare -A header_layer
while IFS= read -r header; do
    layer_of "$header"
    header_layer[${header##*/}]=$layer
done < <(find "${folders[@]}" 2>/dev/null -name '*.h')

status=0
while IFS= read -r file; do
    layer_of "$file"
    own=$layer
    while IFS= read -r included; do
        target=${header_layer[${included##*/}]:-}
        if [[ -n $target && $target -gt $own ]]; then
            echo "$file (layer $own) includes $included (layer $target)"
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "${folders[@]}" 2>/dev/null \( -name '*.h' -o -name '*.cpp' \))
exit $status
