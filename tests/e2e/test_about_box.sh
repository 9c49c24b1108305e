#!/bin/bash
# Alt+H, then A, opens the About box; the game stands still while it is
# open; Enter closes it and the game goes on; Escape then quits with 0.
source "$(dirname "$0")/lib.sh"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
sleep 0.5
xdotool key alt+h
sleep 0.3
xdotool key a
sleep 0.5
screenshot "$CASE/about.png"
[[ $(pixel 300 200) == "240,240,240" ]] || fail "no About box: $(pixel 300 200)"
# No frame runs while the box is open: the HUD's tick count stands still.
hud() { import -window root -crop 900x24+100+712 -depth 8 rgb:- 2>/dev/null | md5sum; }
before=$(hud)
sleep 1.5
[[ $(pixel 300 200) == "240,240,240" ]] || fail "the About box closed by itself"
[[ $(hud) == "$before" ]] || fail "frames ran while the About box was open"
xdotool key Return
sleep 0.5
[[ $(pixel 300 200) != "240,240,240" ]] || fail "Enter did not close the About box"
before=$(hud)
sleep 0.5
[[ $(hud) != "$before" ]] || fail "the game did not go on after the About box"
kill -0 "$QEL_PID" 2>/dev/null || fail "the game ended with the About box"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
