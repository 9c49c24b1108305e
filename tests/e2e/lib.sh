# Shared by the end-to-end cases, Linux and Wine: the game run as a process in
# the X server and sound server of ./test.sh, driven with xdotool, its screen
# and sound read back. Sourced with the Linux build directory as argument.
set -uo pipefail

BUILD=$(cd "${1:?build directory}" && pwd)
QEL=$BUILD/qel
CASE=$(mktemp -d /tmp/qel-e2e.XXXXXX)
QEL_PID=
STOP_SIGNAL=KILL
trap 'stop_game; rm -rf "$CASE"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [[ -f $CASE/stderr ]] && grep -v fixme "$CASE/stderr" | tail -n 30 | sed 's/^/  stderr: /' >&2
  exit 1
}

stop_game() {
  [[ -n $QEL_PID ]] && kill -"$STOP_SIGNAL" "$QEL_PID" 2>/dev/null && wait "$QEL_PID" 2>/dev/null
  QEL_PID=
}

# until_true SECONDS COMMAND...: polls COMMAND until it succeeds, SECONDS at most.
until_true() {
  local end=$(($(date +%s%N) + $1 * 1000000000))
  while ! "${@:2}"; do
    (($(date +%s%N) < end)) || return 1
    sleep 0.1
  done
}

alive() { kill -0 "$QEL_PID" 2>/dev/null; }

# data_dir: $CASE/data holds the four data files qel-assets writes (again).
data_dir() {
  local made=$BUILD/e2e-data
  [[ -f $made/music.mp3 ]] || { mkdir -p "$made" && "$BUILD/qel-assets" "$made" >/dev/null; } ||
    fail "qel-assets failed"
  mkdir -p "$CASE/data" && cp "$made"/* "$CASE/data/"
}

# start_qel DIR [COMMAND...]: the game (build/qel unless COMMAND) run from DIR
# in the background, its output in $CASE/stdout and $CASE/stderr.
start_qel() {
  (cd "$1" && shift && exec "${@:-$QEL}" >"$CASE/stdout" 2>"$CASE/stderr") &
  QEL_PID=$!
}

# wait_exit [SECONDS]: the game's exit code once it ends; 124 when it was
# still running after SECONDS (10) and had to be stopped.
wait_exit() {
  until_true "${1:-10}" eval '! alive' || { stop_game; return 124; }
  wait "$QEL_PID"
  local code=$?
  QEL_PID=
  return "$code"
}

# exits_zero WHAT: the game ends, with exit code 0.
exits_zero() { wait_exit || fail "$1: exit code $?"; }

# window_named TITLE: a shown window titled exactly TITLE (xdotool's search
# ignores case, and "Error" is not "ERROR").
window_named() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1" ]] && { echo "$id"; return 0; }
  done
  return 1
}

# wait_window TITLE [SECONDS]: the id of the window titled TITLE (the game's
# is "Qel") once it shows; fails when the game ends first.
wait_window() { until_true "${2:-10}" shown_or_ended "$1" && window_named "$1"; }
shown_or_ended() { window_named "$1" >/dev/null || ! alive; }

# has_focus ID: the keyboard is on window ID or inside it. (xwininfo given no
# id waits for a click: no window is never a window to ask about.)
has_focus() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) && [[ -n $1 ]] || return 1
  [[ $focus == "$1" ]] || xwininfo -children -id "$1" 2>/dev/null | grep -q "^ *$(printf 0x%x "$focus") "
}

is_gone() { [[ -n $1 ]] && ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

# press_box ID: Return answers the message box ID, which has the keyboard.
press_box() {
  until_true 5 has_focus "$1" || { echo "box $1 never got the keyboard" >&2; return 1; }
  xdotool key Return
  until_true 5 is_gone "$1" || { echo "box $1 stayed up after Return" >&2; return 1; }
}

# hold KEY [SECONDS]: down for a tenth of a second (or SECONDS), as a player
# presses it: the game reads Escape once a frame.
hold() { xdotool keydown "$1"; sleep "${2:-0.1}"; xdotool keyup "$1"; }
# quits WHAT: Escape, held as a player holds it, ends the game with 0.
quits() { hold Escape 0.15 && exits_zero "$1: Escape"; }

# screenshot FILE.xwd: the whole screen.
screenshot() { xwd -root -silent >"$1"; }

# count_colour FILE COLOUR FUZZ X Y W H: the pixels of that rectangle of FILE
# within FUZZ percent of COLOUR ("rgb(R,G,B)").
count_colour() {
  convert "$1" -crop "${6}x${7}+${4}+${5}" +repage -alpha set -fuzz "$3%" -transparent "$2" \
    -channel A -separate -format '%[fx:round((1 - mean) * w * h)]' info: 2>/dev/null
}
# on_screen COLOUR FUZZ X Y W H: the same, counted on the screen now.
on_screen() { screenshot "$CASE/screen.xwd" && count_colour "$CASE/screen.xwd" "$@"; }

# In a 1024 by 768 screen. The game runs once the keyboard picture is gone
# (grey where it was); a letter falls in blue; the red HUD line holds the
# score.
picture_gone() { (($(on_screen 'rgb(200,200,200)' 0 500 370 24 20) == 480)); }
letter_falls() { (($(on_screen 'rgb(0,0,255)' 10 0 0 1024 680) > 50)); }
score_line() { convert "$CASE/screen.xwd" -crop 300x22+100+688 -depth 8 rgb:- | md5sum; }
score_now() { screenshot "$CASE/screen.xwd" && score_line; }

# record SECONDS FILE: what the null sink played, raw 16-bit stereo at 44.1 kHz.
record() {
  timeout "$1" parec --device=qel.monitor --raw --format=s16le --rate=44100 --channels=2 >"$2" 2>/dev/null || true
}

# rms FILE [SKIP_SECONDS]: the root mean square of the recorded samples.
rms() {
  tail -c +$((${2:-0} * 176400 + 1)) "$1" | od -An -v -t d2 |
    awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } } END { printf "%d\n", n ? sqrt(s / n) : 0 }'
}
