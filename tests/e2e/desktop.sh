#!/bin/bash
# The game on a desktop: a window manager (openbox or xfwm4), a panel along
# the bottom edge and another window, all in an X server of this test's own
# at 1920 by 1080. The game covers the whole screen above the panel, has the
# keyboard from its first frame, and keeps it (or gets it back) after the
# About box, Alt+Tab away and back, and a message box at start-up.
# Usage: desktop.sh openbox|xfwm4 BUILD_DIR
WM=${1:?window manager}
shift
source "$(dirname "$0")/lib.sh"

export SDL_AUDIODRIVER=dummy
# Nothing of the user's desktop reaches the window manager's settings.
export HOME=$CASE/home XDG_CONFIG_HOME=$CASE/config XDG_CACHE_HOME=$CASE/cache
export XDG_DATA_HOME=$CASE/share NO_AT_BRIDGE=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"

DESKTOP_PIDS=()
trap 'desktop_cleanup' EXIT
desktop_cleanup() {
  [[ -n "$QEL_PID" ]] && kill -9 "$QEL_PID" 2>/dev/null
  QEL_PID=
  # Last started, first stopped: the X server goes last.
  local i
  for ((i = ${#DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${DESKTOP_PIDS[$i]}" 2>/dev/null
    wait "${DESKTOP_PIDS[$i]}" 2>/dev/null
  done
  e2e_cleanup
}

# until_true SECONDS COMMAND...: polls COMMAND until it succeeds; fails when
# it has not within SECONDS.
until_true() {
  local end=$(($(date +%s%N) / 1000000 + $1 * 1000))
  shift
  while true; do
    "$@" && return 0
    (($(date +%s%N) / 1000000 < end)) || return 1
    sleep 0.1
  done
}

# The screen as raw RGB, quicker to take and read than a PNG at this size.
shot() {
  import -window root -depth 8 "rgb:$CASE/screen.rgb" 2>/dev/null
}

# counts R,G,B TOLERANCE X,Y,W,H...: for each rectangle of the last shot,
# the pixels of that colour (each channel within TOLERANCE), one a line.
counts() {
  local colour=$1 tol=$2 crops=() r
  shift 2
  for r in "$@"; do
    IFS=, read -r x y w h <<<"$r"
    crops+=(\( -clone 0 -crop "${w}x${h}+${x}+${y}" \))
  done
  convert -size 1920x1080 -depth 8 "rgb:$CASE/screen.rgb" "${crops[@]}" \
    -delete 0 txt:- 2>/dev/null |
    awk -v want="$colour" -v tol="$tol" '
      BEGIN { split(want, w, ","); i = -1 }
      /^#/ { if (i >= 0) print n + 0; i++; n = 0; next }
      {
        match($0, /\(([0-9]+),([0-9]+),([0-9]+)/)
        split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
        if (c[1] - w[1] <= tol && w[1] - c[1] <= tol &&
            c[2] - w[2] <= tol && w[2] - c[2] <= tol &&
            c[3] - w[3] <= tol && w[3] - c[3] <= tol) n++
      }
      END { if (i >= 0) print n + 0 }'
}

# The screen of this test: Xvfb picks a free display and writes its number.
start_screen() {
  Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp -noreset \
    5>"$CASE/display" >"$CASE/xvfb.log" 2>&1 &
  DESKTOP_PIDS+=($!)
  until_true 10 test -s "$CASE/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$CASE/display")"
}

# The window manager has taken the screen once the root names a check
# window that exists (a stale property from an earlier one names none).
wm_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null |
          grep -oE '0x[0-9a-f]+$') || return 1
  xprop -id "$check" _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}

start_wm() {
  case $WM in
  openbox)
    openbox --sm-disable >"$CASE/wm.log" 2>&1 &
    DESKTOP_PIDS+=($!)
    ;;
  xfwm4)
    # xfwm4 reads its settings (the Alt+Tab binding among them) through
    # xfconfd, which it reaches on a session bus: one of the test's own.
    dbus-daemon --session --nofork --print-address 5 5>"$CASE/bus" \
      >"$CASE/bus.log" 2>&1 &
    DESKTOP_PIDS+=($!)
    until_true 10 test -s "$CASE/bus" || fail "no session bus"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$CASE/bus")
    export DBUS_SESSION_BUS_ADDRESS
    xfwm4 --compositor=off >"$CASE/wm.log" 2>&1 &
    DESKTOP_PIDS+=($!)
    ;;
  *) fail "unknown window manager $WM" ;;
  esac
  until_true 20 wm_running || { cat "$CASE/wm.log" >&2; fail "$WM did not start"; }
}

