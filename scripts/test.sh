#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh          the normal build (build/)
#   scripts/test.sh asan     the sanitizer build (build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

bash scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
