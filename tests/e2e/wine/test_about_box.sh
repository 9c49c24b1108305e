#!/bin/bash
# The resources as Windows reads them from the exe: the window class named by
# string 109, the menu's mnemonics, the About box (dialog 103) with icon 107.
# No frame runs while the box is open; Escape closes it and the game goes on.
source "$(dirname "$0")/lib.sh"
start_game "$(game_dir)" +class
game_window >/dev/null || fail "no window"
grep -q 'RegisterClassExWOW name=L"Qel" .* style=0x3 ' "$CASE/stderr" ||
  fail "the window class \"Qel\" was not registered as it should be"
sleep 0.5
xdotool key alt+h sleep 0.3 key a
box=$(wait_window 关于) || fail "Alt+H, A did not open the About box"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$box")"
((WIDTH > 200 && HEIGHT > 80)) || fail "the About box is ${WIDTH}x$HEIGHT"
screenshot "$CASE/about.xwd"
# The icon, blue, in the box's top left corner.
[[ $(count_colour "$CASE/about.xwd" 'rgb(0,0,255)' 40 "$X" "$Y" 80 60) -gt 50 ]] ||
  fail "no icon in the About box"
top=$(menu_height "$CASE/about.xwd") || fail "no grey background beside the box"
hud() { import -window root -crop "900x20+100+$((top + 718))" -depth 8 rgb:- 2>/dev/null | md5sum; }
before=$(hud)
sleep 1
[[ $(hud) == "$before" ]] || fail "frames ran while the About box was open"
xdotool key Escape
until_true 10 is_gone "$box" || fail "Escape did not close the About box"
before=$(hud)
sleep 0.5
[[ $(hud) != "$before" ]] || fail "the game did not go on after the About box"
quits "after the About box"
echo "ok"
