#!/bin/bash
# Without an X display: "DirectDrawCreate" captioned "Error" on stderr, no
# window, exit code 0, at once.
source "$(dirname "$0")/lib.sh"
dir=$(data_dir)
(cd "$dir" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER \
   SDL_AUDIODRIVER=dummy timeout 20 "$QEL" >"$CASE/stdout" 2>"$CASE/stderr")
code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
grep -qx "Error: DirectDrawCreate" "$CASE/stderr" || fail "no DirectDrawCreate message"
echo "ok"
