#!/usr/bin/env bash
# Rebuilds the shipped room models and textures from scratch with tools/bake and writes them
# into resources/. Takes a few minutes on two cores and prints its progress.
#
#   scripts/bake.sh [build-dir] [kadrel-bake options...]
#
# Options are passed on, e.g. --preview /tmp/previews to also render every camera path. The
# build type is the default build's, so that sharing build/ with it rebuilds nothing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
  build="$1"
  shift
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target kadrel-bake
exec nice -n 10 "$build/tools/bake/kadrel-bake" --out "$root/resources" "$@"
