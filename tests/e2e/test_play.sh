#!/bin/bash
# A session with the player's keys: the pause screen with the picture, and the
# music heard; Space starts, a letter falls, typing knocks it out; the music
# plays on, the keypad's minus quietens it, and a knock-out is heard over it;
# Escape ends the game with 0.
source "$(dirname "$0")/lib.sh"
data_dir && start_qel "$CASE/data"
wait_window Qel >/dev/null || fail "no window"
record 3 "$CASE/paused.raw"
screenshot "$CASE/pause.xwd"
grey='rgb(200,200,200)'
[[ $(count_colour "$CASE/pause.xwd" "$grey" 0 0 0 1024 170) -eq $((1024 * 170)) ]] ||
  fail "the pause screen is not grey above its title"
# The picture (992 by 320, centred: 16..1007 by 224..543) covers the grey.
[[ $(count_colour "$CASE/pause.xwd" "$grey" 0 40 260 700 240) -lt 20000 ]] || fail "no picture"
[[ $(count_colour "$CASE/pause.xwd" 'rgb(255,0,0)' 20 472 180 100 45) -gt 40 ]] || fail "no red title"
paused=$(rms "$CASE/paused.raw" 1)
[[ $paused -gt 300 ]] || fail "no music on the pause screen (rms $paused)"

# At level 1 the next letter comes 5 s after the first: all is seen by then.
blue() { count_colour "$1" 'rgb(0,0,255)' 10 0 0 1024 680; }
xdotool key space
sleep 1
screenshot "$CASE/running.xwd"
sleep 0.4
screenshot "$CASE/later.xwd"
[[ $(blue "$CASE/running.xwd") -gt 50 ]] || fail "no falling letter"
[[ $(count_colour "$CASE/running.xwd" "$grey" 0 500 370 24 20) -eq 480 ]] ||
  fail "the picture stayed on the running game"
field() { convert "$1" -crop 1024x680+0+0 -depth 8 rgb:- | md5sum; }
[[ $(field "$CASE/running.xwd") != $(field "$CASE/later.xwd") ]] || fail "the letter did not move"
# The game reads one message a pass: the typing's 78 take over a second.
xdotool type --delay 12 abcdefghijklmnopqrstuvwxyz
# The knock-out shows as the score on the red line going up (the next letter
# may be falling by then).
score() { convert "$1" -crop 300x22+100+688 -depth 8 rgb:- | md5sum; }
knocked_out() { screenshot "$CASE/hit.xwd" && [[ $(score "$CASE/hit.xwd") != $(score "$CASE/running.xwd") ]]; }
until_true 5 knocked_out || fail "typing every letter did not knock the letter out"

record 2 "$CASE/running.raw"
running=$(rms "$CASE/running.raw" 1)
[[ $running -gt 300 ]] || fail "no music while running (rms $running)"
for _ in $(seq 30); do xdotool key KP_Subtract; done
sleep 0.3
record 3 "$CASE/quiet.raw"
quiet=$(rms "$CASE/quiet.raw" 1)
[[ $quiet -lt $((paused / 4)) ]] || fail "30 steps down are not quieter: rms $quiet against $paused"
# The next letter has come by now. The recorder is there before the keys: the
# sound server takes a moment to set up its stream.
record 4 "$CASE/hit.raw" &
sleep 1
xdotool type --delay 12 abcdefghijklmnopqrstuvwxyz
wait $!
hit=$(rms "$CASE/hit.raw")
[[ $hit -gt $((quiet * 2 + 100)) ]] || fail "no knock-out heard (rms $hit, the music alone $quiet)"
hold Escape
exits_zero Escape
echo "ok: rms paused $paused, running $running, 30 steps down $quiet, with a knock-out $hit"
