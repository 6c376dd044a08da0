#!/usr/bin/env bash
# Sets up, builds and runs the main job: the sample programs build the sample banner and the 3D
# sample through Gravik's own classes, gravik-cli describes the banner and renders every frame of
# both as PNGs into build/out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset release >/dev/null
cmake --build --preset release --target gravik-cli gravik-samples
cli=build/release/cli/gravik-cli
"$cli" --version

mkdir -p build/out
build/release/examples/gravik-samples build/out
"$cli" info build/out/sample_banner.gr
"$cli" render build/out/sample_banner.gr --all -o build/out/sample_banner.png
echo "The frames of the sample banner are build/out/sample_banner_001.png to _020.png."
# The turning torus, drawn through OSMesa.
"$cli" render build/out/sample_3d.gr --all -o build/out/sample_3d.png
echo "The frames of the 3D sample are build/out/sample_3d_001.png to _024.png."

# Exports: each line printed is a file written and its size.
banner=build/out/sample_banner
"$cli" export "$banner.gr" --loop 0 -o "$banner.gif"
"$cli" export "$banner.gr" --frame 1 -o "${banner}_frame1.png"
# Lossless WebP through the GIF's 256-colour palette, then of the true-colour frames.
"$cli" export "$banner.gr" --loop 0 --colors 256 -o "$banner.webp"
"$cli" export "$banner.gr" --loop 0 -o "${banner}_truecolor.webp"
"$cli" export "$banner.gr" --option js_frame_onMouseOver=11 -o "${banner}_rollover.html"
