#!/bin/bash
# The resources as Windows reads them from the exe: the title and class
# strings (103 and 109), the window class, the menu's mnemonics and the
# About box (dialog 103, with icon 107). No frame runs while the box is
# open; Escape closes it and the game goes on.
source "$(dirname "$0")/lib.sh"
start_game "$(game_dir)" "+resource,+class"
id=$(wait_window) || fail "no window"
sleep 0.5
grep -q 'LoadStringA instance = 0*140000000, id = 0067' "$CASE/stderr" ||
  fail "string 103 was not loaded from the exe"
grep -q 'LoadStringA instance = 0*140000000, id = 006d' "$CASE/stderr" ||
  fail "string 109 was not loaded from the exe"
[[ $(grep -c 'LoadStringA returning "Qel"' "$CASE/stderr") -eq 2 ]] ||
  fail "strings 103 and 109 are not both \"Qel\""
grep -q 'RegisterClassExWOW name=L"Qel" .* style=0x3 ' "$CASE/stderr" ||
  fail "the window class \"Qel\" was not registered as it should be"

xdotool key alt+h
sleep 0.3
xdotool key a
box=$(wait_box 关于) || fail "Alt+H, A did not open the About box"
sleep 0.5
geometry=$(xwininfo -id "$box")
bx=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
by=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
bw=$(awk '/Width:/ { print $2 }' <<<"$geometry")
bh=$(awk '/Height:/ { print $2 }' <<<"$geometry")
screenshot "$CASE/about.png"
# The icon of group 107, blue, in the box's top left corner.
icon=$(count_where "$CASE/about.png" "$bx" "$by" 80 60 'b > r + 60')
[[ $icon -gt 50 ]] || fail "no icon in the About box ($icon blue pixels)"
[[ $bw -gt 200 && $bh -gt 80 ]] || fail "the About box is ${bw}x$bh"

# The HUD's tick count stands still while the box is open.
top=$(menu_height "$CASE/about.png") || fail "no grey background beside the box"
hud() { import -window root -crop "900x20+100+$((top + 718))" -depth 8 rgb:- 2>/dev/null | md5sum; }
before=$(hud)
sleep 1
[[ $(hud) == "$before" ]] || fail "frames ran while the About box was open"

xdotool key Escape
wait_gone "$box" || fail "Escape did not close the About box"
# Escape was up again by the next frame: the game goes on.
before=$(hud)
sleep 0.5
[[ $(hud) != "$before" ]] || fail "the game did not go on after the About box"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
