#!/bin/bash
# The start-up's message boxes under Wine, with the exe's manifest (Common
# Controls 6) in force: each named for the call that failed, answered with
# Return; without the music the game then goes on and Escape ends it with 0,
# without the picture it ends with 0 at once.
source "$(dirname "$0")/lib.sh"
dir=$(game_dir)

# box_text: the text of the last message box, from Wine's msgbox trace.
box_text() { sed -n 's/.*:msgbox:MSGBOX_OnInit L"\(.*\)"$/\1/p' "$CASE/stderr" | tail -n 1; }
answer() {
  local box
  box=$(wait_window Error 20) || fail "$1: no box captioned Error"
  until_true 5 eval '[[ -n $(box_text) ]]' || fail "$1: the box's text is not in the trace"
  [[ $(box_text) == "$1" ]] || fail "the box says '$(box_text)', not '$1'"
  xdotool key --window "$box" Return
  until_true 5 is_gone "$box" || fail "$1: Return did not answer the box"
}

mv "$dir/music.mp3" "$CASE/"
start_game "$dir" +msgbox
answer "DXshow RenderFile"
game_window >/dev/null || fail "no game window after the music's box"
sleep 1
alive || fail "the game did not go on without its music"
quits "after the music's box"
mv "$CASE/music.mp3" "$dir/"

mv "$dir/finger.jpg" "$CASE/"
start_game "$dir" +msgbox
answer "CreateSurface lpDDbmp1"
exits_zero "the picture's box"
echo "ok"
