#!/bin/bash
# Without "finger.jpg" the game says "CreateSurface lpDDbmp1" in a box
# captioned "Error", never shows its window and exits with 0. Without
# "music.mp3" it says "DXshow RenderFile" and then plays without music.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)

rm "$dir/finger.jpg"
start_game "$dir"
box=$(wait_box Error) || fail "no Error box without finger.jpg"
sleep 0.3
[[ $(box_texts) == "CreateSurface lpDDbmp1" ]] || fail "boxes: $(box_texts | paste -sd '|')"
[[ -z $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]] ||
  fail "the window is shown with the picture missing"
xdotool key --window "$box" Return
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "missing picture: exit code $code"

cp "$WIN_BUILD/package/data/finger.jpg" "$dir/"
rm "$dir/music.mp3"
start_game "$dir"
box=$(wait_box Error) || fail "no Error box without music.mp3"
sleep 0.3
[[ $(box_texts) == "DXshow RenderFile" ]] || fail "boxes: $(box_texts | paste -sd '|')"
[[ -z $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]] ||
  fail "the window was shown before the music's box"
xdotool key --window "$box" Return
wait_window >/dev/null || fail "no window after the music's box"
sleep 0.5
xdotool key space
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without its music"
[[ $(box_texts | wc -l) -eq 1 ]] || fail "boxes: $(box_texts | paste -sd '|')"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "missing music: exit code $code"
echo "ok"
