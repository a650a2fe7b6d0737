#!/usr/bin/env bash
# Sets up what is missing, builds, and renders a preview of the wallpaper to out/preview.png.
# Arguments go to kadrel-render (see build/tools/kadrel-render/kadrel-render --help), e.g.
#   scripts/run.sh --room 1 --path 2 --progress 0.5
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ ! -d resources/kadrel ]; then
  echo "The rooms are missing: resources/kadrel holds the baked models and textures." >&2
  exit 1
fi

mkdir -p out
build/tools/kadrel-render/kadrel-render --out out/preview.png "$@"
echo "Preview: $(pwd)/out/preview.png"
