#!/bin/bash
# One source, one game: the pause screens of the Linux build and of the
# Windows build under Wine, each read from the screen, agree within 8 per
# channel outside the rows that hold text (where the two font rasterisers
# differ), and the Chinese HUD is drawn in Chinese glyphs on both.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)
# The picture without chroma subsampling: the two platforms' JPEG decoders
# upsample 4:2:0 colour differently (up to 60 per channel at colour
# edges), which says nothing about the game.
convert "$dir/finger.jpg" -sampling-factor 1x1 -quality 95 "$dir/finger.jpg" ||
  fail "cannot re-encode the picture"

(cd "$dir" && exec timeout 30 "$LINUX_BUILD/qel" >"$CASE/linux.log" 2>&1) &
GAME_PID=$!
wait_window >/dev/null || fail "no window from the Linux build"
sleep 1
screenshot "$CASE/linux.png"
hold Escape
wait_exit 10 || fail "the Linux build did not end with 0"

start_game "$dir"
wait_window >/dev/null || fail "no window from the Windows build"
sleep 1
screenshot "$CASE/wine.png"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "the Windows build: exit code $code"

# Wine shows the game below the window's menu bar: compare row y of the
# Linux screen with row y + top of Wine's.
top=$(menu_height "$CASE/wine.png") || fail "no grey background on Wine's screen"
[[ $(menu_height "$CASE/linux.png") == 0 ]] || fail "the Linux screen does not start with the background"

# max_difference Y0 Y1: the largest difference of one channel of one pixel
# between the two screens over rows Y0 to Y1 - 1.
max_difference() {
  local h=$(( $2 - $1 ))
  convert \( "$CASE/linux.png" -crop "1024x$h+0+$1" +repage \) \
          \( "$CASE/wine.png" -crop "1024x$h+0+$(( $1 + top ))" +repage \) \
          -compose difference -composite -separate -append \
          -format '%[fx:round(255 * maxima)]' info: 2>/dev/null
}
# Text rows: "Dunmarl" at 180 and the pause caption at 200; the HUD from 688.
for band in "0 176" "224 684"; do
  worst=$(max_difference $band)
  [[ -n "$worst" && $worst -le 8 ]] || fail "rows $band differ by up to $worst"
done

# The red level line's first two characters, 级别: missing glyphs would be
# drawn as two thin boxes, a fraction of the ink of the strokes.
red='r > 150 && g < 120 && b < 120'
linux=$(count_where "$CASE/linux.png" 98 688 48 22 "$red")
wine=$(count_where "$CASE/wine.png" 98 $((688 + top)) 48 22 "$red")
[[ $linux -gt 100 ]] || fail "the Linux HUD shows no Chinese ($linux red pixels)"
[[ $(( wine * 4 )) -ge $(( linux * 3 )) && $(( wine * 3 )) -le $(( linux * 4 )) ]] ||
  fail "Wine's HUD is not drawn like Linux's: $wine red pixels against $linux"
echo "ok (Wine's menu bar: $top rows)"
