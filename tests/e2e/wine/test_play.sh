#!/bin/bash
# The Windows game under Wine: the pause screen with the picture, the music
# heard on the sound server, Space starts, a letter falls, typing it knocks
# it out, and Escape ends the game with exit code 0.
source "$(dirname "$0")/lib.sh"
start_game "$(game_dir)"
wait_window >/dev/null || fail "no window"
sleep 1
screenshot "$CASE/pause.png"
record 2 "$CASE/music.raw"

top=$(menu_height "$CASE/pause.png") || fail "no grey background on the pause screen"
# Letters are blue, in the field above the HUD.
blue() { count_near "$1" 0 "$top" 1024 680 'rgb(0,0,255)' 20; }

# At level 1 one letter falls at a time, the next 5 s after it: everything
# up to the knock-out is seen within those 5 s, and checked afterwards.
xdotool key space
sleep 1
screenshot "$CASE/run1.png"
sleep 0.8
screenshot "$CASE/run2.png"
# One of the 26 keys knocks the letter out. The game takes one message a
# pass, and under Wine the typing's 78 messages (down, character, up) took
# up to 2 s to be read: look for the knock-out 30 times, 0.1 s apart, well before
# the next letter comes.
xdotool type --delay 20 abcdefghijklmnopqrstuvwxyz
for _ in $(seq 30); do
  sleep 0.1
  screenshot "$CASE/hit.png"
  [[ $(blue "$CASE/hit.png") -eq 0 ]] && break
done
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "Escape: exit code $code"

# The keyboard picture, centred (992 by 320), covers the grey there.
grey() { count_near "$1" 32 $((top + 240)) 960 288 'rgb(200,200,200)' 4; }
[[ $(grey "$CASE/pause.png") -lt 20000 ]] || fail "no keyboard picture on the pause screen"
level=$(rms "$CASE/music.raw")
[[ $level -gt 300 ]] || fail "no music on the sound server (rms $level)"

first=$(blue "$CASE/run1.png")
[[ $first -gt 30 ]] || fail "Space did not start the game: no letter ($first blue pixels)"
[[ $(grey "$CASE/run1.png") -gt 250000 ]] || fail "the picture stayed on the running game"
# The letter's lowest row moves down as it falls (a pixel every 100 ms).
lowest() {
  convert "$1" -crop "1024x680+0+$top" +repage -fuzz 20% \
    -fill black +opaque 'rgb(0,0,255)' -fill white -opaque 'rgb(0,0,255)' \
    -trim -format '%[fx:page.y + h]' info: 2>/dev/null
}
y1=$(lowest "$CASE/run1.png"); y2=$(lowest "$CASE/run2.png")
[[ $((y2 - y1)) -ge 4 ]] || fail "the letter did not fall: lowest row $y1, then $y2"

left=$(blue "$CASE/hit.png")
[[ $left -eq 0 ]] || fail "typing every letter left the letter there ($left blue pixels)"
# The score on the HUD's red line changed from 0.
hud() { convert "$1" -crop "300x20+100+$((top + 688))" -depth 8 rgb:- 2>/dev/null | md5sum; }
[[ $(hud "$CASE/hit.png") != $(hud "$CASE/run2.png") ]] || fail "the score line did not change"
echo "ok (the letter's lowest row: $y1, then $y2)"
