# Shared by the Windows end-to-end cases: run build-win/qel.exe under Wine
# in the X server and sound server of ./test.sh, drive it with xdotool, read
# the screen, the sound and Wine's traces. Each case takes the Windows
# build directory and the Linux build directory as its arguments, and needs
# the prefix of prefix.sh (WINEPREFIX and the rest in its environment).
set -uo pipefail

WIN_BUILD=$(cd "${1:?Windows build directory}" && pwd)
LINUX_BUILD=$(cd "${2:?Linux build directory}" && pwd)
: "${WINEPREFIX:?no Wine prefix: source tests/e2e/wine/prefix.sh and run wine_start first}"
CASE=$(mktemp -d /tmp/qel-wine.XXXXXX)
GAME_PID=
trap 'wine_case_cleanup' EXIT

wine_case_cleanup() {
  if [[ -n "$GAME_PID" ]]; then
    # timeout passes the signal on to the Windows program.
    kill "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  rm -rf "$CASE"
}

fail() {
  echo "FAIL: $*" >&2
  if [[ -f "$CASE/stderr" ]]; then
    echo "--- wine stderr (last lines):" >&2
    grep -v -E "^ALSA|fixme" "$CASE/stderr" | tail -n 20 >&2
  fi
  exit 1
}

# game_dir: a folder holding qel.exe and the four data files of the zip.
game_dir() {
  local dir=$CASE/game
  mkdir -p "$dir"
  cp "$WIN_BUILD/qel.exe" "$WIN_BUILD"/package/data/* "$dir/" || fail "no qel.exe or data"
  echo "$dir"
}

# start_game DIR [WINEDEBUG channels]: runs qel.exe from DIR in the
# background, in code page 936, message box texts traced to $CASE/stderr.
start_game() {
  local debug="fixme-all,+msgbox${2:+,$2}"
  (cd "$1" && LC_ALL=$QEL_WINE_LOCALE WINEDEBUG=$debug \
     exec timeout 60 wine64 qel.exe >"$CASE/stdout" 2>"$CASE/stderr") &
  GAME_PID=$!
}

# wait_window: the game window's id once it is shown (20 s at most), with
# the keyboard's focus. Without a window manager nobody else gives it: Wine
# does not take it for a popup, and a program that had it (the Linux build)
# can leave the focus on no window at all when it ends.
wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name '^Qel$' 2>/dev/null | head -n 1)
    if [[ -n "$id" ]]; then
      xdotool windowfocus "$id" 2>/dev/null
      echo "$id"
      return 0
    fi
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_exit SECONDS: the exit code that came back through wine, or fails
# when the game still runs.
wait_exit() {
  for _ in $(seq $(( $1 * 10 ))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      wait "$GAME_PID"
      local code=$?
      GAME_PID=
      return "$code"
    fi
    sleep 0.1
  done
  fail "qel.exe still running after $1 s"
}

# wait_box TITLE: the id of the shown window titled TITLE (10 s at most).
wait_box() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    kill -0 "$GAME_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_gone ID: succeeds once the window ID is no longer shown (10 s).
wait_gone() {
  for _ in $(seq 100); do
    xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable" || return 0
    sleep 0.1
  done
  return 1
}

# box_texts: the texts of the message boxes shown so far, one a line.
box_texts() {
  sed -n 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)"$/\1/p' "$CASE/stderr"
}

# hold KEY: down, a tenth of a second, up, as a player presses it (the game
# reads Escape once a frame).
hold() {
  xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"
}

# pixel X Y: the screen's colour there as "R,G,B".
pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n '2p' | sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

screenshot() {
  import -window root "$1" 2>/dev/null
}

# count_where FILE X Y W H CONDITION: the pixels of that rectangle of FILE
# whose r, g, b (0 to 255) meet the awk CONDITION.
count_where() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" -depth 8 txt:- 2>/dev/null |
    awk '/^[0-9]/ {
           match($0, /\(([0-9]+),([0-9]+),([0-9]+)/)
           split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
           r = c[1]; g = c[2]; b = c[3]
           if ('"$6"') n++
         }
         END { print n + 0 }'
}

# count_near FILE X Y W H COLOUR FUZZ: the pixels of that rectangle of FILE
# within FUZZ (ImageMagick's colour distance, in percent) of COLOUR.
count_near() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -fuzz "$7%" \
    -fill black +opaque "$6" -fill white -opaque "$6" \
    -format '%[fx:round(mean * w * h)]' info: 2>/dev/null
}

# menu_height FILE: the rows the Wine window's menu bar takes above the
# picture. Wine presents the DirectDraw primary in the window's client area,
# below the class menu, where a real exclusive-mode flip covers the screen.
menu_height() {
  local y
  for y in $(seq 0 40); do
    # The first row of the game's grey background (200,200,200).
    [[ $(count_near "$1" 0 "$y" 1024 1 'rgb(200,200,200)' 0) -eq 1024 ]] &&
      { echo "$y"; return 0; }
  done
  return 1
}

# record SECONDS FILE: what the null sink played, raw 16-bit stereo 44.1 kHz.
record() {
  timeout "$1" parec --device=qel.monitor --raw --format=s16le --rate=44100 \
    --channels=2 >"$2" 2>/dev/null
  return 0
}

# rms FILE: the root mean square of raw 16-bit samples.
rms() {
  od -An -v -t d2 "$1" |
    awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } }
         END { if (n == 0) print 0; else printf "%d\n", sqrt(s / n) }'
}
