#!/usr/bin/env bash
# Sets up, checks that the libraries include one another in one direction, then builds and runs
# the whole test suite twice: plainly with warnings as errors (preset ci), then under
# AddressSanitizer and UndefinedBehaviorSanitizer (preset asan-ci, which builds only the test
# executables and what they run). Builds are incremental (build/<preset>) and use ccache when
# present.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-layers.sh

for preset in ci asan-ci; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
