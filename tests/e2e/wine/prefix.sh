# The Wine machine of the Windows cases, sourced by ./test.sh (or by hand
# before a case): wine_start DIR boots one fresh prefix in DIR, set up as a
# Chinese Windows, and keeps one wineserver running for every case, which
# wine_stop stops by its PID. Needs the X and sound servers of ./test.sh.
WINE_SERVER_PID=

wine_start() {
  local dir=$1
  mkdir -p "$dir/prefix" "$dir/locale"
  # No Mono or Gecko installer dialogs while booting.
  export WINEPREFIX=$dir/prefix WINEARCH=win64 PATH=/usr/lib/wine:$PATH \
    WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=fixme-all
  # Code page 936 comes from LC_ALL alone (LANG is not enough), in a locale
  # compiled here rather than into the system.
  localedef -i zh_CN -f UTF-8 "$dir/locale/zh_CN.UTF-8" >"$dir/localedef.log" 2>&1 ||
    { echo "localedef failed:"; cat "$dir/localedef.log"; return 1; }
  export LOCPATH=$dir/locale QEL_WINE_LOCALE=zh_CN.UTF-8
  # The locale wineboot sees makes the prefix's code page.
  LC_ALL=$QEL_WINE_LOCALE timeout 120 wine64 wineboot -i >"$dir/wineboot.log" 2>&1 ||
    { echo "wineboot failed:"; tail -n 20 "$dir/wineboot.log"; return 1; }
  # The OpenGL renderer is slow and erratic on llvmpipe; GDI draws the same.
  # WenQuanYi Zen Hei stands in for the SimSun (宋体) of a Chinese Windows.
  wine_reg 'HKCU\Software\Wine\Direct3D' renderer gdi &&
    wine_reg 'HKCU\Software\Wine\Fonts\Replacements' 宋体 "WenQuanYi Zen Hei" &&
    wine_reg 'HKCU\Software\Wine\Fonts\Replacements' SimSun "WenQuanYi Zen Hei" || return 1
  # The boot leaves two service managers behind, and then COM's RpcSs can't
  # start (the filter graph waits 10 s for it): everything ends first.
  timeout 60 wineserver -w || { echo "the prefix's programs did not end after the boot"; return 1; }
  # The wrapper in /usr/lib/wine ends the server with the last program; this
  # one stays until wine_stop. It is ready once its socket is there: a
  # program started before would start a server of its own.
  wineserver64 -f -p >"$dir/wineserver.log" 2>&1 &
  WINE_SERVER_PID=$!
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

# wine_stop: every program of the prefix and the server end; by PID if it hangs.
wine_stop() {
  [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]] || return 0
  timeout 10 wineserver64 -k >/dev/null 2>&1
  [[ -n $WINE_SERVER_PID ]] || return 0
  timeout 5 tail --pid="$WINE_SERVER_PID" -f /dev/null
  kill -9 "$WINE_SERVER_PID" 2>/dev/null
  wait "$WINE_SERVER_PID" 2>/dev/null
  WINE_SERVER_PID=
}
