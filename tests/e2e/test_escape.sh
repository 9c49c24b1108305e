#!/bin/bash
# Escape quits from the pause screen and from the running game, exit code 0.
source "$(dirname "$0")/lib.sh"
dir=$(data_dir)
start_qel "$dir"
wait_window >/dev/null || fail "no window"
sleep 0.5
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "paused: exit code $code"

start_qel "$dir"
wait_window >/dev/null || fail "no window the second time"
sleep 0.5
xdotool key space
sleep 1
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "running: exit code $code"
echo "ok"
