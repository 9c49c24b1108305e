#!/bin/bash
# The menu from the keyboard: Alt+F, then X, ends the game with exit code 0.
source "$(dirname "$0")/lib.sh"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
sleep 0.5
xdotool key alt+f
sleep 0.5
screenshot "$CASE/menu.png"
[[ $(pixel 5 5) == "0,120,215" ]] || fail "the File menu is not open: $(pixel 5 5)"
xdotool key x
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
