#!/bin/bash
# Keyboard layouts, with every key pressed by its X keycode as a keyboard
# sends it: on the Russian layout (no Latin letters) the letter keys knock
# letters out as the US letters at their places, as Windows gives them; then,
# changed while the game runs, US Dvorak and French AZERTY: the key that types
# the falling letter knocks it out, and the key with that letter on a US
# keyboard, typing another one here, does not. Escape ends the game with 0.
source "$(dirname "$0")/session.sh"
source "$(dirname "$0")/glyphs.sh"
needs Xvfb setxkbmap fc-match
export SDL_AUDIODRIVER=dummy
make_glyphs
start_x
setxkbmap ru || fail "setxkbmap ru"
# The layout is read as X gives it: no US letter key types a Latin letter.
! key_of a >/dev/null || fail "the ru layout types Latin letters"
play "ru"
knocks_out "ru" "${US_LETTER_KEYS[@]}"
# layout_keys LAYOUT [VARIANT]: set while the game runs; the falling letter is
# knocked out by its key on that layout, not by its US key.
layout_keys() {
  setxkbmap "$@" || fail "setxkbmap $*"
  next_letter "$*"
  local letter ours us before
  letter=$(falling_letter)
  ours=$(key_of "$letter") || fail "$*: no key types $letter"
  us=$(us_key "$letter")
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
