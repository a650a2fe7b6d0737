#!/usr/bin/env bash
# Instructions the processor runs per warm frame of kadrel-render with rasterisation off
# (Mesa's no-op driver), counted by callgrind: the whole process, the renderer's frame, the
# scene step and the GL calls. Loading costs the same in both runs, so the difference between
# a run of 40 and one of 10 measured frames, over 30, is one warm frame. Takes about a
# minute; counts, unlike times, repeat from run to run.
#
#   scripts/frame-instructions.sh [path/to/kadrel-render] [extra kadrel-render options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build/tools/kadrel-render/kadrel-render}"
shift || true
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export EGL_PLATFORM=surfaceless GALLIUM_NOOP=1
for frames in 10 40; do
  valgrind --tool=callgrind --callgrind-out-file="$work/$frames.out" "$program" --bench \
    --size 640x360 --frames "$frames" --resources "$root/resources" "$@" >"$work/$frames.log" 2>&1
done
grep "GL calls per frame" "$work/40.log"
# Inclusive count of the first function whose name matches, in one profile.
count() {
  callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$1" |
    awk -v pattern="$2" '!found && $0 ~ pattern { gsub(",", "", $1); print $1; found = 1 }'
}
for what in "PROGRAM TOTALS|whole process" "SceneRenderer::drawFrame\\(double\\)|renderer's frame" \
            "Scene::updateTimers\\(double\\)|scene step" "__dynamic_cast|dynamic_cast"; do
  pattern="${what%%|*}"
  label="${what#*|}"
  low="$(count "$work/10.out" "$pattern")"
  high="$(count "$work/40.out" "$pattern")"
  echo "$label: $(( (${high:-0} - ${low:-0}) / 30 )) instructions per frame"
done
