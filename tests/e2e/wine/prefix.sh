# The Wine machine the Windows cases run on, sourced by ./test.sh (or by
# hand before running a case). One fresh prefix in DIR, booted once, set up
# as a Chinese Windows would be, with one wineserver kept running for all
# the cases and stopped by its PID at the end.
#
#   wine_start DIR   exports the environment and boots the prefix
#   wine_stop        stops the wineserver and everything it runs
#
# Needs the X server and sound server of ./test.sh (DISPLAY, PULSE_SERVER).

WINE_SERVER_PID=

wine_start() {
  local dir=$1
  mkdir -p "$dir/prefix" "$dir/locale"
  export WINEPREFIX="$dir/prefix" WINEARCH=win64
  export PATH="/usr/lib/wine:$PATH"
  # No Mono or Gecko installer dialogs while booting.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="fixme-all"
  # Code page 936 comes from the Unix locale, LC_ALL alone (LANG is not
  # enough). The locale is compiled here rather than into the system.
  localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8" >"$dir/localedef.log" 2>&1 ||
    { echo "localedef failed:"; cat "$dir/localedef.log"; return 1; }
  export LOCPATH="$dir/locale" QEL_WINE_LOCALE=zh_CN.UTF-8

  # wineboot -i writes a new prefix; the locale it sees makes its code page.
  LC_ALL=$QEL_WINE_LOCALE timeout 120 wine64 wineboot -i >"$dir/wineboot.log" 2>&1 ||
    { echo "wineboot failed:"; tail -n 20 "$dir/wineboot.log"; return 1; }
  # The OpenGL renderer is slow and erratic on llvmpipe; GDI draws the same.
  wine_reg 'HKCU\Software\Wine\Direct3D' renderer gdi || return 1
  # A Chinese Windows has SimSun (宋体); here WenQuanYi Zen Hei stands in.
  wine_reg 'HKCU\Software\Wine\Fonts\Replacements' 宋体 "WenQuanYi Zen Hei" || return 1
  wine_reg 'HKCU\Software\Wine\Fonts\Replacements' SimSun "WenQuanYi Zen Hei" || return 1
  # The boot leaves two service managers behind, and then COM's RpcSs can't
  # start (the filter graph waits 10 s for it): let everything end first.
  timeout 60 wineserver -w ||
    { echo "the prefix's programs did not end after the boot"; return 1; }

  # The wrapper in /usr/lib/wine makes the server quit as soon as the last
  # program has; this one stays until wine_stop, so each case starts fast.
  wineserver64 -f -p >"$dir/wineserver.log" 2>&1 &
  WINE_SERVER_PID=$!
  # Ready once its socket is there (in its working folder); a program
  # started before would start a server of its own.
  for _ in $(seq 100); do
    [[ -S /proc/$WINE_SERVER_PID/cwd/socket ]] && return 0
    kill -0 "$WINE_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "the wineserver did not start:"; cat "$dir/wineserver.log"
  return 1
}

# wine_reg KEY NAME VALUE: a string value in the prefix's registry.
wine_reg() {
  LC_ALL=$QEL_WINE_LOCALE timeout 60 wine64 reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1 ||
    { echo "reg add $1 $2 failed"; return 1; }
}

wine_stop() {
  [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]] || return 0
  # Ends every program of the prefix and the server; by PID if it hangs.
  timeout 10 wineserver64 -k >/dev/null 2>&1
  [[ -n "$WINE_SERVER_PID" ]] || return 0
  for _ in $(seq 50); do
    kill -0 "$WINE_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$WINE_SERVER_PID" 2>/dev/null
  wait "$WINE_SERVER_PID" 2>/dev/null
  WINE_SERVER_PID=
}
