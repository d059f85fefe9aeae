#!/usr/bin/env bash
# Remakes the pictures of the README and the AppStream metadata (docs/screenshots/) from the
# screenshot tour at 1024x768: the card window, the search and the printed list of measures,
# and the statistics window over a year of realistic cards by months, made small with pngquant
# and optipng.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in pngquant optipng; do
  command -v "$tool" > /dev/null || { echo "readme-pictures: apt-get install $tool"; exit 1; }
done
tour="build/screenshots/1024x768"
rm -rf "$tour"
bash scripts/screenshots.sh 1024x768 "$tour" > /dev/null
cmake --build build --target stat_screenshot > /dev/null
stats_root="$(mktemp -d)"
trap 'rm -rf "$stats_root"' EXIT
xvfb-run -a -s '-screen 0 1280x800x24' sh -c \
  "openbox > /dev/null 2>&1 & sleep 1; build/bin/stat_screenshot '$PWD/$tour/statistics.png' '$stats_root/zelm' 1 01.01.2025 31.12.2025" > /dev/null
mkdir -p docs/screenshots
for pair in 2-card:card 5-search:search 14-list-of-measures:list-of-measures statistics:statistics; do
  pngquant --force --quality 60-85 --speed 1 --output "docs/screenshots/${pair#*:}.png" \
    "$tour/${pair%%:*}.png"
  optipng -quiet -o5 "docs/screenshots/${pair#*:}.png"
done
ls -l docs/screenshots