PANEL_COLOUR=32,192,64
# A panel: a solid window made a dock with a strut of 40 pixels along the
# bottom edge. A window manager keeps ordinary windows off it and leaves it
# above them; only a full-screen window goes over it.
start_panel() {
  xlogo -name qelpanel -geometry 1920x40+0+1040 -bg '#20c040' -fg '#20c040' \
    >/dev/null 2>&1 &
  DESKTOP_PIDS+=($!)
  local id
  id=$(xdotool search --sync --onlyvisible --classname qelpanel | head -n 1)
  [[ -n "$id" ]] || fail "no panel window"
  # The window type is read when a window is mapped: withdraw it first.
  xdotool windowunmap --sync "$id"
  xprop -id "$id" -f _NET_WM_WINDOW_TYPE 32a \
    -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
  xprop -id "$id" -f _NET_WM_STRUT 32c -set _NET_WM_STRUT "0,0,0,40"
  xprop -id "$id" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "0,0,0,40,0,0,0,0,0,0,0,1919"
  # A WM that framed it put it back shifted by its title bar.
  xdotool windowmove "$id" 0 1040
  xdotool windowmap --sync "$id"
  panel_placed() {
    xwininfo -id "$id" | grep -q 'Absolute upper-left Y: *1040' &&
      [[ $(pixel 960 1060) == "$PANEL_COLOUR" ]] &&
      xprop -root _NET_WORKAREA | grep -q '= 0, 0, 1920, 1040'
  }
  until_true 10 panel_placed ||
    fail "the panel is not in place: $(pixel 960 1060), $(xprop -root _NET_WORKAREA)"
}

# Another application's window, one that takes the keyboard.
OTHER=
start_other() {
  xedit -name qelother -geometry 500x300+300+300 >/dev/null 2>&1 &
  DESKTOP_PIDS+=($!)
  OTHER=$(xdotool search --sync --onlyvisible --classname qelother | head -n 1)
  [[ -n "$OTHER" ]] || fail "no other window"
}

# has_focus ID: the keyboard focus is on window ID or inside it.
has_focus() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) || return 1
  [[ $focus == "$1" ]] && return 0
  xwininfo -children -id "$1" 2>/dev/null | grep -q "^ *$(printf '0x%x' "$focus") "
}

# Where a point of the game's 1024 by 768 picture is on the screen: scaled
# by 1080/768 and centred, 240 pixels of black on each side.
sx() { echo $((240 + $1 * 1080 / 768)); }
sy() { echo $(($1 * 1080 / 768)); }

# The keyboard picture shows while the game is paused: three patches of it
# (keys at the game's 100,300, 500,370 and 700,480, 24 by 20 each) are plain
# grey while the game runs. A falling letter covers one patch at most.
PATCH=$((33 * 28))
grey_patches() {
  shot
  counts 200,200,200 0 "$(sx 100),$(sy 300),33,28" "$(sx 500),$(sy 370),33,28" \
    "$(sx 700),$(sy 480),33,28"
}
is_running() {
  [[ $(grey_patches | awk -v n=$PATCH '$1 == n { k++ } END { print k + 0 }') -ge 2 ]]
}
is_paused() {
  [[ $(grey_patches | awk -v n=$PATCH '$1 < n / 2 { k++ } END { print k + 0 }') -eq 3 ]]
}

# space_toggles WHEN: Space reaches the game and starts or pauses it.
space_toggles() {
  local want=is_running
  is_running && want=is_paused
  xdotool key space
  until_true 10 "$want" || fail "Space did not reach the game $1"
}

# covers_screen ID WHEN: the game's window is the whole screen and is drawn
# over the panel: its black side bars and its grey picture where the panel
# is (the bottom of the game's picture is grey at its left and right ends).
covers_screen() {
  local geometry
  geometry=$(xdotool getwindowgeometry "$1")
  grep -q 'Position: 0,0' <<<"$geometry" && grep -q 'Geometry: 1920x1080' <<<"$geometry" ||
    fail "the window is not the whole screen $2: $geometry"
  shot
  local panel side grey
  read -r panel < <(counts "$PANEL_COLOUR" 8 0,1040,1920,40)
  [[ $panel -eq 0 ]] || fail "the panel shows over the game $2 ($panel pixels)"
  side=$(counts 0,0,0 0 0,1040,240,40 1680,1040,240,40 | awk '{ s += $1 } END { print s + 0 }')
  [[ $side -eq $((2 * 240 * 40)) ]] || fail "no black side bars where the panel is $2 ($side)"
  grey=$(counts 200,200,200 0 240,1040,100,40 1580,1040,100,40 | awk '{ s += $1 } END { print s + 0 }')
  [[ $grey -eq $((2 * 100 * 40)) ]] || fail "the game's picture is not where the panel is $2 ($grey)"
}

