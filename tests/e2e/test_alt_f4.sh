#!/bin/bash
# Alt+F4 closes the game with exit code 0.
source "$(dirname "$0")/lib.sh"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
sleep 0.5
xdotool key alt+F4
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
