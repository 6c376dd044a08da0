#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite twice: plainly, then under AddressSanitizer and
# UndefinedBehaviorSanitizer. Builds are incremental (build/<preset>) and use ccache when present.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

for preset in debug asan; do
    echo "=== $preset ==="
    cmake --preset "$preset" -DGRAVIK_WERROR=ON >/dev/null
    cmake --build --preset "$preset"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --preset "$preset"
done
