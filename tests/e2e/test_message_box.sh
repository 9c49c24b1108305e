#!/bin/bash
# The box a player meets when finger.jpg is missing: a window of its own in
# the middle of the screen, with its caption bar, its text and the OK button
# with the focus, holding the keyboard (no X core fonts needed). Escape, the
# space bar and a click on OK each answer it; the game then ends with exit
# code 0 and "Error: CreateSurface lpDDbmp1" on stderr.
source "$(dirname "$0")/lib.sh"
# Only the picture's box: sound, there or not, asks nothing.
export SDL_AUDIODRIVER=dummy
dir=$(data_dir)
rm -f "$dir/finger.jpg"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)

# colour_bounds FILE R,G,B: "LEFT TOP RIGHT BOTTOM" (right and bottom past
# the last) of the pixels of exactly that colour, or nothing.
colour_bounds() {
  convert "$1" -depth 8 txt:- 2>/dev/null |
    awk -v want="$2" '
      /^[0-9]/ {
        match($0, /\(([0-9]+),([0-9]+),([0-9]+)/)
        c = substr($0, RSTART + 1, RLENGTH - 1)
        if (c != want) next
        split($1, p, "[,:]")
        if (n++ == 0 || p[1] < l) l = p[1]
        if (n == 1 || p[2] < t) t = p[2]
        if (p[1] + 1 > r) r = p[1] + 1
        if (p[2] + 1 > b) b = p[2] + 1
      }
      END { if (n) print l, t, r, b }'
}

for answer in Escape space click; do
  start_qel "$dir"
  box=$(wait_box Error) || fail "$answer: no message box"
  [[ -z $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]] ||
    fail "$answer: the game's window showed"
  wait_focus "$box" || fail "$answer: the box does not have the keyboard"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  (( X + WIDTH / 2 - screen_w / 2 <= 1 && screen_w / 2 - X - WIDTH / 2 <= 1 &&
     Y + HEIGHT / 2 - screen_h / 2 <= 1 && screen_h / 2 - Y - HEIGHT / 2 <= 1 )) ||
    fail "$answer: box ${WIDTH}x$HEIGHT at $X,$Y is not centred on ${screen_w}x$screen_h"

  # The picture, once the box has drawn itself (its caption bar is there).
  shot=$CASE/box-$answer.png
  for _ in $(seq 20); do
    screenshot "$CASE/screen.png"
    convert "$CASE/screen.png" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
    (( $(count_colour "$shot" 0,90,170 $((WIDTH - 60)) 1 30 24) == 30 * 24 )) && break
    sleep 0.1
  done
  bar=$(count_colour "$shot" 0,90,170 1 1 $((WIDTH - 30)) 25)
  (( bar > (WIDTH - 30) * 25 * 7 / 10 )) || fail "$answer: no caption bar ($bar)"
  title=$(count_colour "$shot" 255,255,255 1 1 80 25 95)
  (( title > 20 )) || fail "$answer: no caption text ($title)"
  ink=$(count_colour "$shot" 0,0,0 1 27 $((WIDTH - 2)) $((HEIGHT - 27 - 46)) 100)
  (( ink > 60 )) || fail "$answer: no text ($ink)"
  read -r left top right bottom < <(colour_bounds "$shot" 0,120,215)
  [[ -n $left ]] || fail "$answer: no OK button"
  (( right - left > 60 && bottom - top > 18 && top > HEIGHT / 2 )) ||
    fail "$answer: OK button at $left,$top-$right,$bottom"
  dots=$(count_colour "$shot" 0,0,0 $((left + 3)) $((top + 3)) $((right - left - 6)) 1)
  (( dots >= (right - left - 6) / 2 - 1 )) || fail "$answer: no focus rectangle ($dots)"
  label=$(count_colour "$shot" 0,0,0 $((left + 5)) $((top + 5)) $((right - left - 10)) $((bottom - top - 10)) 100)
  (( label > 10 )) || fail "$answer: no OK label ($label)"

  case $answer in
    click) xdotool mousemove $((X + (left + right) / 2)) $((Y + (top + bottom) / 2)) click 1 ;;
    *) xdotool key "$answer" ;;
  esac
  wait_gone "$box" || fail "$answer: the box stayed up"
  wait_exit 10; code=$?
  [[ $code -eq 0 ]] || fail "$answer: exit code $code"
  grep -qx "Error: CreateSurface lpDDbmp1" "$CASE/stderr" || fail "$answer: wrong message"
done
echo "ok"
