#!/bin/bash
# Whole-system figures of build/qel under an X server and a sound server of
# its own (Xvfb, PulseAudio with a null sink), at each screen size of
# QEL_SCREENS (1024x768 1920x1080 3840x2160):
#   - start-up to the first frame on the screen (qel-first-frame), at the
#     first size,
#   - CPU share of one core over SECONDS, paused, at levels 10 and 30 (a
#     typist's levels: that many letters at once) and at level 255 with a
#     full table, of the game, the X server and the sound server, and their
#     sum,
#   - peak resident memory of each run (/usr/bin/time -v),
#   - for reference, when Debian's tuxtype is installed, the same shares for
#     Tux Typing at its menu.
# Usage: bench/process.sh [BUILD_DIR [SECONDS]]   (build, 12)
# With QEL_BEFORE=OTHER_BUILD_DIR, each phase runs on that build first and
# then on BUILD_DIR, in the same servers, so that a before and an after are
# measured side by side (their lines start "before" and "after").
# Prints one line per figure; exits non-zero when the game crashed, hung or
# showed no frame (a missed target is reported, not failed).
set -uo pipefail
BUILD=$(cd "${1:-build}" && pwd) || exit 2
PHASE=${2:-12}
SCREENS=${QEL_SCREENS:-1024x768 1920x1080 3840x2160}
BUILDS=("$BUILD")
LABELS=("")
if [[ -n ${QEL_BEFORE:-} ]]; then
  BUILDS=("$(cd "$QEL_BEFORE" && pwd)" "$BUILD") || exit 2
  LABELS=("before " "after ")
fi
for dir in "${BUILDS[@]}"; do
  for tool in qel qel-assets qel-first-frame; do
    [[ -x $dir/$tool ]] || { echo "no $dir/$tool: build it first" >&2; exit 2; }
  done
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
# start_x SIZE: an X server of that screen size, in place of the last one.
XPID=
start_x() {
  if [[ -n $XPID ]]; then kill "$XPID" 2>/dev/null; wait "$XPID" 2>/dev/null; fi
  rm -f "$work/display"
  Xvfb -displayfd 4 -screen 0 "${1}x24" -nolisten tcp -noreset 4>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  XPID=$!
  pids+=("$XPID")
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  [[ -s $work/display ]] || { cat "$work/xvfb.log"; exit 2; }
  export DISPLAY=":$(head -n 1 "$work/display")"
}
start_x "${SCREENS%% *}"

mkdir -p "$work/pulse"
export PULSE_RUNTIME_PATH="$work/pulse" XDG_RUNTIME_DIR="$work/pulse"
export HOME="${HOME:-/root}" PULSE_SERVER="unix:$work/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --system=false \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" \
  -L "module-null-sink sink_name=qel rate=44100" \
  -L "module-always-sink" >"$work/pulse.log" 2>&1 &
PULSEPID=$!
pids+=("$PULSEPID")
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink qel >/dev/null 2>&1 || { cat "$work/pulse.log"; exit 2; }
unset SDL_VIDEODRIVER SDL_AUDIODRIVER

mkdir -p "$work/data"
"$BUILD/qel-assets" "$work/data" >/dev/null || { echo "qel-assets failed"; exit 2; }

echo "machine: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ {printf "%.0f MB", $2 / 1024}' /proc/meminfo), load $(cut -d' ' -f1-3 /proc/loadavg)"
for i in "${!BUILDS[@]}"; do
  echo "${LABELS[i]}build: ${BUILDS[i]} ($(grep -m1 CMAKE_BUILD_TYPE: "${BUILDS[i]}/CMakeCache.txt" 2>/dev/null | cut -d= -f2), $(git -C "${BUILDS[i]}/.." rev-parse --short HEAD 2>/dev/null))"
done

# ------------------------------------------------------------ one run
# start_run NAME: the game of $GAME from the data folder under /usr/bin/time,
# watched by qel-first-frame. Sets QEL (the game's pid) and FIRST (ms to the first
# frame, or "none").
PROBE=
QEL=
FIRST=
start_run() {
  local name=$1
  (cd "$work/data" && exec "$GAME/qel-first-frame" 10 -- \
     /usr/bin/time -v -o "$work/$name.time" "$GAME/qel") \
    >"$work/$name.probe" 2>"$work/$name.stderr" &
  PROBE=$!
  FIRST=
  for _ in $(seq 200); do
    FIRST=$(sed -n 's/^first_frame_ms //p' "$work/$name.probe" 2>/dev/null)
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

# Clock ticks of the whole process, and of each thread as "name/tid ticks"
# (threads may share a name; those that come and go within a phase are
# counted in the process only).
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
thread_ticks() {
  local task
  for task in /proc/"$1"/task/*; do
    printf '%s/%s %s\n' "$(tr ' ' '_' <"$task/comm")" "${task##*/}" \
      "$(awk '{print $14 + $15}' "$task/stat")"
  done 2>/dev/null
}

