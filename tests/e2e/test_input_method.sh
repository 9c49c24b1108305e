#!/bin/bash
# An input method switched on, as most of the game's players have one: IBus
# with its libpinyin engine, then fcitx5 with pinyin, each in a session of
# this case's own (X server, session bus, the daemon): letters pressed by
# keycode knock the falling letter out, and Escape ends the game with 0.
source "$(dirname "$0")/session.sh"
needs Xvfb dbus-daemon dbus-send ibus-daemon ibus fcitx5 fcitx5-remote localedef
export SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1 HOME=$CASE/home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_RUNTIME_DIR GTK_IM_MODULE QT_IM_MODULE SDL_IM_MODULE
mkdir -p "$HOME" "$CASE/locale"
# A Chinese player's locale.
localedef -i zh_CN -f UTF-8 "$CASE/locale/zh_CN.UTF-8" >"$CASE/localedef.log" 2>&1 ||
  fail "localedef zh_CN.UTF-8: $(cat "$CASE/localedef.log")"
export LOCPATH=$CASE/locale LANG=zh_CN.UTF-8

# typed_through NAME IM: the game played with XMODIFIERS=@im=IM, pinyin_on
# (what the case defines for NAME) true in it before and after the letter
# keys knock the falling letter out; the session then stopped.
typed_through() {
  export XMODIFIERS=@im=$2
  play "$1"
  until_true 5 pinyin_on || fail "$1's pinyin is not on in the game"
  knocks_out "$1 with pinyin on" "${US_LETTER_KEYS[@]}"
  pinyin_on || fail "$1 let go of pinyin"
  quits "$1"
  stop_session
  echo "ok: $1 with pinyin"
}

# IBus: the daemon with its XIM server, its address file in the home, pinyin
# as the engine.
start_x && start_bus
session_started ibus-daemon --xim --panel=disable
# (`ibus engine NAME` says 1 even when it sets the engine.)
pinyin_on() { [[ $(ibus engine 2>/dev/null) == libpinyin ]]; }
set_pinyin() { ibus engine libpinyin >/dev/null 2>&1; pinyin_on; }
until_true 20 set_pinyin || { session_log; fail "IBus did not take the libpinyin engine"; }
ls "$HOME"/.config/ibus/bus/* >/dev/null 2>&1 || fail "IBus wrote no address file"
typed_through IBus ibus

# fcitx5: a profile with pinyin, on from the start in every window (Ctrl+Space
# to switch it on would reach the game as Space once fcitx5 is out of the
# way).
mkdir -p "$HOME/.config/fcitx5"
cat >"$HOME/.config/fcitx5/config" <<'CONFIG'
[Behavior]
ActiveByDefault=True
CONFIG
cat >"$HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us

[Groups/0/Items/1]
Name=pinyin
PROFILE
start_x && start_bus
session_started fcitx5 --disable=wayland,waylandim,notificationitem,kimpanel
# Asked without fcitx5-remote, whose call would start a second fcitx5 through
# the bus while the first is on its way.
fcitx5_on_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true'
}
until_true 20 fcitx5_on_bus || { session_log; fail "fcitx5 did not start"; }
pinyin_on() { [[ $(fcitx5-remote 2>/dev/null) == 2 && $(fcitx5-remote -n 2>/dev/null) == pinyin ]]; }
typed_through fcitx5 fcitx
