#!/bin/bash
# Keyboard layouts, with every key pressed by its X keycode as a keyboard
# sends it: on the Russian layout (no Latin letters) the letter keys knock
# letters out as the US letters at their places, as Windows gives them; then,
# changed while the game runs, US Dvorak and French AZERTY: the key that types
# the falling letter knocks it out, and the key with that letter on a US
# keyboard, typing another one here, does not. Escape ends the game with 0.
source "$(dirname "$0")/session.sh"
needs Xvfb setxkbmap fc-match
export SDL_AUDIODRIVER=dummy
# The falling letter, alone in the field, is told by its shape against the 26
# of the font the game draws letters in ("Arial", through fontconfig), each
# trimmed of its dark ink and brought to 32 by 32, grey: side by side in
# strip.png, a to z.
SHAPE=(-trim +repage -resize 32x32 -gravity center -background white -extent 32x32 -colorspace gray)
font=$(fc-match -f '%{file}' Arial) && [[ -f $font ]] || fail "no font for Arial"
for letter in {a..z}; do
  convert -background white -fill black -font "$font" -pointsize 60 "label:$letter" "${SHAPE[@]}" \
    "$CASE/$letter.png" || fail "ImageMagick could not draw $letter"
done
convert "$CASE"/{a..z}.png +append +repage "$CASE/strip.png"
# falling_letter: the letter in the field now, the one whose shape differs
# least from the ink (the red channel: blue ink is dark in it, the grey field
# light).
falling_letter() {
  screenshot "$CASE/letter.xwd"
  convert "$CASE/letter.xwd" -crop 1024x680+0+0 +repage -channel R -separate +channel -level 0,200 \
    "${SHAPE[@]}" "$CASE/letter.png"
  convert "$CASE/strip.png" \( "$CASE/letter.png" -duplicate 25 +append +repage \) -compose difference -composite -threshold 30% \
    -crop 32x32 +repage -format '%[fx:mean]\n' info: |
    awk '{ if (NR == 1 || $1 < best) { best = $1; n = NR } } END { if (n) printf "%c\n", 96 + n }'
}
start_x
setxkbmap ru || fail "setxkbmap ru"
# The layout is read as X gives it: no US letter key types a Latin letter.
! key_of a >/dev/null || fail "the ru layout types Latin letters"
play "ru"
knocks_out "ru" "${US_LETTER_KEYS[@]}"
# layout_keys LAYOUT [VARIANT]: set while the game runs; the falling letter is
# knocked out by its key on that layout, not by its US key. On us dvorak,
# where 24 of the 26 letters are off their US places, a letter on its US
# place is knocked out and the next one taken, so that its US key is tried.
layout_keys() {
  setxkbmap "$@" || fail "setxkbmap $*"
  local letter ours us before
  while :; do
    next_letter "$*"
    letter=$(falling_letter)
    ours=$(key_of "$letter") || fail "$*: no key types $letter"
    us=$(us_key "$letter")
    [[ $ours == "$us" && $* == "us dvorak" ]] || break
    knocks_out "$* ($letter, keycode $ours)" "$ours"
  done
  if [[ $ours != "$us" ]]; then
    before=$(score_now)
    keys "$us"
    sleep 0.3
    ! knocked_out "$before" || fail "$*: the US key of $letter (keycode $us) knocked it out"
  fi
  knocks_out "$* ($letter, keycode $ours)" "$ours"
  echo "ok: $*: $letter by keycode $ours (US $us)"
}
layout_keys us dvorak
layout_keys fr
setxkbmap ru || fail "setxkbmap ru"
next_letter "ru after fr"
knocks_out "ru after fr" "${US_LETTER_KEYS[@]}"
quits "after the layout changes"
echo "ok: ru, us dvorak, fr, changed while playing"
