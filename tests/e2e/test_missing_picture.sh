#!/bin/bash
# A finger.jpg that is missing, empty or not a JPEG stops the start-up with
# "CreateSurface lpDDbmp1" captioned "Error"; the window never shows; exit
# code 0.
source "$(dirname "$0")/lib.sh"
dir=$(data_dir)
for picture in missing empty text; do
  rm -f "$dir/finger.jpg"
  case $picture in
    empty) : >"$dir/finger.jpg" ;;
    text) echo "this is not a picture" >"$dir/finger.jpg" ;;
  esac
  start_qel "$dir"
  box=$(wait_box Error) || fail "$picture: no message box"
  [[ -z $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]] ||
    fail "$picture: the window showed"
  press_box "$box"
  wait_exit 10; code=$?
  [[ $code -eq 0 ]] || fail "$picture: exit code $code"
  grep -qx "Error: CreateSurface lpDDbmp1" "$CASE/stderr" || fail "$picture: wrong message"
done
echo "ok"
