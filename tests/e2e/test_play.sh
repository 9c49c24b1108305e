#!/bin/bash
# A session with the player's keys: the pause screen with the picture, and the
# music heard; Space starts, a letter falls, typing knocks it out; the music
# plays on; Escape ends the game with 0. (The keypad's minus and the
# knock-out's sound: test_pipewire.sh.)
source "$(dirname "$0")/lib.sh"
data_dir && start_qel "$CASE/data"
wait_window Qel >/dev/null || fail "no window"
record 3 "$CASE/paused.raw"
screenshot "$CASE/pause.xwd"
# The picture (992 by 320, centred: 16..1007 by 224..543) covers the grey.
[[ $(count_colour "$CASE/pause.xwd" 'rgb(200,200,200)' 0 40 260 700 240) -lt 20000 ]] || fail "no picture"
[[ $(count_colour "$CASE/pause.xwd" 'rgb(255,0,0)' 20 472 180 100 45) -gt 40 ]] || fail "no red title"
paused=$(rms "$CASE/paused.raw" 1)
[[ $paused -gt 300 ]] || fail "no music on the pause screen (rms $paused)"

# At level 1 the next letter comes 5 s after the first: all is seen by then.
xdotool key space
until_true 5 letter_falls || fail "no falling letter"
picture_gone || fail "the picture stayed on the running game"
field() { convert "$CASE/screen.xwd" -crop 1024x680+0+0 -depth 8 rgb:- | md5sum; }
before=$(field) score=$(score_line)
sleep 0.4
screenshot "$CASE/screen.xwd"
[[ $(field) != "$before" ]] || fail "the letter did not move"
# The game reads one message a pass: the typing's 78 take over a second. The
# knock-out shows as the score on the red line going up (the next letter may
# be falling by then).
xdotool type --delay 12 abcdefghijklmnopqrstuvwxyz
until_true 5 eval '[[ $(score_now) != "$score" ]]' || fail "typing every letter did not knock the letter out"

record 2 "$CASE/running.raw"
running=$(rms "$CASE/running.raw" 1)
[[ $running -gt 300 ]] || fail "no music while running (rms $running)"
quits "the game"
echo "ok: rms paused $paused, running $running"
