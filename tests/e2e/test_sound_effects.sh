#!/bin/bash
# Without music.mp3: one box "DXshow RenderFile", then silence while no key
# is pressed; a knock-out is heard.
source "$(dirname "$0")/lib.sh"
[[ -n "${PULSE_SERVER:-}" ]] || fail "no sound server (test.sh starts one)"
dir=$(data_dir)
rm "$dir/music.mp3"
start_qel "$dir"
answer_box Error || fail "no DXshow RenderFile box"
wait_window >/dev/null || fail "no window"
grep -qx "Error: DXshow RenderFile" "$CASE/stderr" || fail "wrong message"
record 2 "$CASE/silence.raw"
silence=$(rms "$CASE/silence.raw")
[[ $silence -lt 30 ]] || fail "sound with no music and no key (rms $silence)"
# The recorder connects before play starts: the sound server takes a moment
# to set up a monitor stream, and the game's own stream may stall meanwhile
# (seen as a knock-out late in the alphabet going unheard, 1 run in 30).
parec --device=qel.monitor --raw --format=s16le --rate=44100 --channels=2 \
  >"$CASE/hit.raw" 2>/dev/null &
rec=$!
xdotool key space
sleep 1.5
xdotool type --delay 10 abcdefghijklmnopqrstuvwxyz
sleep 1.5
kill "$rec"; wait "$rec" 2>/dev/null
hit=$(rms "$CASE/hit.raw")
[[ $hit -gt 150 ]] || fail "no knock-out heard (rms $hit)"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok: rms silent $silence, with the hit $hit"
