#!/bin/bash
# The game through XWayland under weston (headless, its desktop shell), as
# SDL 2 takes X11 by default on a Wayland desktop: started 10 times, each time
# it covers the whole output with weston's full-screen state, Space pressed
# by keycode reaches it, and Escape ends it with 0. (weston's window manager
# dropped the first full-screen request in about half the starts.)
source "$(dirname "$0")/session.sh"
needs weston Xwayland
STARTS=${QEL_WESTON_STARTS:-10}
export SDL_AUDIODRIVER=dummy HOME=$CASE/home XDG_RUNTIME_DIR=$CASE/run
unset DISPLAY WAYLAND_DISPLAY XDG_CONFIG_HOME
mkdir -m 700 -p "$HOME" "$XDG_RUNTIME_DIR"
session_started weston --backend=headless-backend.so --width=1920 --height=1080 --xwayland \
  --socket=qel-wayland --log="$CASE/weston.log"
xwayland() { grep -o 'xserver listening on display :[0-9]*' "$CASE/weston.log" 2>/dev/null | grep -o ':[0-9]*$'; }
until_true 20 xwayland >/dev/null || { cat "$CASE/weston.log"; fail "weston started no XWayland"; }
export DISPLAY=$(xwayland)

# The window's own pixels (XWayland's root shows none of them): the game's
# 1024 by 768 scaled by 1080/768 and centred; its keyboard picture while it
# is paused, grey there once it runs.
running() {
  xwd -silent -id "$game" >"$CASE/window.xwd" 2>/dev/null &&
    (($(count_colour "$CASE/window.xwd" 'rgb(200,200,200)' 0 380 365 1125 365) > 380000))
}
full_screen() { fills_1080 "$game" && xprop -id "$game" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
data_dir
for start in $(seq "$STARTS"); do
  start_qel "$CASE/data"
  game=$(wait_window Qel 20) || fail "start $start: no window"
  until_true 5 full_screen ||
    fail "start $start: not full screen: ${WIDTH:-?}x${HEIGHT:-?} at ${X:-?},${Y:-?}, $(xprop -id "$game" _NET_WM_STATE)"
  keys "$SPACE_KEY"
  until_true 10 running || fail "start $start: Space did not reach the game"
  quits "start $start"
done
echo "ok: full screen, keys taken and Escape in all $STARTS starts under weston"
