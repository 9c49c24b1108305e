# Shared by the end-to-end tests: run build/qel under the X server (and sound
# server) that ./test.sh started, drive it with xdotool, read the screen.
# Each test script takes the build directory as its argument.
set -uo pipefail

BUILD=$(cd "${1:?build directory}" && pwd)
QEL=$BUILD/qel
CASE=$(mktemp -d /tmp/qel-e2e.XXXXXX)
QEL_PID=
trap 'e2e_cleanup' EXIT

e2e_cleanup() {
  [[ -n "$QEL_PID" ]] && kill -9 "$QEL_PID" 2>/dev/null
  rm -rf "$CASE"
}

fail() {
  echo "FAIL: $*" >&2
  [[ -f "$CASE/stderr" ]] && { echo "--- qel stderr:" >&2; cat "$CASE/stderr" >&2; }
  exit 1
}

# The four data files, made once per build and copied into each case.
data_dir() {
  local data=$BUILD/e2e-data
  if [[ ! -f $data/music.mp3 ]]; then
    mkdir -p "$data"
    "$BUILD/qel-assets" "$data" >/dev/null || fail "qel-assets failed"
  fi
  mkdir -p "$CASE/data"
  cp "$data"/* "$CASE/data/"
  echo "$CASE/data"
}

# start_qel DIR: runs the game from DIR in the background.
start_qel() {
  (cd "$1" && exec "$QEL" >"$CASE/stdout" 2>"$CASE/stderr") &
  QEL_PID=$!
}

# wait_window: the game's window id, once it is mapped (10 s at most).
wait_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null | head -n 1)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    kill -0 "$QEL_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_exit SECONDS: the game's exit code, or fails when it is still running.
wait_exit() {
  local limit=$(( $1 * 10 ))
  for _ in $(seq "$limit"); do
    if ! kill -0 "$QEL_PID" 2>/dev/null; then
      wait "$QEL_PID"
      local code=$?
      QEL_PID=
      return "$code"
    fi
    sleep 0.1
  done
  fail "qel still running after $1 s"
}

# hold KEY: down, a tenth of a second, up, as a player presses it (a key the
# game reads once a frame must be down during a frame).
hold() {
  xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"
}

# pixel X Y: the screen's colour there as "R,G,B".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

# screenshot FILE: the whole screen as PNG.
screenshot() {
  import -window root "$1" 2>/dev/null
}

# box_id TITLE: the id of the shown window titled exactly TITLE, or nothing
# (xdotool's search ignores case, and "Error" is not "ERROR").
box_id() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1" ]]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# wait_box TITLE: the window id of a message box titled TITLE, once it is
# up (10 s at most).
wait_box() {
  local id
  for _ in $(seq 100); do
    id=$(box_id "$1") && { echo "$id"; return 0; }
    kill -0 "$QEL_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_focus ID: succeeds once window ID has the keyboard (5 s at most).
wait_focus() {
  for _ in $(seq 50); do
    [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}

# wait_gone ID: succeeds once window ID is off the screen (5 s at most).
wait_gone() {
  for _ in $(seq 50); do
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  return 1
}

# press_box ID: answers a message box with Return as a player does, on the
# keyboard it must have; fails when it never gets the keyboard or stays up.
press_box() {
  wait_focus "$1" || { echo "message box $1 never got the keyboard" >&2; return 1; }
  xdotool key Return
  wait_gone "$1" || { echo "message box $1 stayed up after Return" >&2; return 1; }
}

# answer_box TITLE: waits for the box and answers it.
answer_box() {
  local id
  id=$(wait_box "$1") || return 1
  press_box "$id"
}

# count_colour FILE R,G,B [X Y W H [TOLERANCE]]: pixels of that colour in
# FILE (or in the given rectangle of it), each channel within TOLERANCE
# (default 0: exactly).
count_colour() {
  local file=$1 colour=$2 crop=()
  [[ $# -ge 6 ]] && crop=(-crop "${5}x${6}+${3}+${4}")
  convert "$file" "${crop[@]}" -depth 8 txt:- 2>/dev/null |
    awk -v want="$colour" -v tol="${7:-0}" '
      BEGIN { split(want, w, ",") }
      /^[0-9]/ {
        match($0, /\(([0-9]+),([0-9]+),([0-9]+)/)
        split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
        if (c[1] - w[1] <= tol && w[1] - c[1] <= tol &&
            c[2] - w[2] <= tol && w[2] - c[2] <= tol &&
            c[3] - w[3] <= tol && w[3] - c[3] <= tol) n++
      }
      END { print n + 0 }'
}

# record SECONDS FILE: what the sound server's null sink played, as raw
# 16-bit stereo at 44.1 kHz.
record() {
  timeout "$1" parec --device=qel.monitor --raw --format=s16le --rate=44100 \
    --channels=2 >"$2" 2>/dev/null
  return 0
}

# rms FILE [SKIP_BYTES]: the root mean square of raw 16-bit samples.
rms() {
  tail -c +"$(( ${2:-0} + 1 ))" "$1" | od -An -v -t d2 |
    awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } }
         END { if (n == 0) print 0; else printf "%d\n", sqrt(s / n) }'
}
