#!/bin/bash
# Space starts the game: a blue letter falls; typing every letter knocks it
# out; the game quits with Escape and exit code 0.
source "$(dirname "$0")/lib.sh"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
sleep 0.5
xdotool key space
# At level 1 the next letter comes 5 s after the first: the screenshots are
# all taken well inside that, and looked at afterwards. The game takes one
# message a frame, so the 78 messages of the typing take over a second.
sleep 1
screenshot "$CASE/running.png"
sleep 0.4
screenshot "$CASE/later.png"
xdotool type --delay 12 abcdefghijklmnopqrstuvwxyz
sleep 1.6
screenshot "$CASE/hit.png"

blue=$(count_colour "$CASE/running.png" 0,0,255 0 0 1024 680)
[[ $blue -gt 50 ]] || fail "no falling letter after 1 s ($blue blue pixels)"
[[ $(count_colour "$CASE/running.png" 200,200,200 500 370 24 20) -eq 480 ]] ||
  fail "the picture is still shown while running"
play_area() { convert "$1" -crop 1024x680+0+0 -depth 8 rgb:- | md5sum; }
[[ $(play_area "$CASE/running.png") != $(play_area "$CASE/later.png") ]] ||
  fail "the letter did not move"
blue=$(count_colour "$CASE/hit.png" 0,0,255 0 0 1024 680)
[[ $blue -eq 0 ]] || fail "the letter was not knocked out ($blue blue pixels)"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
