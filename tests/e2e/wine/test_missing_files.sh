#!/bin/bash
# Without finger.jpg the game says "CreateSurface lpDDbmp1" in a box captioned
# "Error", never shows its window and ends with 0. Without music.mp3 it says
# "DXshow RenderFile" before its window shows, then plays without music until
# Alt+F4 ends it with 0.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)
mv "$dir/finger.jpg" "$CASE/"
start_game "$dir"
box=$(wait_window Error) || fail "no box without finger.jpg"
sleep 0.3
[[ $(box_texts) == "CreateSurface lpDDbmp1" ]] || fail "boxes: $(box_texts | paste -sd '|')"
[[ -z $(window_named Qel) ]] || fail "the window showed with the picture missing"
xdotool key --window "$box" Return
exits_zero "missing picture"

mv "$CASE/finger.jpg" "$dir/"
rm "$dir/music.mp3"
start_game "$dir"
box=$(wait_window Error) || fail "no box without music.mp3"
sleep 0.3
[[ $(box_texts) == "DXshow RenderFile" ]] || fail "boxes: $(box_texts | paste -sd '|')"
[[ -z $(window_named Qel) ]] || fail "the window showed before the music's box"
xdotool key --window "$box" Return
game_window >/dev/null || fail "no window after the music's box"
xdotool key space
sleep 1
alive || fail "the game ended without its music"
[[ $(box_texts | wc -l) -eq 1 ]] || fail "boxes: $(box_texts | paste -sd '|')"
xdotool keydown alt key F4 keyup alt
exits_zero Alt+F4
echo "ok"
