#!/usr/bin/env bash
# Rebuilds the shipped room models and textures from scratch with tools/bake and writes them
# into resources/. Takes a few minutes on two cores and prints its progress.
#
#   scripts/bake.sh [build-dir] [kadrel-bake options...]
#
# Options are passed on, e.g. --preview /tmp/previews to also render every camera path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kadrel-bake
exec nice -n 10 "$build/tools/bake/kadrel-bake" --out "$root/resources" "$@"
