#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the wallpaper on this desktop (X11, or Wayland
# through XWayland). Where there is no display, it renders a preview to out/preview.png
# instead and says so.
#   scripts/run.sh                      the wallpaper (or the preview where there's no display)
#   scripts/run.sh --preview [OPTIONS]  the preview; OPTIONS go to kadrel-render, e.g.
#                                       --room 1 --path 2 --progress 0.5
set -euo pipefail
cd "$(dirname "$0")/.."

preview=false
if [ "${1:-}" = "--preview" ]; then
  preview=true
  shift
fi

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ ! -d resources/kadrel ]; then
  echo "The rooms are missing: resources/kadrel holds the baked models and textures." >&2
  exit 1
fi

# A display this session can draw on: X11, or XWayland beside a Wayland compositor.
if ! $preview && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting Kadrel as the wallpaper of display $DISPLAY."
  echo "It keeps running: quit it from its tray icon's menu, with Ctrl+C here, or with"
  echo "'build/app/kadrel --disable' to take it off the screen for a while."
  exec build/app/kadrel
fi

if ! $preview; then
  echo "No display to put the wallpaper on here (DISPLAY is unset or unreachable):"
  echo "rendering a preview of it instead."
fi
mkdir -p out
build/tools/kadrel-render/kadrel-render --out out/preview.png "$@"
echo "Preview: $(pwd)/out/preview.png"
