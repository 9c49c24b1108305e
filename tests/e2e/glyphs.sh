# Sourced by cases that need to know which letter falls: the falling letter,
# alone in the field, told by its shape against the 26 of the font the game
# draws letters in ("Arial", through fontconfig), each brought to 32 by 32.
GLYPHS=$CASE/glyphs
# The options that trim a picture's dark ink and bring it to 32x32, grey.
SHAPE=(-trim +repage -resize 32x32 -gravity center -background white -extent 32x32 -colorspace gray)
# make_glyphs: the 26 side by side in $GLYPHS/strip.png, a to z.
make_glyphs() {
  local font letter
  font=$(fc-match -f '%{file}' Arial) && [[ -f $font ]] || fail "no font for Arial"
  mkdir -p "$GLYPHS"
  for letter in {a..z}; do
    convert -background white -fill black -font "$font" -pointsize 60 "label:$letter" "${SHAPE[@]}" \
      "$GLYPHS/$letter.png" || fail "ImageMagick could not draw $letter"
  done
  convert "$GLYPHS"/{a..z}.png +append +repage "$GLYPHS/strip.png"
}
# falling_letter: the letter in the field now, the one whose shape differs
# least from the ink (the red channel: blue ink is dark in it, the grey field
# light).
falling_letter() {
  [[ -f $GLYPHS/strip.png ]] || make_glyphs
  screenshot "$CASE/letter.xwd"
  convert "$CASE/letter.xwd" -crop 1024x680+0+0 +repage -channel R -separate +channel -level 0,200 \
    "${SHAPE[@]}" "$CASE/letter.png"
  convert "$GLYPHS/strip.png" \( "$CASE/letter.png" -duplicate 25 +append +repage \) -compose difference -composite -threshold 30% \
    -crop 32x32 +repage -format '%[fx:mean]\n' info: |
    awk '{ if (NR == 1 || $1 < best) { best = $1; n = NR } } END { if (n) printf "%c\n", 96 + n }'
}
