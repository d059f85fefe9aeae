#!/usr/bin/env bash
# Remakes the pictures of the README and the AppStream metadata (docs/screenshots/) from the
# screenshot tour at 1024x768: the card window, the search and the printed list of measures,
# made small with pngquant and optipng.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in pngquant optipng; do
  command -v "$tool" > /dev/null || { echo "readme-pictures: apt-get install $tool"; exit 1; }
done
tour="build/screenshots/1024x768"
rm -rf "$tour"
bash scripts/screenshots.sh 1024x768 "$tour" > /dev/null
mkdir -p docs/screenshots
for pair in 2-card:card 5-search:search 14-list-of-measures:list-of-measures; do
  pngquant --force --quality 60-85 --speed 1 --output "docs/screenshots/${pair#*:}.png" \
    "$tour/${pair%%:*}.png"
  optipng -quiet -o5 "docs/screenshots/${pair#*:}.png"
done
ls -l docs/screenshots
