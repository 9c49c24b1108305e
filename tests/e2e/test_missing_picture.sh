#!/bin/bash
# Without finger.jpg the start-up stops with "CreateSurface lpDDbmp1"
# captioned "Error"; the window never shows; exit code 0.
source "$(dirname "$0")/lib.sh"
dir=$(data_dir)
rm "$dir/finger.jpg"
start_qel "$dir"
box=$(wait_box Error) || fail "no message box"
[[ -z $(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null) ]] || fail "the window showed"
press_box "$box"
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
grep -qx "Error: CreateSurface lpDDbmp1" "$CASE/stderr" || fail "wrong message"
echo "ok"
