#!/bin/bash
# An input method switched on, as most of the game's players have one: IBus
# with its libpinyin engine, then fcitx5 with pinyin, each in a session of
# this case's own (X server, session bus, the daemon): letters pressed by
# keycode knock the falling letter out, and Escape ends the game with 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/session.sh"
needs Xvfb dbus-daemon dbus-send ibus-daemon ibus fcitx5 fcitx5-remote localedef
export SDL_AUDIODRIVER=dummy NO_AT_BRIDGE=1 HOME=$CASE/home
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_RUNTIME_DIR GTK_IM_MODULE QT_IM_MODULE SDL_IM_MODULE
mkdir -p "$HOME" "$CASE/locale"
# A Chinese player's locale.
localedef -i zh_CN -f UTF-8 "$CASE/locale/zh_CN.UTF-8" >"$CASE/localedef.log" 2>&1 ||
  fail "localedef zh_CN.UTF-8: $(cat "$CASE/localedef.log")"
export LOCPATH=$CASE/locale LANG=zh_CN.UTF-8

# IBus: the daemon with its XIM server, its address file in the home, pinyin
# as the engine.
start_x && start_bus
session_started ibus-daemon --xim --panel=disable
# (`ibus engine NAME` says 1 even when it sets the engine.)
ibus_engine() { [[ $(ibus engine 2>/dev/null) == "$1" ]]; }
set_pinyin() { ibus engine libpinyin >/dev/null 2>&1; ibus_engine libpinyin; }
until_true 20 set_pinyin || { session_log; fail "IBus did not take the libpinyin engine"; }
ls "$HOME"/.config/ibus/bus/* >/dev/null 2>&1 || fail "IBus wrote no address file"
export XMODIFIERS=@im=ibus
play "IBus"
knocks_out "IBus with pinyin on" "${US_LETTER_KEYS[@]}"
ibus_engine libpinyin || fail "IBus let go of pinyin"
quits "IBus"
stop_session
echo "ok: IBus with libpinyin"

# fcitx5: a profile with pinyin, on from the start in every window (Ctrl+Space
# to switch it on would reach the game as Space once fcitx5 is out of the
# way).
mkdir -p "$HOME/.config/fcitx5"
cat >"$HOME/.config/fcitx5/config" <<'CONFIG'
[Behavior]
ActiveByDefault=True
ShareInputState=All
CONFIG
cat >"$HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
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
export XMODIFIERS=@im=fcitx
play "fcitx5"
pinyin_on() { [[ $(fcitx5-remote 2>/dev/null) == 2 && $(fcitx5-remote -n 2>/dev/null) == pinyin ]]; }
until_true 5 pinyin_on || fail "fcitx5's pinyin is not on in the game (fcitx5-remote: $(fcitx5-remote) $(fcitx5-remote -n))"
knocks_out "fcitx5 with pinyin on" "${US_LETTER_KEYS[@]}"
pinyin_on || fail "fcitx5 let go of pinyin"
quits "fcitx5"
stop_session
echo "ok: fcitx5 with pinyin"
