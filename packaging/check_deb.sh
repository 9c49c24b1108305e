#!/bin/bash
# The Debian package as a player's machine gets it: unpacked into a scratch
# root with dpkg -x, its files where Debian keeps a game, its dependencies
# declared, and its launcher starting the game from the data folder, under
# the X server (and sound server) of ./test.sh. Prints "ok" or what failed.
# Usage: packaging/check_deb.sh DEB
set -uo pipefail
deb=$(readlink -f "${1:?usage: $0 DEB}")
root=$(mktemp -d /tmp/qel-deb.XXXXXX)
pid=
trap '[[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; [[ -f $root/log ]] && cat "$root/log" >&2; exit 1; }

[[ $(basename "$deb") =~ ^qel_[0-9.]+_amd64\.deb$ ]] || fail "package named $(basename "$deb")"
dpkg -x "$deb" "$root/fs" || fail "dpkg -x failed"
fs=$root/fs/usr
[[ -x $fs/games/qel ]] || fail "no launcher /usr/games/qel"
file -b "$fs/lib/games/qel/qel" | grep -q '^ELF 64-bit.*executable' || fail "no program in /usr/lib/games/qel"
for data in finger.jpg music.mp3 damage_axe.wav item_specialdrop.wav; do
  [[ -s $fs/share/games/qel/$data ]] || fail "no $data in /usr/share/games/qel"
done
desktop=$fs/share/applications/qel.desktop
grep -qx 'Exec=qel' "$desktop" && grep -qx 'Icon=qel' "$desktop" &&
  grep -qx 'Type=Application' "$desktop" || fail "qel.desktop does not start qel with its icon"
for size in 16 32 48; do
  png=$fs/share/icons/hicolor/${size}x$size/apps/qel.png
  [[ $(identify -format '%m %wx%h' "$png" 2>/dev/null) == "PNG ${size}x$size" ]] ||
    fail "no ${size}x$size PNG icon in the hicolor theme"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0 \
               libfontconfig1 fonts-wqy-zenhei fonts-liberation; do
  grep -q "\b$package\b" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# Started from elsewhere, the launcher finds the data: the pause screen
# shows the picture, and Escape ends the game with 0.
(cd / && exec timeout 30 "$fs/games/qel" >"$root/log" 2>&1) &
pid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Qel$' >/dev/null 2>&1 && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended at start-up"
  sleep 0.1
done
sleep 1
import -window root "$root/screen.png" 2>/dev/null
grey=$(convert "$root/screen.png" -crop 960x288+32+240 +repage -fuzz 4% \
         -fill black +opaque 'rgb(200,200,200)' -fill white -opaque 'rgb(200,200,200)' \
         -format '%[fx:round(mean * w * h)]' info: 2>/dev/null)
[[ -n "$grey" && $grey -lt 20000 ]] || fail "no keyboard picture on the screen"
xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid"; code=$?
pid=
[[ $code -eq 0 ]] || fail "exit code $code"
echo "ok"
