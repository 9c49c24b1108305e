# Sourced, with the Linux build directory, by the cases that run the game in a
# desktop session of their own, as a player's (it sources lib.sh): an X
# server, a session bus and the daemons the case names, each started here and
# stopped by its PID, last started first; keys pressed by X keycode through
# XTest, as a keyboard sends them.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "${1:?build directory}"
SESSION=()
stop_session() {
  stop_game
  for ((i = ${#SESSION[@]} - 1; i >= 0; i--)); do kill "${SESSION[i]}" && wait "${SESSION[i]}"; done 2>/dev/null
  SESSION=()
}
trap 'stop_session; rm -rf "$CASE"' EXIT
# session_started COMMAND...: COMMAND in the background, its output in the
# session's log, stopped with the session.
session_started() { "$@" >>"$CASE/session.log" 2>&1 & SESSION+=($!); }
session_log() { tail -n 20 "$CASE/session.log" 2>/dev/null | sed 's/^/  session: /'; }

# needs PROGRAM...: a program the case runs is there, or the case fails
# saying so: never a pass without the programs it is about.
needs() {
  local p
  for p; do
    command -v "$p" >/dev/null || fail "$p is not installed: scripts/packages.sh test installs what the end-to-end cases run"
  done
  /usr/bin/python3 -c 'import Xlib' 2>/dev/null || fail "python3-xlib is not installed (XTest keys)"
}

# start_x [WxH]: an X server of the case's own (1024x768 unless WxH), as DISPLAY.
start_x() {
  rm -f "$CASE/display"
  session_started Xvfb -displayfd 5 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 5>"$CASE/display"
  until_true 10 test -s "$CASE/display" || fail "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$CASE/display")
}

# start_bus: a session bus of the case's own, as DBUS_SESSION_BUS_ADDRESS.
start_bus() {
  rm -f "$CASE/bus"
  session_started dbus-daemon --session --nofork --print-address 5 5>"$CASE/bus"
  until_true 10 test -s "$CASE/bus" || fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$CASE/bus")
}

# keys [--hold S] [--gap S] KEYCODE...: keys pressed by X keycode, whatever
# the layout makes of them (37+65 holds Ctrl with Space).
XKEYS=$(dirname "${BASH_SOURCE[0]}")/xkeys.py
keys() { /usr/bin/python3 "$XKEYS" "$@" || fail "XTest keys failed"; }
# key_of LETTER: the keycode that types LETTER in the layout now; fails when
# none does.
key_of() { /usr/bin/python3 "$XKEYS" --which "$1" 2>/dev/null; }
# The keycodes of the letter keys a to z of a US keyboard, and of Space.
US_LETTER_KEYS=(38 56 54 40 26 41 42 43 31 44 45 46 58 57 32 33 24 27 39 28 30 55 25 53 29 52)
SPACE_KEY=65
# us_key LETTER: the keycode of LETTER on a US keyboard.
us_key() { echo "${US_LETTER_KEYS[$(($(printf %d "'$1") - 97))]}"; }

# fills_1080 ID: window ID covers a 1920 by 1080 screen (X, Y, WIDTH and
# HEIGHT say where it is).
fills_1080() {
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" && [[ $X,$Y,$WIDTH,$HEIGHT == 0,0,1920,1080 ]]
}
knocked_out() {
  [[ $(score_now) != "$1" ]] && (($(count_colour "$CASE/screen.xwd" 'rgb(0,0,255)' 10 0 0 1024 680) < 20)) &&
    (($(count_colour "$CASE/screen.xwd" 'rgb(200,200,200)' 0 500 370 24 20) == 480))
}

# play WHAT: the game started from a fresh data folder, Space pressed by its
# keycode, and a letter falling.
play() {
  data_dir && start_qel "$CASE/data"
  wait_window Qel >/dev/null || fail "$1: no window"
  keys "$SPACE_KEY"
  until_true 10 picture_gone || fail "$1: Space did not start the game"
  until_true 10 letter_falls || fail "$1: no letter falls"
}

# knocks_out WHAT KEYCODE...: pressing the keys knocks the falling letter out:
# the game runs on, the letter is gone and the score changed (an input
# method's window over the HUD would change the score line alone).
knocks_out() {
  local before
  before=$(score_now)
  keys "${@:2}"
  until_true 3 knocked_out "$before" || fail "$1: the keys did not knock the letter out"
}

# loudest FILE: the root mean square of the loudest tenth of a second of a
# recording (raw 16-bit stereo at 44.1 kHz): a short sound stands out.
loudest() {
  od -An -v -t d2 -w4 "$1" |
    awk '{ s += $1 * $1 + $2 * $2; if (++n == 4410) { if (s > best) best = s; s = 0; n = 0 } }
         END { printf "%d\n", sqrt(best / 8820) }'
}

PAGE_UP_KEY=112 PAGE_DOWN_KEY=117
# next_letter WHAT: level 2 and back to 1, which empties the field and leaves
# the score at 0 (a second knock-out would raise the level, and more than
# one letter may fall above level 1); then the next letter falling (not one
# that came at level 2 and went with Page Up).
next_letter() {
  keys "$PAGE_DOWN_KEY" "$PAGE_UP_KEY"
  sleep 0.5
  until_true 8 letter_falls || fail "$1: no letter falls"
  sleep 0.2
}
