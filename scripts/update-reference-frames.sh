#!/usr/bin/env bash
# Draws the renderer's reference frames (tests/renderer/reference/*.png) anew from the
# current rooms and shaders; run it after an intended change of the pictures and look at
# the new files before committing them.
#
#   scripts/update-reference-frames.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target renderer_gl_tests
KADREL_UPDATE_REFERENCES=1 EGL_PLATFORM=surfaceless \
  "$build/tests/renderer_gl_tests" --gtest_filter='ReferenceFramesGLTest.*'
