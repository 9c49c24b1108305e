#!/bin/bash
# Whole-process figures of build/qel under an X server and a sound server of
# its own (Xvfb 1024x768x24, PulseAudio with a null sink):
#   - start-up to the first frame on the screen (qel-first-frame),
#   - CPU share of one core over SECONDS paused, and over SECONDS playing at
#     level 255 with keys typed by xdotool,
#   - peak resident memory of each run (/usr/bin/time -v).
# Usage: bench/process.sh [BUILD_DIR [SECONDS]]   (build, 30)
# Prints one line per figure with its target; exits non-zero when the game
# crashed, hung or showed no frame (a missed target is reported, not failed).
set -uo pipefail
BUILD=$(cd "${1:-build}" && pwd) || exit 2
PHASE=${2:-30}
for tool in qel qel-assets qel-first-frame; do
  [[ -x $BUILD/$tool ]] || { echo "no $BUILD/$tool: build it first" >&2; exit 2; }
done
for tool in Xvfb pulseaudio pactl xdotool /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d /tmp/qel-process.XXXXXX)
pids=()
typist=
cleanup() {
  [[ -n $typist ]] && kill -- -"$typist" 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
problem() { echo "PROBLEM: $*"; failed=1; }

# ------------------------------------------------------------ servers
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset 4>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { cat "$work/xvfb.log"; exit 2; }
export DISPLAY=":$(head -n 1 "$work/display")"

mkdir -p "$work/pulse"
export PULSE_RUNTIME_PATH="$work/pulse" XDG_RUNTIME_DIR="$work/pulse"
export HOME="${HOME:-/root}" PULSE_SERVER="unix:$work/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --system=false \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" \
  -L "module-null-sink sink_name=qel rate=44100" \
  -L "module-always-sink" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink qel >/dev/null 2>&1 || { cat "$work/pulse.log"; exit 2; }
unset SDL_VIDEODRIVER SDL_AUDIODRIVER

mkdir -p "$work/data"
"$BUILD/qel-assets" "$work/data" >/dev/null || { echo "qel-assets failed"; exit 2; }

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ {printf "%.0f MB", $2 / 1024}' /proc/meminfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "build: $BUILD ($(grep -m1 CMAKE_BUILD_TYPE: "$BUILD/CMakeCache.txt" 2>/dev/null | cut -d= -f2))"

# ------------------------------------------------------------ one run
# start_run NAME: the game from the data folder under /usr/bin/time, watched
# by qel-first-frame. Sets QEL (the game's pid) and FIRST (ms to the first
# frame, or "none").
PROBE=
QEL=
FIRST=
start_run() {
  local name=$1
  (cd "$work/data" && exec "$BUILD/qel-first-frame" 10 -- \
     /usr/bin/time -v -o "$work/$name.time" "$BUILD/qel") \
    >"$work/$name.probe" 2>"$work/$name.stderr" &
  PROBE=$!
  FIRST=
  for _ in $(seq 200); do
    FIRST=$(sed -n 's/^first_frame_ms //p' "$work/$name.probe")
    [[ -n $FIRST ]] && break
    sleep 0.05
  done
  local timer
  timer=$(sed -n 's/^pid //p' "$work/$name.probe")
  QEL=$(pgrep -P "$timer" 2>/dev/null | head -n 1)
  [[ -n $FIRST && $FIRST != none && -n $QEL ]]
}

# end_run NAME: Escape held as a player holds it; the exit code must be 0.
end_run() {
  local name=$1 code
  xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
  for _ in $(seq 100); do kill -0 "$PROBE" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PROBE" 2>/dev/null; then
    problem "$name: the game did not end on Escape"
    kill -9 "$QEL" 2>/dev/null
  fi
  wait "$PROBE"; code=$?
  [[ $code -eq 0 ]] || problem "$name: exit code $code"
  grep -E "^(Error|ERROR): " "$work/$name.stderr" | sed "s/^/$name: message box: /"
}

peak_rss_mb() {
  awk -F: '/Maximum resident set size/ {printf "%.1f", $2 / 1024}' "$work/$1.time"
}

# Clock ticks of the whole process, and of each thread as "name ticks".
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
thread_ticks() {
  local task
  for task in /proc/"$1"/task/*; do
    printf '%s %s\n' "$(tr ' ' '_' <"$task/comm")" \
      "$(awk '{print $14 + $15}' "$task/stat")"
  done 2>/dev/null
}

# measure NAME SECONDS: CPU share of one core over SECONDS, with the
# threads that took more than 0.05 %.
measure() {
  local name=$1 seconds=$2 hz start end t0 t1
  hz=$(getconf CLK_TCK)
  thread_ticks "$QEL" | sort >"$work/$name.threads0"
  start=$(ticks "$QEL"); t0=$(date +%s%N)
  sleep "$seconds"
  end=$(ticks "$QEL"); t1=$(date +%s%N)
  thread_ticks "$QEL" | sort >"$work/$name.threads1"
  [[ -n $start && -n $end ]] || { problem "$name: the game ended early"; return; }
  local wall=$(( (t1 - t0) / 1000000 ))
  local share
  share=$(awk -v d=$((end - start)) -v hz="$hz" -v ms="$wall" \
    'BEGIN {printf "%.2f", 100 * d / hz / (ms / 1000)}')
  local threads
  threads=$(join "$work/$name.threads0" "$work/$name.threads1" |
    awk -v hz="$hz" -v ms="$wall" '{ p = 100 * ($3 - $2) / hz / (ms / 1000);
      if (p >= 0.05) printf "%s %.2f%%, ", $1, p }' | sed 's/, $//')
  echo "$name: cpu ${share}% of one core over $((wall / 1000)) s (target <= 5%); threads: $threads"
}

# ------------------------------------------------------------ start-up
starts=()
for i in 1 2 3 4 5; do
  if start_run "start$i"; then starts+=("$FIRST"); else problem "start $i: no first frame"; fi
  sleep 0.5
  end_run "start$i"
done
if [[ ${#starts[@]} -gt 0 ]]; then
  echo "start-up to first frame: $(printf '%s\n' "${starts[@]}" | sort -n |
    awk '{v[NR] = $1} END {printf "min %s ms, median %s ms, max %s ms over %d runs", v[1], v[int((NR + 1) / 2)], v[NR], NR}') (target <= 300 ms)"
fi

# ------------------------------------------------------------ paused
if start_run paused; then
  sleep 2
  measure paused "$PHASE"
  end_run paused
  echo "paused: peak resident memory $(peak_rss_mb paused) MB (target <= 40 MB)"
else
  problem "paused: no first frame"; end_run paused
fi

# ------------------------------------------------------------ playing
# Space, then Page Down 254 times: the game takes one message a pass, so
# the 510 messages take about 8.5 s at 60 frames a second.
if start_run playing; then
  sleep 0.5
  xdotool key space
  keys=()
  for _ in $(seq 254); do keys+=(Next); done
  xdotool key --delay 2 "${keys[@]}"
  sleep 10
  # A letter key is three messages (down, character, up): 12 keys a second
  # are 36 messages, which the game works off as they come.
  # In a process group of its own, so that it goes with what it runs.
  setsid bash -c 'while :; do
      xdotool type --delay 83 "$(tr -dc a-z </dev/urandom | head -c 24)"
    done' &
  typist=$!
  sleep 2
  # Level 255 shows many letters at once; level 1 shows one.
  if command -v import >/dev/null; then
    blue=$(import -window root -crop 1024x680+0+0 -depth 8 rgb:- 2>/dev/null |
      od -An -v -tu1 -w3 | awk '$1 == 0 && $2 == 0 && $3 == 255 {n++} END {print n + 0}')
    [[ $blue -gt 20000 ]] || problem "playing: few letters on screen ($blue blue pixels): not at level 255?"
  fi
  measure playing "$PHASE"
  kill -- -"$typist" 2>/dev/null
  wait "$typist" 2>/dev/null
  typist=
  sleep 0.5
  end_run playing
  echo "playing: peak resident memory $(peak_rss_mb playing) MB (target <= 40 MB)"
else
  problem "playing: no first frame"; end_run playing
fi

exit $failed
