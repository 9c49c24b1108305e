# Shared by the Windows cases: build-win/qel.exe under Wine, in the prefix of
# prefix.sh and the X server and sound server of ./test.sh. Each case takes
# the Windows build directory and the Linux build directory.
WIN_BUILD=$(cd "${1:?Windows build directory}" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh" "${2:?Linux build directory}"
: "${WINEPREFIX:?no Wine prefix: source tests/e2e/wine/prefix.sh and run wine_start first}"
# timeout passes the signal on to the Windows program.
STOP_SIGNAL=TERM

# game_dir: a folder holding qel.exe and the data files of the zip.
game_dir() {
  mkdir -p "$CASE/game" && cp "$WIN_BUILD/qel.exe" "$WIN_BUILD"/package/data/* "$CASE/game/" &&
    echo "$CASE/game"
}

# start_game DIR [WINEDEBUG channels [EXE]]: qel.exe (or EXE) run from DIR in
# code page 936, with those channels traced to its stderr.
start_game() {
  start_qel "$1" env LC_ALL="$QEL_WINE_LOCALE" WINEDEBUG="fixme-all${2:+,$2}" \
    timeout 60 wine64 "${3:-qel.exe}"
}

# game_window: the game window's id once it shows, given the keyboard: without
# a window manager nobody else gives it (Wine does not take it for a popup).
game_window() {
  local id
  id=$(wait_window Qel 20) && xdotool windowfocus "$id" 2>/dev/null && echo "$id"
}

# menu_height FILE: the rows the window's menu bar takes above the picture:
# Wine presents the DirectDraw primary in the client area, below the menu,
# where a real exclusive-mode flip covers the screen.
menu_height() {
  local y
  for y in $(seq 0 40); do
    [[ $(count_colour "$1" 'rgb(200,200,200)' 0 0 "$y" 1024 1) -eq 1024 ]] && { echo "$y"; return 0; }
  done
  return 1
}
