#!/usr/bin/env bash
# Runs the real kadrel for a long time on a throw-away desktop and samples its memory, CPU and
# open files every 10 s (out/soak.csv), with a summary at the end.
#   scripts/soak.sh [--minutes 60] [PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=60
program=build/app/kadrel
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    *) program="$1"; shift ;;
  esac
done
bash scripts/install-deps.sh
if [ "$program" = build/app/kadrel ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target kadrel
fi
mkdir -p out
exec /usr/bin/python3 bench/soak.py "$program" --minutes "$minutes" --out out/soak.csv
