#!/bin/bash
# Escape on the pause screen and Alt+F4 in the running game each end the
# game, and the exit code that comes back through wine is 0.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)
start_game "$dir"
wait_window >/dev/null || fail "no window"
sleep 0.5
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "Escape: exit code $code"

start_game "$dir"
wait_window >/dev/null || fail "no window the second time"
sleep 0.5
xdotool key space
sleep 0.5
xdotool keydown alt key F4 keyup alt
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "Alt+F4: exit code $code"
echo "ok"