# measure NAME SECONDS PID: CPU shares of one core over SECONDS of PID
# (the game, or the reference), the X server and the sound server, and the
# threads of PID that took more than 0.05 %.
measure() {
  local name=$1 seconds=$2 pid=$3 hz t0 t1 p
  hz=$(getconf CLK_TCK)
  local before=() after=()
  thread_ticks "$pid" | sort >"$work/$name.threads0"
  for p in "$pid" "$XPID" "$PULSEPID"; do before+=("$(ticks "$p")"); done
  t0=$(date +%s%N)
  sleep "$seconds"
  for p in "$pid" "$XPID" "$PULSEPID"; do after+=("$(ticks "$p")"); done
  t1=$(date +%s%N)
  thread_ticks "$pid" | sort >"$work/$name.threads1"
  [[ -n ${after[0]} ]] || { problem "$name: the game ended early"; return; }
  local ms=$(( (t1 - t0) / 1000000 )) shares=() total=0 k
  for k in 0 1 2; do
    shares+=("$(awk -v d=$((after[k] - before[k])) -v hz="$hz" -v ms="$ms" \
      'BEGIN {printf "%.1f", 100 * d / hz / (ms / 1000)}')")
  done
  total=$(awk -v a="${shares[0]}" -v b="${shares[1]}" -v c="${shares[2]}" 'BEGIN {printf "%.1f", a + b + c}')
  local threads
  threads=$(join "$work/$name.threads0" "$work/$name.threads1" |
    awk -v hz="$hz" -v ms="$ms" '{ p = 100 * ($3 - $2) / hz / (ms / 1000);
      if (p >= 0.05) printf "%s %.2f%%, ", $1, p }' | sed 's/, $//')
  echo "$name: ${total}% of one core over $((ms / 1000)) s (process ${shares[0]}, X ${shares[1]}, sound ${shares[2]}); threads: $threads"
}

# play NAME LEVEL SETTLE: Space, then Page Down to LEVEL (the game takes one
# message a pass, so 510 messages take about 8.5 s at 60 frames a second),
# SETTLE seconds for the table to fill (one letter every 5000 / LEVEL ms,
# at most LEVEL at once), then the measure.
play() {
  local name=$1 level=$2 settle=$3 run=${1// /-}
  if start_run "$run"; then
    sleep 0.5
    xdotool key space
    local keys=() i
    for ((i = 1; i < level; ++i)); do keys+=(Next); done
    [[ ${#keys[@]} -gt 0 ]] && xdotool key --delay 2 "${keys[@]}"
    sleep "$settle"
    measure "$name" "$PHASE" "$QEL"
    end_run "$run"
    echo "$name: peak resident memory $(peak_rss_mb "$run") MB"
  else
    problem "$name: no first frame"; end_run "$run"
  fi
}

# ------------------------------------------------------------ start-up
for i in "${!BUILDS[@]}"; do
  GAME=${BUILDS[i]}
  starts=()
  for n in 1 2 3 4 5; do
    if start_run "start$n"; then starts+=("$FIRST"); else problem "start $n: no first frame"; fi
    sleep 0.5
    end_run "start$n"
  done
  if [[ ${#starts[@]} -gt 0 ]]; then
    echo "${LABELS[i]}start-up to first frame: $(printf '%s\n' "${starts[@]}" | sort -n |
      awk '{v[NR] = $1} END {printf "min %s ms, median %s ms, max %s ms over %d runs", v[1], v[int((NR + 1) / 2)], v[NR], NR}') (target <= 250 ms)"
  fi
done

# ------------------------------------------------------------ each size
for screen in $SCREENS; do
  start_x "$screen"
  for i in "${!BUILDS[@]}"; do
    GAME=${BUILDS[i]}
    label=${LABELS[i]}
    if start_run "paused-$screen"; then
      sleep 2
      measure "${label}paused $screen" "$PHASE" "$QEL"
      end_run "paused-$screen"
      echo "${label}paused $screen: peak resident memory $(peak_rss_mb "paused-$screen") MB"
    else
      problem "${label}paused $screen: no first frame"; end_run "paused-$screen"
    fi
    play "${label}level 10 $screen" 10 6
    play "${label}level 30 $screen" 30 6
    play "${label}level 255 $screen" 255 12
  done

  # The reference: Tux Typing at its menu, in the same servers.
  tuxtype=$(PATH=$PATH:/usr/games command -v tuxtype)
  if [[ -n $tuxtype ]]; then
    /usr/bin/time -v -o "$work/tux.time" "$tuxtype" >/dev/null 2>&1 &
    tux=$!
    sleep 5
    ref=$(pgrep -P "$tux" | head -n 1)
    measure "tuxtype menu $screen" "$PHASE" "${ref:-$tux}"
    kill "${ref:-$tux}" 2>/dev/null; wait "$tux" 2>/dev/null
    echo "tuxtype menu $screen: peak resident memory $(peak_rss_mb tux) MB"
  fi
done

exit $failed
