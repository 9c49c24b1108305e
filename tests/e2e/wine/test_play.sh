#!/bin/bash
# The Windows game under Wine: the pause screen with the picture, as the Linux
# build draws it, and the music heard; Space starts, a letter comes, typing
# knocks it out; Escape ends the game with 0.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)
# The picture without chroma subsampling: the two platforms' JPEG decoders
# upsample 4:2:0 colour differently (by up to 60 a channel at colour edges).
convert "$dir/finger.jpg" -sampling-factor 1x1 -quality 95 "$dir/finger.jpg" ||
  fail "cannot re-encode the picture"
start_qel "$dir" timeout 30 "$QEL"
wait_window Qel >/dev/null || fail "no window from the Linux build"
sleep 1
screenshot "$CASE/linux.xwd"
quits "the Linux build"

start_game "$dir"
game_window >/dev/null || fail "no window"
sleep 1
screenshot "$CASE/pause.xwd"
record 2 "$CASE/music.raw"
top=$(menu_height "$CASE/pause.xwd") || fail "no grey background on the pause screen"
grey() { count_colour "$1" 'rgb(200,200,200)' 4 32 $((top + 240)) 960 288; }
blue() { count_colour "$1" 'rgb(0,0,255)' 20 0 "$top" 1024 680; }
score() { convert "$1" -crop "300x20+100+$((top + 688))" -depth 8 rgb:- | md5sum; }
xdotool key space
sleep 1
screenshot "$CASE/run1.xwd"
# The game reads one message a pass, and under Wine the typing's 78 took up
# to 2 s: the knock-out is looked for until it shows.
xdotool type --delay 20 abcdefghijklmnopqrstuvwxyz
knocked_out() { screenshot "$CASE/hit.xwd" && [[ $(score "$CASE/hit.xwd") != $(score "$CASE/run1.xwd") ]]; }
until_true 4 knocked_out || fail "typing every letter did not knock the letter out"
quits "under Wine"

[[ $(grey "$CASE/pause.xwd") -lt 20000 ]] || fail "no picture on the pause screen"
level=$(rms "$CASE/music.raw")
[[ $level -gt 300 ]] || fail "no music on the sound server (rms $level)"
[[ $(blue "$CASE/run1.xwd") -gt 30 ]] || fail "Space did not start the game: no letter"
[[ $(grey "$CASE/run1.xwd") -gt 250000 ]] || fail "the picture stayed on the running game"

# The two pause screens agree within 8 a channel but in the rows of text
# ("Dunmarl" and the pause title from 176, the HUD from 684), where the font
# rasterisers differ.
for band in "0 176" "224 460"; do
  read -r y h <<<"$band"
  worst=$(convert \( "$CASE/linux.xwd" -crop "1024x$h+0+$y" +repage \) \
    \( "$CASE/pause.xwd" -crop "1024x$h+0+$((y + top))" +repage \) \
    -compose difference -composite -separate -append -format '%[fx:round(255 * maxima)]' info:)
  [[ -n $worst && $worst -le 8 ]] || fail "rows $y to $((y + h)) differ by up to $worst"
done
# The red level line's 级别: glyphs missing would be drawn as two thin boxes.
linux=$(count_colour "$CASE/linux.xwd" 'rgb(255,0,0)' 30 98 688 48 22)
wine=$(count_colour "$CASE/pause.xwd" 'rgb(255,0,0)' 30 98 $((688 + top)) 48 22)
((linux > 140 && wine * 4 >= linux * 3 && wine * 3 <= linux * 4)) ||
  fail "the HUD's Chinese: $wine red pixels under Wine, $linux on Linux"
echo "ok (Wine's menu bar: $top rows; 级别 in red: $wine pixels under Wine, $linux on Linux)"
