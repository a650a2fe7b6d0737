#!/usr/bin/env bash
# Renders every camera path of both rooms at its start, middle and end, with bloom and the
# vignette, into one labelled picture: out/contact-sheet.png. Arguments go to kadrel-render
# (--size WxH sets the size of one picture, 384x216 by default).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -f build/build.ninja ]; then
  bash scripts/install-deps.sh
  cmake --preset default >/dev/null
fi
cmake --build --preset default --target kadrel-render

mkdir -p out
build/tools/kadrel-render/kadrel-render --contact-sheet --out out/contact-sheet.png "$@"
echo "Contact sheet: $(pwd)/out/contact-sheet.png"
