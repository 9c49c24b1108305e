#!/bin/bash
# What a player meets when the start-up goes wrong, each ending with 0:
#   finger.jpg missing: a box drawn in the middle of the screen, with the
#     keyboard, that a click on its OK answers (its line on stderr, and no
#     game window: test_bad_files.sh);
#   no sound server: the music's box, then the sound's, then a silent game
#     that Alt+F4 ends;
#   no X display: only the line on stderr.
source "$(dirname "$0")/lib.sh"
data_dir && dir=$CASE/data

mv "$dir/finger.jpg" "$CASE/"
SDL_AUDIODRIVER=dummy start_qel "$dir"
box=$(wait_window Error) || fail "no box for the missing picture"
until_true 5 has_focus "$box" || fail "the box does not have the keyboard"
eval "$(xdotool getwindowgeometry --shell "$box")"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
(((2 * ${X:?} + WIDTH - screen_w) ** 2 <= 4 && (2 * Y + HEIGHT - screen_h) ** 2 <= 4)) ||
  fail "box ${WIDTH}x$HEIGHT at $X,$Y is not centred on ${screen_w}x$screen_h"
# Drawn: its caption bar and its blue OK button.
caption_drawn() { (($(on_screen 'rgb(0,90,170)' 0 "$X" "$Y" "$WIDTH" 25) > WIDTH * 25 * 7 / 10)); }
until_true 5 caption_drawn || fail "no caption bar"
read -r w h left top < <(convert "$CASE/screen.xwd" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage \
  -fill black +opaque 'rgb(0,120,215)' -trim -format '%w %h %X %Y' info: 2>/dev/null)
((w > 60 && h > 18 && top > HEIGHT / 2)) || fail "no OK button (${w}x$h at $left,$top)"
xdotool mousemove $((X + left + w / 2)) $((Y + top + h / 2)) click 1
until_true 5 is_gone "$box" || fail "a click on OK did not answer the box"
exits_zero "missing picture"
mv "$CASE/finger.jpg" "$dir/"

PULSE_SERVER=unix:/nonexistent/socket start_qel "$dir" env -u SDL_AUDIODRIVER "$QEL"
press_box "$(wait_window Error)" || fail "no music box answered"
press_box "$(wait_window ERROR)" || fail "no sound box answered"
wait_window Qel >/dev/null || fail "no window after the boxes"
[[ $(grep -E "^(Error|ERROR): " "$CASE/stderr") == $'Error: DXshow RenderFile\nERROR: DirectSoundCreate8' ]] ||
  fail "wrong messages without a sound server"
xdotool key space
sleep 1
alive || fail "the game did not go on without sound"
# No window manager here: Alt+F4 closes from the keys alone.
xdotool key alt+F4
exits_zero "Alt+F4, no sound server"

start_qel "$dir" env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$QEL"
exits_zero "no display"
grep -qx "Error: DirectDrawCreate" "$CASE/stderr" || fail "no DirectDrawCreate line without a display"
echo "ok"
