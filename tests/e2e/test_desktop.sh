#!/bin/bash
# The game on a desktop, under openbox and then xfwm4, each in an X server of
# this test's own at 1920 by 1080 with a panel along the bottom edge and
# another window: the game covers the whole screen, panel included, has the
# keyboard from the start and keeps it, or gets it back, after the About box,
# Alt+Tab away and back, and a message box at start-up. QEL_DESKTOPS=xfwm4
# runs one.
source "$(dirname "$0")/session.sh"
# Nothing of the user's desktop reaches the window managers' settings.
export SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1 HOME=$CASE
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME

PANEL='rgb(32,192,64)'
# A window manager is ready once the check window the root names exists
# (xfwm4 names it earlier, and an Alt+Tab then went unheard).
wm_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -oE '0x[0-9a-f]+$') &&
    xprop -id "$check" _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1
}
panel_placed() {
  (($(on_screen "$PANEL" 3 0 1040 1920 40) == 1920 * 40)) && xprop -root _NET_WORKAREA | grep -q '= 0, 0, 1920, 1040'
}
# shown CLASS: the id of the window of that class once it shows, its map
# asked for again meanwhile (one mapped as the window manager starts stayed
# unmapped). A window not made yet is not shown: the client may still be
# starting.
shown() { until_true 10 mapped "$1" && xdotool search --onlyvisible --classname "$1" | head -n 1; }
mapped() {
  xdotool search --onlyvisible --classname "$1" || { xdotool search --classname "$1" windowmap %@; false; }
} >/dev/null 2>&1
start_desktop() {
  start_x 1920x1080
  if [[ $1 == xfwm4 ]]; then
    # xfwm4 reads its settings (Alt+Tab's among them) through xfconfd, on a
    # session bus: one of this test's own.
    start_bus
    session_started xfwm4 --compositor=off
  else
    session_started openbox --sm-disable
  fi
  until_true 20 wm_running || { session_log; fail "$1 did not start"; }
  # The panel: a dock with a strut, which a window manager keeps ordinary
  # windows off and leaves above them. Its type is read as it is mapped.
  session_started xlogo -name qelpanel -geometry 1920x40+0+1040 -bg '#20c040' -fg '#20c040'
  local panel
  panel=$(shown qelpanel) || fail "no panel"
  xdotool windowunmap --sync "$panel"
  xprop -id "$panel" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
  xprop -id "$panel" -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL 0,0,0,40,0,0,0,0,0,0,0,1919
  xdotool windowmove "$panel" 0 1040
  shown qelpanel >/dev/null && until_true 10 panel_placed ||
    fail "the panel is not in place: $(xprop -root _NET_WORKAREA), $(xdotool getwindowgeometry "$panel" | tr '\n' ' ')"
  # Another application's window, one that takes the keyboard.
  session_started xedit -name qelother -geometry 500x300+300+300
  other=$(shown qelother) || fail "no other window"
}

# The game's 1024 by 768 is scaled by 1080/768 and centred. Its keyboard
# picture (here 100,260 to 900,520) shows while it is paused; while it runs
# the place is grey, but for a letter.
running() { (($(on_screen 'rgb(200,200,200)' 0 380 365 1125 365) > 380000)); }
paused() { (($(on_screen 'rgb(200,200,200)' 0 380 365 1125 365) < 200000)); }
# after KEYS CHECK...: xdotool presses KEYS, and CHECK comes true within 10 s.
after() { xdotool key $1 && until_true 10 "${@:2}"; }
# space_toggles WHEN: Space starts the paused game, or pauses it.
space_toggles() {
  [[ $state == paused ]] && state=running || state=paused
  after space "$state" || fail "$wm: Space did not reach the game $1"
}
# covers_screen WHEN: the game's window is the screen, and above the panel.
covers_screen() {
  fills_1080 "$game" || fail "$wm: the window is ${WIDTH}x$HEIGHT at $X,$Y $1"
  [[ $(on_screen "$PANEL" 3 0 1040 1920 40) -eq 0 ]] || fail "$wm: the panel shows over the game $1"
}
# with_keyboard WHEN: the game has the keyboard, is paused, covers the screen.
with_keyboard() {
  game=$(wait_window Qel) || fail "$wm: no window $1"
  until_true 5 has_focus "$game" || fail "$wm: the keyboard is on $(xdotool getwindowfocus getwindowname) $1"
  until_true 5 paused || fail "$wm: no pause screen $1"
  state=paused
  covers_screen "$1"
}
about_open() { [[ $(on_screen 'rgb(240,240,240)' 0 661 281 1 1) -eq 1 ]]; }

for wm in ${QEL_DESKTOPS:-openbox xfwm4}; do
  start_desktop "$wm"
  data_dir && dir=$CASE/data
  start_qel "$dir"
  with_keyboard "at the start"
  space_toggles "at the start"
  after "alt+h sleep 0.3 key a" about_open || fail "$wm: no About box"
  after Return eval '! about_open' || fail "$wm: Enter did not close the About box"
  has_focus "$game" || fail "$wm: the game lost the keyboard to the About box"
  space_toggles "after the About box"
  after alt+Tab has_focus "$other" || fail "$wm: Alt+Tab did not take the keyboard away"
  after alt+Tab has_focus "$game" || fail "$wm: Alt+Tab did not bring the keyboard back"
  covers_screen "after Alt+Tab"
  space_toggles "after Alt+Tab"
  quits "$wm"

  rm "$dir/music.mp3"
  start_qel "$dir"
  press_box "$(wait_window Error)" || fail "$wm: no music box answered"
  # The box goes as Return goes down: xdotool may fail, its window gone,
  # before it lets go of the key.
  xdotool keyup Return
  with_keyboard "after the message box"
  space_toggles "after the message box"
  quits "$wm, after the message box"
  stop_session
  echo "ok: $wm"
done
