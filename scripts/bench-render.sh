#!/usr/bin/env bash
# The renderer benchmark: renders the wallpaper headless at 1920x1080 (or the --size given)
# on each texture path: ASTC uploaded compressed where the driver takes it, the S3TC twins,
# and ASTC decoded on the CPU; and prints for each the time to the first frame, the median
# time, CPU time and GL calls of a frame, the frames the late textures took, the peak memory
# and the video memory account. Other arguments go to kadrel-render --bench, e.g.
#   scripts/bench-render.sh --size 640x360 --frames 50
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -f build/build.ninja ]; then
  bash scripts/install-deps.sh
  cmake --preset default >/dev/null
fi
cmake --build --preset default --target kadrel-render >/dev/null

program=build/tools/kadrel-render/kadrel-render
size=1920x1080
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size="$2"; shift 2 ;;
    --size=*) size="${1#--size=}"; shift ;;
    *) args+=("$1"); shift ;;
  esac
done

echo "== ASTC: compressed upload (where the driver has GL_KHR_texture_compression_astc_ldr)"
env -u KADREL_ASTC_DECODE -u KADREL_TEXTURES "$program" --bench --size "$size" "${args[@]}"
echo
echo "== S3TC twins: compressed upload (where the driver has GL_EXT_texture_compression_s3tc)"
env -u KADREL_ASTC_DECODE KADREL_TEXTURES=s3tc "$program" --bench --size "$size" "${args[@]}"
echo
echo "== ASTC: decoded on the CPU"
"$program" --bench --astc-decode --size "$size" "${args[@]}"
