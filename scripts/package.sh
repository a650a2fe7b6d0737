#!/usr/bin/env bash
# Builds the Debian package out/kadrel_<version>_amd64.deb with CPack and checks it with
# lintian. Install it with: sudo apt install ./out/kadrel_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! command -v lintian >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian
  else
    echo "The package check needs lintian. Run:" >&2
    echo "  sudo apt-get install -y lintian" >&2
    exit 1
  fi
fi
cmake --preset default >/dev/null
cmake --build --preset default --target kadrel kadrel-render kadrel_packaging
mkdir -p out
(cd build && cpack -G DEB -B "$PWD/../out" >/dev/null)
rm -rf out/_CPack_Packages
deb=$(ls -t out/kadrel_*_amd64.deb | head -1)
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends Recommends Installed-Size
# Warnings and errors would print here; informational tags too.
lintian --tag-display-limit 0 --info --display-info "$deb" || true
