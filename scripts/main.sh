#!/usr/bin/env bash
# Sets up, builds gravik-cli and runs it on the sample files in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset release >/dev/null
cmake --build --preset release --target gravik-cli
cli=build/release/cli/gravik-cli
"$cli" --version
for file in examples/*.gr examples/gravik_pref; do
    [[ -e "$file" ]] || continue
    echo "=== $file ==="
    "$cli" dump "$file"
done
