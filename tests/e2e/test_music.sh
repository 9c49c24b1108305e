#!/bin/bash
# Music is heard from start-up, on the pause screen, and goes on while the
# game runs; the keypad minus key makes it quieter.
source "$(dirname "$0")/lib.sh"
[[ -n "${PULSE_SERVER:-}" ]] || fail "no sound server (test.sh starts one)"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
record 3 "$CASE/paused.raw"
level=$(rms "$CASE/paused.raw" 88200)
[[ $level -gt 300 ]] || fail "no music while paused (rms $level)"
xdotool key space
record 2 "$CASE/running.raw"
running=$(rms "$CASE/running.raw" 44100)
[[ $running -gt 300 ]] || fail "no music while running (rms $running)"
for _ in $(seq 30); do xdotool key KP_Subtract; done
sleep 0.3
record 3 "$CASE/quiet.raw"
quiet=$(rms "$CASE/quiet.raw" 88200)
[[ $quiet -lt $(( level / 4 )) ]] || fail "-30 dB is not quieter: $quiet against $level"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok: rms paused $level, running $running, at -3000 $quiet"
