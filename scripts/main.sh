#!/usr/bin/env bash
# Sets up, builds gravik-cli and runs it: a new document is created and described, and the
# sample files in examples/ are described and listed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset release >/dev/null
cmake --build --preset release --target gravik-cli
cli=build/release/cli/gravik-cli
"$cli" --version

mkdir -p build/out
"$cli" new --width 468 --height 60 --background 3366CCFF --name Banner -o build/out/banner.gr
"$cli" info build/out/banner.gr
for file in examples/*.gr; do
    echo "=== $file ==="
    "$cli" info "$file"
done
echo "=== examples/gravik_pref ==="
"$cli" dump examples/gravik_pref