# start_game DIR: starts the game from DIR; its window id in GAME.
GAME=
start_game() {
  start_qel "$1"
  GAME=$(wait_window) || fail "no window"
}

quit_game() {
  hold Escape
  wait_exit 10
  local code=$?
  [[ $code -eq 0 ]] || fail "exit code $code"
}

start_screen
start_wm
start_panel
start_other

# 1 and 2: the whole screen, above the panel; the keyboard from the start.
start_game "$(data_dir)"
until_true 3 has_focus "$GAME" ||
  fail "the game does not have the keyboard: $(xdotool getwindowfocus getwindowname)"
until_true 5 is_paused || fail "no pause screen"
covers_screen "$GAME" "at the start"
space_toggles "at the start"

# 3: the About box opens and closes; the keys still reach the game.
xdotool key alt+h
sleep 0.3
xdotool key a
about_open() { [[ $(pixel "$(sx 300)" "$(sy 200)") == "240,240,240" ]]; }
until_true 10 about_open || fail "no About box: $(pixel "$(sx 300)" "$(sy 200)")"
xdotool key Return
until_true 10 eval '! about_open' || fail "Enter did not close the About box"
has_focus "$GAME" || fail "the game lost the keyboard to the About box"
space_toggles "after the About box"

# 4: Alt+Tab to the other window and back; the game takes keys again (no
# Alt left down, no menu opened by Alt's release elsewhere) and covers the
# panel again.
xdotool key alt+Tab
until_true 10 has_focus "$OTHER" ||
  fail "Alt+Tab did not move the keyboard: $(xdotool getwindowfocus getwindowname)"
xdotool key alt+Tab
until_true 10 has_focus "$GAME" ||
  fail "Alt+Tab did not bring the keyboard back: $(xdotool getwindowfocus getwindowname)"
covers_screen "$GAME" "after Alt+Tab"
space_toggles "after Alt+Tab"
is_running || space_toggles "after Alt+Tab, again"
# A letter falls at once; every letter key knocks it out, and the score in
# the level line goes up (the next letter may be falling by then).
falling() {
  shot
  local blue
  blue=$(convert -size 1920x1080 -depth 8 "rgb:$CASE/screen.rgb" \
    -crop 1440x956+240+0 -fill black -opaque white \
    -fuzz 20% -fill white -opaque 'rgb(0,0,255)' -fuzz 0 -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info:)
  [[ $blue -gt 50 ]]
}
score_line() {
  shot
  convert -size 1920x1080 -depth 8 "rgb:$CASE/screen.rgb" \
    -crop "281x31+$(sx 100)+$(sy 688)" rgb:- | md5sum
}
until_true 10 falling || fail "no falling letter after Alt+Tab"
score=$(score_line)
xdotool type --delay 12 abcdefghijklmnopqrstuvwxyz
scored() { [[ $(score_line) != "$score" ]]; }
until_true 10 scored || fail "letter keys after Alt+Tab did not knock out the letter"
quit_game

# 5: with music.mp3 missing a message box comes before the window; once it
# is answered, the game has the keyboard.
data=$(data_dir)
rm "$data/music.mp3"
start_qel "$data"
wait_box Error >/dev/null || fail "no message box"
# The box goes as Return goes down: xdotool, finding its window gone, may
# fail before it lets go of the key, and the game starts with Return held.
answer_box Error
xdotool keyup Return
GAME=$(wait_window) || fail "no window after the message box"
xwininfo -root -tree | grep -q '"Error"' && fail "the message box is still up"
until_true 5 has_focus "$GAME" ||
  fail "the game does not have the keyboard after the message box: $(xdotool getwindowfocus getwindowname)"
until_true 5 is_paused || fail "no pause screen after the message box"
covers_screen "$GAME" "after the message box"
space_toggles "after the message box"
grep -q "^Error: DXshow RenderFile" "$CASE/stderr" || fail "no Error line on stderr"
quit_game
echo "ok"
