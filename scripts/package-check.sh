#!/usr/bin/env bash
# Makes the .deb and checks it as Debian would: lintian (errors, warnings and informational
# tags), the desktop entry and the AppStream metadata as installed by the package.
# Usage: scripts/package-check.sh      (BUILD_DIR=build: the CMake build folder)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
for tool in lintian desktop-file-validate appstreamcli cpack; do
  command -v "$tool" > /dev/null ||
    { echo "package-check: $tool is missing (apt-get install lintian desktop-file-utils appstream)"; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target zelm reportf zelm_libreoffice zelm_package_docs > /dev/null
(cd "$build" && cpack -G DEB > /dev/null)
deb="$(ls -t "$build"/zelm_*_amd64.deb | head -1)"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
status=0
echo "== lintian $deb"
lintian --info --display-info --show-overrides --fail-on error,warning "$deb" || status=1
echo "== desktop-file-validate"
desktop-file-validate "$tree"/usr/share/applications/*.desktop && echo "(no messages)" || status=1
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml || status=1
exit $status
