#!/bin/bash
# The game opens on the pause screen: grey everywhere, the keyboard picture
# centred with its pure white keyed out, the red pause title and name, and
# the HUD lines in their colours.
source "$(dirname "$0")/lib.sh"
start_qel "$(data_dir)"
wait_window >/dev/null || fail "no window"
sleep 1
screenshot "$CASE/pause.png"
for spot in "5 5" "1018 5" "5 600" "1018 660" "512 230" "16 400"; do
  [[ $(pixel $spot) == "200,200,200" ]] || fail "not grey at $spot: $(pixel $spot)"
done
# The picture (992 by 320, centred: 16..1007 by 224..543) is drawn there.
inside=$(count_colour "$CASE/pause.png" 200,200,200 40 260 700 240)
[[ $inside -lt 20000 ]] || fail "the keyboard picture is missing ($inside grey pixels)"
red=$(count_colour "$CASE/pause.png" 255,0,0 472 180 100 45 60)
[[ $red -gt 40 ]] || fail "no red pause title ($red red pixels)"
black=$(count_colour "$CASE/pause.png" 0,0,0 100 718 600 22 60)
[[ $black -gt 200 ]] || fail "no black HUD status line ($black)"
levelRed=$(count_colour "$CASE/pause.png" 255,0,0 100 688 200 22 60)
[[ $levelRed -gt 50 ]] || fail "no red level line ($levelRed)"
helpGrey=$(count_colour "$CASE/pause.png" 100,100,100 100 738 700 25 30)
[[ $helpGrey -gt 100 ]] || fail "no grey key help and music lines ($helpGrey)"
hold Escape
wait_exit 10; code=$?
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
