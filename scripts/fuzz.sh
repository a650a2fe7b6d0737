#!/usr/bin/env bash
# Builds the fuzz targets (model, ASTC and DDS loaders, shader files, kadrel-render's options) with
# clang and runs each for a while.
#   scripts/fuzz.sh [seconds-per-target] [target...]     (default: 60, every target)
# The build goes to build-fuzz/ (or $FUZZ_BUILD_DIR); each target keeps its corpus in
# <build>/corpus/<target>, so later runs continue where earlier ones stopped. A crash leaves
# its input in <build>/artifacts/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(FuzzModelLoader FuzzAstcLoader FuzzDdsLoader FuzzShaderFiles FuzzRenderOptions)
fi
build="${FUZZ_BUILD_DIR:-build-fuzz}"

CC="${CC:-clang}" CXX="${CXX:-clang++}" cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKADREL_BUILD_FUZZ=ON \
  -DKADREL_BUILD_TESTS=OFF -DKADREL_BUILD_BENCH=OFF -DKADREL_BUILD_APP=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

# Seeds: a valid 8x8 ASTC file (one of 4x4 blocks per 4x4 texels), alone and as a chain with
# its 4x4 level; a 12-byte-stride model with one triangle.
seed() { mkdir -p "$1"; printf -- "$2" >"$1/$3"; }
astc_head='\x13\xab\xa1\x5c\x04\x04\x01'
blocks4="$(printf '\\xfc\\xfd\\xff\\xff\\xff\\xff\\xff\\xff\\x00\\x80\\x00\\x80\\x00\\x80\\xff\\xff%.0s' 1 2 3 4)"
seed "$build/corpus/FuzzAstcLoader" "\x00${astc_head}\x08\x00\x00\x08\x00\x00\x01\x00\x00${blocks4}" single
seed "$build/corpus/FuzzAstcLoader" "\x01\x50\x00${astc_head}\x08\x00\x00\x08\x00\x00\x01\x00\x00${blocks4}${astc_head}\x04\x00\x00\x04\x00\x00\x01\x00\x00\xfc\xfd\xff\xff\xff\xff\xff\xff\x00\x80\x00\x80\x00\x80\xff\xff" chain
# The S3TC twins: the shipped sky's twin alone, and the 1x1 ends of a shipped chain.
mkdir -p "$build/corpus/FuzzDdsLoader"
{ printf '\x00'; cat resources/kadrel/textures/room22.dds; } >"$build/corpus/FuzzDdsLoader/single"
{ printf '\x01\x88\x00'; cat resources/kadrel/textures/room1_10.dds resources/kadrel/textures/room1_11.dds; } \
  >"$build/corpus/FuzzDdsLoader/chain"
seed "$build/corpus/FuzzModelLoader" "\x0c\x24\x00$(printf '\\x00%.0s' $(seq 36))\x00\x00\x01\x00\x02\x00" triangle
# A shader function and the helpers on disk; command lines of each mode.
seed "$build/corpus/FuzzShaderFiles" '\x05vertexShaderColor\x00#version 330 core\nvoid main() {}\n\x00float h();' function
seed "$build/corpus/FuzzRenderOptions" '--size\x00640x360\x00--time=1500\x00--frames\x003\x00--out\x00f-%%04d.png' frames
seed "$build/corpus/FuzzRenderOptions" '--room\x001\x00--path=3\x00--progress\x000.5\x00--reverse\x00--no-vignette' placed
seed "$build/corpus/FuzzRenderOptions" '--contact-sheet\x00--size=100x50\x00--seed\x0042' sheet
seed "$build/corpus/FuzzRenderOptions" '--bench\x00--fps\x0060\x00--camera-period\x002.5\x00--astc-decode' bench

status=0
for target in "${targets[@]}"; do
  mkdir -p "$build/artifacts"
  echo "== $target: ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$build/corpus/$target" || status=1
done
exit $status
