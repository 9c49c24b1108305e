#!/bin/bash
# Installs what is missing, builds, writes the data files and plays.
set -euo pipefail
cd "$(dirname "$0")"
scripts/packages.sh play
cmake -S . -B build -DQEL_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target qel qel-assets
# Only missing files are written: a file put there by hand stays.
mkdir -p data
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
for file in finger.jpg music.mp3 damage_axe.wav item_specialdrop.wav; do
  if [[ ! -e data/$file ]]; then
    [[ -e $fresh/$file ]] || build/qel-assets "$fresh"
    cp "$fresh/$file" data/
  fi
done
rm -rf "$fresh"
trap - EXIT
cd data
exec ../build/qel
