#!/bin/bash
# Writes the seeds of the fuzz targets, made from what a Linux build makes:
# the data files of qel-assets and copies of them cut short or altered.
# Usage: scripts/fuzz_seeds.sh DIR BUILD_DIR, then build-fuzz/NAME_fuzz
# DIR/NAME for NAME wave_reader or image.
set -euo pipefail
seeds=$1
build=$2
mkdir -p "$seeds"/{wave_reader,image,assets}
"$build/qel-assets" "$seeds/assets" >/dev/null

# cuts FILE BYTES...: copies of FILE cut to each length.
cuts() {
  local file=$1 n
  for n in "${@:2}"; do head -c "$n" "$file" >"$file.cut$n"; done
}
# puts FILE OFFSET:HEX...: copies of FILE, each with those bytes there.
puts() {
  local file=$1 put
  for put in "${@:2}"; do
    cp "$file" "$file.$put"
    printf '%b' "$(sed 's/../\\x&/g' <<<"${put#*:}")" |
      dd of="$file.$put" bs=1 seek="${put%%:*}" conv=notrunc status=none
  done
}
# A WAV's RIFF size is at 4, its form at 8, its format tag at 20, the size
# of its data at 40.
wav=$seeds/wave_reader/damage_axe.wav
cp "$seeds"/assets/*.wav "$seeds/wave_reader/"
cuts "$wav" 6 26 42 1000
puts "$wav" 4:FFFFFFFF 8:41564920 20:0300 20:FEFF 40:F0FFFFFF

# Small pictures in each format, and a JPEG cut, or claiming 65000 by 65000.
jpg=$seeds/image/small.jpg
for format in jpg png bmp gif; do
  convert "$seeds/assets/finger.jpg" -resize 48x16 "$seeds/image/small.$format"
done
frame=$(LC_ALL=C grep -obUaP '\xFF\xC0' "$jpg" | head -n 1 | cut -d: -f1)
cuts "$jpg" 2 $((frame + 6)) $(($(stat -c %s "$jpg") / 2))
puts "$jpg" $((frame + 5)):FDE8FDE8
echo "not a picture" >"$seeds/image/text.jpg"
cuts "$seeds/image/small.png" 60

rm -r "$seeds/assets"
