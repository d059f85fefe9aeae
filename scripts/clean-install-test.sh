#!/usr/bin/env bash
# Installs the .deb into a fresh Debian 12 root, as a new user would, and takes it out again:
# builds the package, makes the root with mmdebstrap, installs the package there with apt,
# runs `zelm --version` and the program on a virtual display, then purges the package and its
# dependencies and checks that nothing is left but the user's data (as piuparts does).
# Needs root (chroot, mounts) and Debian's mirror. Not part of the test suite.
# Usage: scripts/clean-install-test.sh [log file]   (default build/clean-install.log)
#   BUILD_DIR=build   the CMake build folder the package is made in
#   WITH_RECOMMENDS=1 install LibreOffice and the other recommended packages too
#   MIRROR=URL        the Debian mirror (default: http://deb.debian.org/debian)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
log="$(realpath -m "${1:-$build/clean-install.log}")"
mirror="${MIRROR:-http://deb.debian.org/debian}"
mkdir -p "$(dirname "$log")"
exec > >(tee "$log") 2>&1

if [ "$(id -u)" -ne 0 ]; then
  echo "clean-install-test: run as root (chroot and mounts)"; exit 1
fi
for tool in mmdebstrap cpack; do
  command -v "$tool" > /dev/null || { echo "clean-install-test: $tool is missing"; exit 1; }
done

echo "== $(date -u '+%F %T') building the package in $build"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target zelm reportf zelm_libreoffice zelm_package_docs
(cd "$build" && cpack -G DEB > /dev/null)
deb="$(ls -t "$build"/zelm_*_amd64.deb | head -1)"
echo "package: $deb"
dpkg-deb --field "$deb"

work="$(mktemp -d /var/tmp/zelm-clean-install.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp "$deb" "$work/zelm.deb"

# What runs inside the root. The user and the virtual display's packages belong to the base
# system, made before the first listing, so that only the package's own traces are compared.
cat > "$work/inside.sh" <<'INSIDE'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
listing() {
  find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
      -o -path /var/tmp -o -path /var/cache -o -path /var/log -o -path /var/lib/apt \
      -o -path /var/lib/dpkg -o -path /home/clerk -o -path /root \) -prune -o -print | sort
}
useradd --create-home --shell /bin/bash clerk
listing > /tmp/before.txt
echo "== base system: $(dpkg-query -W | wc -l) packages"

if [ "${WITH_RECOMMENDS:-0}" = 1 ]; then
  apt-get install -y -o APT::Install-Recommends=true /tmp/zelm.deb
else
  echo "== the recommended packages resolve:"
  apt-get install -y --simulate -o APT::Install-Recommends=true /tmp/zelm.deb > /tmp/simulated
  grep -E '^Inst (libreoffice-(writer|calc|l10n-ru)|hunspell-ru|hyphen-ru) ' /tmp/simulated
  [ "$(grep -cE '^Inst (libreoffice-(writer|calc|l10n-ru)|hunspell-ru|hyphen-ru) ' /tmp/simulated)" = 5 ]
  apt-get install -y --no-install-recommends /tmp/zelm.deb
fi
echo "== installed: $(dpkg-query -W zelm)"
dpkg -L zelm

echo "== zelm --version"
su clerk -c 'zelm --version'
su clerk -c 'reportf --version'
su clerk -c 'zelm --help' > /tmp/help
head -3 /tmp/help
if su clerk -c 'zelm --no-such-option' 2> /tmp/err; then echo "FAIL: unknown option accepted"; exit 1; fi
cat /tmp/err

echo "== the program on a virtual display"
cat > /tmp/display.sh <<'DISPLAY'
zelm & pid=$!
for i in $(seq 60); do
  sleep 0.5
  xwininfo -root -tree | grep -q '("zelm"' && break
done
xwininfo -root -tree | grep '("zelm"' | head -5
kill -0 "$pid" || { echo "FAIL: zelm did not start"; exit 1; }
echo "zelm is running (pid $pid)"
kill "$pid"; wait "$pid" || true
DISPLAY
su clerk -c 'xvfb-run -a -s "-screen 0 1280x1024x24" bash /tmp/display.sh'
ls ~clerk/ZELM ~clerk/ZELM/Baza | head -30
test -f ~clerk/ZELM/report/KnigaPic.rtf

echo "== removing the package"
apt-get purge -y zelm
apt-get autoremove --purge -y
listing > /tmp/after.txt
if ! diff -u /tmp/before.txt /tmp/after.txt; then
  echo "FAIL: files left behind by the package"; exit 1
fi
echo "nothing left behind; the user's data stays:"
find ~clerk -maxdepth 2 | sort
INSIDE

echo "== $(date -u '+%F %T') a fresh Debian 12 root from $mirror"
mmdebstrap --variant=apt --mode=root --format=directory \
  --include=passwd,xvfb,xauth,x11-utils \
  --customize-hook='copy-in "'"$work"'/zelm.deb" "'"$work"'/inside.sh" /tmp' \
  --customize-hook='chroot "$1" env WITH_RECOMMENDS='"${WITH_RECOMMENDS:-0}"' bash /tmp/inside.sh' \
  bookworm "$work/root" "$mirror"
echo "== $(date -u '+%F %T') clean install test passed"
