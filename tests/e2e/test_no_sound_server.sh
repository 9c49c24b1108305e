#!/bin/bash
# With no sound server and no sound card: "DXshow RenderFile" captioned
# "Error", then "DirectSoundCreate8" captioned "ERROR"; the game runs
# silently and quits with exit code 0.
source "$(dirname "$0")/lib.sh"
dir=$(data_dir)
(cd "$dir" && exec env -u SDL_AUDIODRIVER PULSE_SERVER=unix:/nonexistent/socket \
   "$QEL" >"$CASE/stdout" 2>"$CASE/stderr") &
QEL_PID=$!
answer_box Error || fail "no DXshow RenderFile box"
answer_box ERROR || fail "no DirectSoundCreate8 box"
wait_window >/dev/null || fail "no window"
[[ "$(grep -E "^(Error|ERROR): " "$CASE/stderr")" == $'Error: DXshow RenderFile\nERROR: DirectSoundCreate8' ]] ||
  fail "wrong messages"
xdotool key space
sleep 1
kill -0 "$QEL_PID" 2>/dev/null || fail "the game did not go on"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
