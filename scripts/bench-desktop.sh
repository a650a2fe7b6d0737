#!/usr/bin/env bash
# What the desktop program costs: CPU, wake-ups and memory of the real kadrel under Xvfb at
# 640x360 and 1920x1080 for 20, 30 and 60 fps, and while disabled.
#   scripts/bench-desktop.sh [--seconds N] [--sizes 640x360,1920x1080] [--rates 20,30,60]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kadrel
exec /usr/bin/python3 bench/desktop_bench.py build/app/kadrel "$@"
