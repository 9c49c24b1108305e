#!/bin/bash
# PipeWire as the sound server, as on a current Debian desktop: pipewire,
# wireplumber and pipewire-pulse started by this case with a runtime folder
# of its own, a null sink recorded. The music is heard on the pause screen,
# a knock-out is heard over the music turned down, and Escape ends the game
# with 0 at once.
source "$(dirname "$0")/session.sh"
needs Xvfb dbus-daemon pipewire wireplumber pipewire-pulse pactl parec
# Only this case's servers: not ./test.sh's PulseAudio, not the user's.
unset PULSE_SERVER PULSE_RUNTIME_PATH SDL_AUDIODRIVER XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME
export HOME=$CASE/home XDG_RUNTIME_DIR=$CASE/run
mkdir -m 700 -p "$HOME" "$XDG_RUNTIME_DIR"
start_x && start_bus
session_started pipewire
until_true 10 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { session_log; fail "pipewire did not start"; }
session_started wireplumber
session_started pipewire-pulse
pulse_up() { pactl info 2>/dev/null | grep -q 'Server Name: PulseAudio (on PipeWire'; }
until_true 10 pulse_up || { session_log; fail "pipewire-pulse did not start"; }
pactl load-module module-null-sink sink_name=qel rate=44100 >/dev/null || fail "no null sink"
# The sink is made as the module loads, but may not yet be known to the
# session manager that keeps the default: asked again until it is taken.
default_sink() { pactl set-default-sink qel 2>/dev/null && [[ $(pactl get-default-sink) == qel ]]; }
until_true 10 default_sink || { session_log; fail "the null sink is not the default"; }

# One recording for the whole game, read in parts between marks: a recorder
# started for each part would miss its start while the server sets it up.
# Asked for 50 ms fragments: by default parec gets its data seconds late.
parec --latency-msec=50 --device=qel.monitor --raw --format=s16le --rate=44100 --channels=2 >"$CASE/all.raw" 2>>"$CASE/session.log" &
SESSION+=($!)
until_true 10 test -s "$CASE/all.raw" || { session_log; fail "parec records nothing"; }
# mark: where the recording is now, in bytes (whole frames).
mark() { echo $(($(stat -c %s "$CASE/all.raw") / 4 * 4)); }
# part FROM TO: the recording between two marks.
part() { tail -c +$(($1 + 1)) "$CASE/all.raw" | head -c $(($2 - $1)) >"$CASE/part.raw"; echo "$CASE/part.raw"; }

data_dir && start_qel "$CASE/data"
wait_window Qel >/dev/null || fail "no window"
sleep 1
from=$(mark) && sleep 2 && to=$(mark)
paused=$(rms "$(part "$from" "$to")")
[[ $paused -gt 300 ]] || fail "no music on the pause screen (rms $paused)"
keys "$SPACE_KEY"
until_true 10 picture_gone || fail "Space did not start the game"
# The keypad's minus, 30 times: the music nearly silent.
KP_MINUS_KEY=82
keys $(printf "$KP_MINUS_KEY %.0s" {1..30})
sleep 0.5
from=$(mark) && sleep 1.5 && to=$(mark)
quiet=$(loudest "$(part "$from" "$to")")
[[ $quiet -lt $((paused / 4)) ]] || fail "30 steps down are not quieter: rms $quiet at its loudest against $paused"
next_letter "after the volume keys"
from=$(mark)
knocks_out "the letter keys" "${US_LETTER_KEYS[@]}"
sleep 1
to=$(mark)
hit=$(loudest "$(part "$from" "$to")")
[[ $hit -gt $((quiet * 4 + 500)) ]] || fail "no knock-out heard (rms $hit at its loudest, the music alone $quiet)"
start=$(date +%s%N)
quits "PipeWire"
took=$((($(date +%s%N) - start) / 1000000))
# Closing the sound devices must not hold the player up.
[[ $took -lt 1500 ]] || fail "the game took $took ms to end after Escape"
echo "ok: PipeWire: rms paused $paused, the quiet music at its loudest $quiet, with a knock-out $hit; ended $took ms after Escape went down"
