#!/bin/bash
# The soak: the game at level 255 with keys typed continuously and bursts of
# 10 000 key messages (5 000 letters pressed and released at once, which the
# game works off at one message a frame, a few minutes each), for SECONDS
# (120 under ./test.sh; an hour by hand: test_soak.sh build 3600). It must
# not crash or hang, must quit with exit code 0, and its resident memory must
# not grow: after the first burst is queued and the warm-up is over, it may
# not rise by more than 1 MB to the end. QEL_SOAK_BINARY runs another build
# of the game (a sanitizer build, whose reports fail the soak).
source "$(dirname "$0")/lib.sh"
[[ -n ${DISPLAY:-} ]] || fail "no X server: DISPLAY is not set (./test.sh starts one)"
SECONDS_TOTAL=${2:-${QEL_SOAK_SECONDS:-120}}
[[ $SECONDS_TOTAL -ge 60 ]] || fail "a soak is a minute long at least"
if [[ -n ${QEL_SOAK_BINARY:-} ]]; then
  QEL=$(cd "$(dirname "$QEL_SOAK_BINARY")" && pwd)/$(basename "$QEL_SOAK_BINARY")
fi
printf 'leak:libdbus-1.so\nleak:libpulse.so\nleak:libfontconfig.so\n' >"$CASE/lsan.supp"
# A small quarantine: the freed blocks ASan holds back would otherwise
# grow the resident memory to 256 MB of them.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16
export LSAN_OPTIONS="suppressions=$CASE/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

dir=$(data_dir)
start_qel "$dir"
wait_window >/dev/null || fail "no window"
sleep 0.5

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$QEL_PID/status" 2>/dev/null; }
alive() { kill -0 "$QEL_PID" 2>/dev/null || fail "the game ended during the soak"; }

# Level 255: Space, then Page Down 254 times (508 messages, about 9 s).
xdotool key space
keys=()
for _ in $(seq 254); do keys+=(Next); done
xdotool key --delay 2 "${keys[@]}"
sleep 10
alive

# burst: 5 000 random letters, pressed and released as fast as xdotool can.
letters=(a b c d e f g h i j k l m n o p q r s t u v w x y z)
burst() {
  local keys=() i
  for ((i = 0; i < 5000; ++i)); do keys+=("${letters[RANDOM % 26]}"); done
  xdotool key --delay 0 "${keys[@]}"
}

# The typist: four letters a second (twelve messages with their characters),
# leaving the game most of its sixty messages a second for the bursts.
# In a process group of its own, so that it goes with what it runs.
setsid bash -c 'while :; do
    xdotool type --delay 250 "$(tr -dc a-z </dev/urandom | head -c 12)" 2>/dev/null
  done' &
typist=$!
stop_typist() { kill -- -"$typist" 2>/dev/null; }
trap 'stop_typist; e2e_cleanup' EXIT

start=$SECONDS
burst
next_burst=$((start + 360))
warm=$((start + 30)) # the first burst queued, glyphs and buffers made
baseline=
peak=0
while [[ $((SECONDS - start)) -lt $SECONDS_TOTAL ]]; do
  sleep 5
  alive
  kb=$(rss)
  if [[ -z $baseline && $SECONDS -ge $warm ]]; then baseline=$kb; fi
  if [[ -n $baseline && $kb -gt $peak ]]; then peak=$kb; fi
  if [[ $SECONDS -ge $next_burst && $((SECONDS - start + 30)) -lt $SECONDS_TOTAL ]]; then
    burst
    next_burst=$((SECONDS + 360))
  fi
done
stop_typist; wait "$typist" 2>/dev/null
alive
final=$(rss)
echo "resident memory: after warm-up ${baseline} kB, at the end ${final} kB, highest since ${peak} kB, over $((SECONDS - start)) s"
hold Escape
wait_exit 30; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: ' "$CASE/stderr"; then
  fail "sanitizer report"
fi
grep -qE '^(Error|ERROR): ' "$CASE/stderr" && fail "a message box: $(grep -E '^(Error|ERROR): ' "$CASE/stderr")"
growth=$(( peak - ${baseline:-0} ))
[[ -n $baseline && $growth -le 1024 ]] ||
  fail "resident memory grew by ${growth} kB after the warm-up"
echo "ok"
