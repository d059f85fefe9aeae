#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
set -euo pipefail
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6printsupport6 libgl1-mesa-dev
          qt6-charts-dev libqt6opengl6-dev
          libzip-dev libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
          zip unzip xvfb xauth fonts-dejavu-core python3 clang-format git
          libreoffice-writer libreoffice-calc libreoffice-dev poppler-utils cups
          printer-driver-cups-pdf libcups2-dev fonts-urw-base35
          qt6-translations-l10n openbox x11-utils
          libreoffice-l10n-ru hunspell-ru hyphen-ru
          clang libclang-rt-14-dev
          libpq-dev postgresql-15 librapidcheck-dev)
# The desktop entry and the AppStream metadata are validated by the tests.
PACKAGES+=(desktop-file-utils appstream)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run as root:"
  echo "  apt-get install -y ${missing[*]}"
  exit 1
fi
